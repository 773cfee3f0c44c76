// Host objects made from device records: one NativeHelper$NativeDevice per record, gathered in
// a host array.
#pragma once

#include <jni.h>

#include <vector>

#include "device_enumeration.h"

namespace norvex::native {

// A host array with one object per record, in order; null for an empty list (never an empty
// array), and null with the host's exception pending when any part cannot be made.
jobjectArray ToNativeDeviceArray(JNIEnv* env, const std::vector<DeviceRecord>& records);

}  // namespace norvex::native
