// Building the host's device objects. Every lookup and creation is checked, and each device's
// local references are released before the next device is built, so a tree of any size stays
// within the JVM's local reference capacity.
#include "native_device.h"

#include <algorithm>
#include <limits>
#include <optional>
#include <string>

#include "ansi_text.h"
#include "local_ref.h"

namespace norvex::native {

namespace {

constexpr const char* kNativeDeviceClass = "com/norvex/zuradu/util/NativeHelper$NativeDevice";

// The host class of the device objects with its constructor and four text fields.
struct NativeDeviceType {
  LocalRef<jclass> cls;
  jmethodID constructor;
  jfieldID id, name, psn, available;
};

// Identifiers are ASCII in practice; a byte above 0x7F would not be valid input for
// NewStringUTF, so such a text is read in the ANSI code page like the description.
jstring IdentifierText(JNIEnv* env, const std::string& text) {
  const bool ascii = std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
  return ascii ? env->NewStringUTF(text.c_str()) : AnsiToJString(env, text);
}

// Sets one text field from a freshly made string; false (exception pending) when there is none.
bool SetText(JNIEnv* env, jobject object, jfieldID field, jstring made) {
  const LocalRef<jstring> text(env, made);
  if (!text) return false;
  env->SetObjectField(object, field, text.get());
  return true;
}

// Looks the host class up; nothing (with the host's exception pending) when the class, its
// no-argument constructor or one of its fields is missing.
std::optional<NativeDeviceType> LookUpNativeDevice(JNIEnv* env) {
  LocalRef<jclass> cls(env, env->FindClass(kNativeDeviceClass));
  if (!cls) return std::nullopt;
  const jmethodID constructor = env->GetMethodID(cls.get(), "<init>", "()V");
  if (!constructor) return std::nullopt;
  jfieldID fields[4];
  const char* names[4] = {"id", "name", "psn", "available"};
  for (int i = 0; i < 4; ++i) {
    fields[i] = env->GetFieldID(cls.get(), names[i], "Ljava/lang/String;");
    if (!fields[i]) return std::nullopt;
  }
  return NativeDeviceType{std::move(cls), constructor, fields[0], fields[1], fields[2], fields[3]};
}

// One host object for one record, as a local reference the caller owns; null with the host's
// exception pending when the object or one of its texts cannot be made.
jobject NewNativeDevice(JNIEnv* env, const NativeDeviceType& type, const DeviceRecord& record) {
  LocalRef<jobject> object(env, env->NewObject(type.cls.get(), type.constructor));
  if (!object || env->ExceptionCheck()) return nullptr;
  const bool complete = SetText(env, object.get(), type.id, IdentifierText(env, record.id)) &&
                        SetText(env, object.get(), type.name, AnsiToJString(env, record.name)) &&
                        SetText(env, object.get(), type.psn, IdentifierText(env, record.psn)) &&
                        SetText(env, object.get(), type.available, env->NewStringUTF(record.available.c_str()));
  return complete ? object.release() : nullptr;
}

}  // namespace

jobjectArray ToNativeDeviceArray(JNIEnv* env, const std::vector<DeviceRecord>& records) {
  if (records.empty()) return nullptr;
  if (records.size() > static_cast<std::size_t>(std::numeric_limits<jsize>::max())) return nullptr;
  const std::optional<NativeDeviceType> type = LookUpNativeDevice(env);
  if (!type) return nullptr;
  LocalRef<jobjectArray> array(env, env->NewObjectArray(static_cast<jsize>(records.size()), type->cls.get(), nullptr));
  if (!array) return nullptr;
  for (std::size_t i = 0; i < records.size(); ++i) {
    const LocalRef<jobject> device(env, NewNativeDevice(env, *type, records[i]));
    if (!device) return nullptr;
    env->SetObjectArrayElement(array.get(), static_cast<jsize>(i), device.get());
  }
  return array.release();
}

}  // namespace norvex::native
