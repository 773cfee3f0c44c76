// The host-side test build of outlook works on a scripted store instead of Outlook; the JVM
// tests and the benchmark script it through the test class norvex.jvmtest.ScriptedOutlook.
// The entry points, the session and the JNI code are the shipped ones: only this file
// stands in for jni/com_system_store.cpp.
#include <jni.h>

#include <string>

#include "jni_record.h"
#include "scripted_store.h"
#include "system_store.h"
#include "text.h"

namespace norvex::outlook {

namespace {

ScriptedStore& Scripted() {
  static ScriptedStore store;
  return store;
}

std::u16string Text(JNIEnv* env, jstring string) { return HostText(env, string).value_or(u""); }

// "pattern.Name" names a property of the item's recurrence pattern.
constexpr std::u16string_view kPattern = u"pattern.";

void Set(JNIEnv* env, jstring tag, jstring property, OutlookValue value) {
  ScriptedStore& store = Scripted();
  const ScriptedStore::ItemPtr item = store.Find(Text(env, tag));
  if (!item) {
    env->ThrowNew(env->FindClass("java/lang/IllegalArgumentException"), "no such item");
    return;
  }
  const std::u16string name = Text(env, property);
  if (name.starts_with(kPattern))
    store.SetPatternProperty(item, name.substr(kPattern.size()), std::move(value));
  else
    store.SetProperty(item, name, std::move(value));
}

jstring Lines(JNIEnv* env, const std::string& joined) {
  const std::u16string text = norvex::text::FromUtf8(joined);
  return env->NewString(reinterpret_cast<const jchar*>(text.data()), static_cast<jsize>(text.size()));
}

}  // namespace

OutlookStore& SystemStore() { return Scripted(); }

}  // namespace norvex::outlook

using namespace norvex::outlook;

extern "C" {

JNIEXPORT void JNICALL Java_norvex_jvmtest_ScriptedOutlook_reset(JNIEnv*, jclass) { Scripted().Reset(); }

JNIEXPORT void JNICALL Java_norvex_jvmtest_ScriptedOutlook_addItem(JNIEnv* env, jclass, jint folder, jstring kind,
                                                                   jstring tag) {
  Scripted().AddItem(folder, norvex::text::ToUtf8(Text(env, kind)), Text(env, tag));
}

JNIEXPORT void JNICALL Java_norvex_jvmtest_ScriptedOutlook_setText(JNIEnv* env, jclass, jstring tag, jstring property,
                                                                   jstring value) {
  Set(env, tag, property, OutlookValue::Text(Text(env, value)));
}

JNIEXPORT void JNICALL Java_norvex_jvmtest_ScriptedOutlook_setLong(JNIEnv* env, jclass, jstring tag, jstring property,
                                                                   jint value) {
  Set(env, tag, property, OutlookValue::Long(value));
}

JNIEXPORT void JNICALL Java_norvex_jvmtest_ScriptedOutlook_setFlag(JNIEnv* env, jclass, jstring tag, jstring property,
                                                                   jshort value) {
  Set(env, tag, property, OutlookValue::Flag(value));
}

JNIEXPORT void JNICALL Java_norvex_jvmtest_ScriptedOutlook_setDate(JNIEnv* env, jclass, jstring tag, jstring property,
                                                                   jdouble value) {
  Set(env, tag, property, OutlookValue::Date(value));
}

JNIEXPORT void JNICALL Java_norvex_jvmtest_ScriptedOutlook_fail(JNIEnv* env, jclass, jstring tag, jstring member,
                                                                jint nth, jint code) {
  Scripted().Fail(Text(env, tag), Text(env, member), nth, code);
}

JNIEXPORT void JNICALL Java_norvex_jvmtest_ScriptedOutlook_holdAt(JNIEnv* env, jclass, jstring member, jint nth) {
  Scripted().HoldAt(Text(env, member), nth);
}

JNIEXPORT void JNICALL Java_norvex_jvmtest_ScriptedOutlook_waitUntilHeld(JNIEnv*, jclass) {
  Scripted().WaitUntilHeld();
}

JNIEXPORT void JNICALL Java_norvex_jvmtest_ScriptedOutlook_resume(JNIEnv*, jclass) { Scripted().Resume(); }

JNIEXPORT void JNICALL Java_norvex_jvmtest_ScriptedOutlook_setRecording(JNIEnv*, jclass, jboolean on) {
  Scripted().SetRecording(on != JNI_FALSE);
}

JNIEXPORT jlong JNICALL Java_norvex_jvmtest_ScriptedOutlook_callCount(JNIEnv*, jclass) {
  return static_cast<jlong>(Scripted().CallCount());
}

// The calls recorded since the last reset or take, one a line.
JNIEXPORT jstring JNICALL Java_norvex_jvmtest_ScriptedOutlook_takeCalls(JNIEnv* env, jclass) {
  std::string joined;
  for (const std::string& call : Scripted().Calls()) joined += call + "\n";
  Scripted().ClearCalls();
  return Lines(env, joined);
}

JNIEXPORT jstring JNICALL Java_norvex_jvmtest_ScriptedOutlook_folder(JNIEnv* env, jclass, jint folder) {
  std::string joined;
  for (const std::u16string& tag : Scripted().FolderTags(folder)) joined += norvex::text::ToUtf8(tag) + "\n";
  return Lines(env, joined);
}

// A stored item's property as the call record writes it ("" when the item is not stored).
JNIEXPORT jstring JNICALL Java_norvex_jvmtest_ScriptedOutlook_property(JNIEnv* env, jclass, jstring tag,
                                                                       jstring property) {
  ScriptedStore& store = Scripted();
  const ScriptedStore::ItemPtr item = store.Find(Text(env, tag));
  if (!item) return Lines(env, "");
  const std::u16string name = Text(env, property);
  const OutlookValue value = name.starts_with(kPattern) ? store.PatternProperty(item, name.substr(kPattern.size()))
                                                        : store.Property(item, name);
  return Lines(env, ScriptedStore::Describe(value));
}

JNIEXPORT jint JNICALL Java_norvex_jvmtest_ScriptedOutlook_saves(JNIEnv* env, jclass, jstring tag) {
  const ScriptedStore::ItemPtr item = Scripted().Find(Text(env, tag));
  return item ? Scripted().Saves(item) : -1;
}

JNIEXPORT jint JNICALL Java_norvex_jvmtest_ScriptedOutlook_liveApplications(JNIEnv*, jclass) {
  return Scripted().LiveApplications();
}

}  // extern "C"
