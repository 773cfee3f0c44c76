// Host objects made from device records: one NativeHelper$NativeDevice per record, gathered in
// a host array.
#pragma once

#include <jni.h>

#include <optional>
#include <vector>

#include "device_enumeration.h"
#include "local_ref.h"

namespace norvex::native {

inline constexpr const char* kNativeDeviceClass = "com/norvex/zuradu/util/NativeHelper$NativeDevice";

// The host class of the device objects with its constructor and four text fields.
struct NativeDeviceType {
  LocalRef<jclass> cls;
  jmethodID constructor;
  jfieldID id, name, psn, available;
};

// Looks the host class up; nothing (with the host's exception pending) when the class, its
// no-argument constructor or one of its fields is missing.
std::optional<NativeDeviceType> LookUpNativeDevice(JNIEnv* env);

// One host object for one record, as a local reference the caller owns; null with the host's
// exception pending when the object or one of its texts cannot be made.
jobject NewNativeDevice(JNIEnv* env, const NativeDeviceType& type, const DeviceRecord& record);

// A host array with one object per record, in order; null for an empty list (never an empty
// array), and null with the host's exception pending when any part cannot be made.
jobjectArray ToNativeDeviceArray(JNIEnv* env, const std::vector<DeviceRecord>& records);

}  // namespace norvex::native
