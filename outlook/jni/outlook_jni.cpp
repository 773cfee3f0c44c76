// The seven native methods of the host class com.norvex.zuradu.host.outlook.OutLookJNI, over
// the process's one Outlook session. None lets a C++ exception reach the JVM: Outlook
// failures end as the results and fixed texts the host knows, and a failed JNI call leaves
// the JVM's own exception pending.
#include <jni.h>

#include "appointment_mapping.h"
#include "contact_mapping.h"
#include "item_changes.h"
#include "jni_record.h"
#include "read_all.h"
#include "session.h"
#include "system_store.h"

using namespace norvex::outlook;

namespace {

constexpr const char* kContactClass = "com/norvex/zuradu/entity/outlook/OutLookContact";
constexpr const char* kAppointmentClass = "com/norvex/zuradu/entity/outlook/OutlookAppointment";

// Created on first use, released with the library.
OutlookSession& Session() {
  static OutlookSession session(SystemStore());
  return session;
}

jobject ReadAll(JNIEnv* env, const char* recordClass, const ReadAllParams& params) noexcept {
  try {
    JniRecordList list(env, recordClass);
    try {
      ReadAllItems(Session(), params, list);
    } catch (...) {
      // A host object that could not be made or added ends the read like an Outlook failure.
    }
    return list.Release();
  } catch (...) {
    return nullptr;
  }
}

jboolean Insert(JNIEnv* env, jobject record, const InsertParams& params) {
  // Without a record there is nothing to write: an empty item must not be stored instead.
  if (!record) {
    ThrowHostError(env, params.errorText);
    return JNI_FALSE;
  }
  JniRecord fields(env, record);
  const ChangeResult result = InsertItem(Session(), params, fields);
  if (!result.errorText.empty()) ThrowHostError(env, result.errorText);
  return result.done ? JNI_TRUE : JNI_FALSE;
}

}  // namespace

extern "C" {

JNIEXPORT jboolean JNICALL Java_com_norvex_zuradu_host_outlook_OutLookJNI_OpenOutLook(JNIEnv*, jobject) {
  try {
    Session().Open();
  } catch (...) {
  }
  return JNI_TRUE;
}

JNIEXPORT jboolean JNICALL Java_com_norvex_zuradu_host_outlook_OutLookJNI_CloseOutLook(JNIEnv*, jobject) {
  try {
    Session().Close();
  } catch (...) {
  }
  return JNI_TRUE;
}

JNIEXPORT jobject JNICALL Java_com_norvex_zuradu_host_outlook_OutLookJNI_ReadAllContact(JNIEnv* env, jobject) {
  try {
    OutlookStore& store = Session().Store();
    const PicturePaths pictures = PicturePaths::Fixed();
    return ReadAll(
        env, kContactClass,
        {kFolderContacts, u"fullName", false, OutlookInterface::ContactItem,
         [&](const OutlookRef& item, RecordFields& record) { return ReadContact(store, item, record, pictures); }});
  } catch (...) {
    return nullptr;
  }
}

JNIEXPORT jobject JNICALL Java_com_norvex_zuradu_host_outlook_OutLookJNI_ReadAllAppointment(JNIEnv* env, jobject) {
  try {
    OutlookStore& store = Session().Store();
    return ReadAll(
        env, kAppointmentClass,
        {kFolderCalendar, u"start", true, OutlookInterface::AppointmentItem,
         [&](const OutlookRef& item, RecordFields& record) { return ReadAppointment(store, item, record); }});
  } catch (...) {
    return nullptr;
  }
}

JNIEXPORT jboolean JNICALL Java_com_norvex_zuradu_host_outlook_OutLookJNI_InsertContact(JNIEnv* env, jobject,
                                                                                        jobject contact) {
  try {
    return Insert(env, contact, ContactInsert(Session().Store(), PicturePaths::Fixed()));
  } catch (...) {
    return JNI_FALSE;
  }
}

JNIEXPORT jboolean JNICALL Java_com_norvex_zuradu_host_outlook_OutLookJNI_InsertAppointment(JNIEnv* env, jobject,
                                                                                            jobject appointment) {
  try {
    return Insert(env, appointment, AppointmentInsert(Session().Store()));
  } catch (...) {
    return JNI_FALSE;
  }
}

JNIEXPORT jboolean JNICALL Java_com_norvex_zuradu_host_outlook_OutLookJNI_RemoveItem(JNIEnv* env, jobject, jint kind,
                                                                                     jstring entryId) {
  try {
    const ChangeResult result = FindAndDeleteItem(Session(), kind, HostText(env, entryId));
    if (!result.errorText.empty()) ThrowHostError(env, result.errorText);
    return result.done ? JNI_TRUE : JNI_FALSE;
  } catch (...) {
    return JNI_FALSE;
  }
}

}  // extern "C"
