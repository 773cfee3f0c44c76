// The nine native methods of the host class com.norvex.zuradu.util.NativeHelper. Each works
// only while it is called, keeps nothing between calls, and lets no C++ exception reach the
// JVM; failures answer null, false or the empty string (with the JVM's own exception left
// pending when a JNI call raised one).
#include <jni.h>

#include "ansi_text.h"
#include "device_enumeration.h"
#include "host_utilities.h"
#include "native_device.h"
#include "system_ports.h"

using namespace norvex::native;

namespace {

constexpr const char* kUsbPrefix = "USB\\VID";

jobjectArray DeviceList(JNIEnv* env, const char* prefix, DeviceSelection selection) noexcept {
  try {
    return ToNativeDeviceArray(env, EnumerateDevices(*SystemDeviceTree(), prefix, selection));
  } catch (...) {
    return nullptr;
  }
}

}  // namespace

extern "C" {

JNIEXPORT jobjectArray JNICALL Java_com_norvex_zuradu_util_NativeHelper_getAllDevices(JNIEnv* env, jobject) {
  return DeviceList(env, "", DeviceSelection::All);
}

JNIEXPORT jobjectArray JNICALL Java_com_norvex_zuradu_util_NativeHelper_getUnavailableDevices(JNIEnv* env, jobject) {
  return DeviceList(env, "", DeviceSelection::UnavailableOnly);
}

JNIEXPORT jobjectArray JNICALL Java_com_norvex_zuradu_util_NativeHelper_getUsbDevices(JNIEnv* env, jobject) {
  return DeviceList(env, kUsbPrefix, DeviceSelection::All);
}

JNIEXPORT jobjectArray JNICALL Java_com_norvex_zuradu_util_NativeHelper_getUnavailableUsbDevices(JNIEnv* env, jobject) {
  return DeviceList(env, kUsbPrefix, DeviceSelection::UnavailableOnly);
}

JNIEXPORT jboolean JNICALL Java_com_norvex_zuradu_util_NativeHelper_isDeviceAvailable(JNIEnv* env, jobject,
                                                                                      jstring device) {
  try {
    const std::optional<std::string> prefix = JStringToAnsi(env, device);
    if (!prefix) return JNI_FALSE;
    return EnumerateDevices(*SystemDeviceTree(), *prefix, DeviceSelection::AvailableOnly).empty() ? JNI_FALSE
                                                                                                  : JNI_TRUE;
  } catch (...) {
    return JNI_FALSE;
  }
}

JNIEXPORT jboolean JNICALL Java_com_norvex_zuradu_util_NativeHelper_isX64(JNIEnv*, jobject) {
  try {
    return SystemHostShell()->IsWindows64() ? JNI_TRUE : JNI_FALSE;
  } catch (...) {
    return JNI_FALSE;
  }
}

JNIEXPORT jboolean JNICALL Java_com_norvex_zuradu_util_NativeHelper_shellExecute(JNIEnv* env, jobject, jstring file,
                                                                                 jstring parameters, jstring directory,
                                                                                 jboolean wait) {
  try {
    // Null parameters and directory go to the shell as none; a null file starts nothing. A
    // string whose characters cannot be had leaves the JVM's exception pending: stop there.
    std::optional<ShellRequest> request;
    if (file) {
      std::optional<std::string> path = JStringToAnsi(env, file);
      if (!path) return JNI_FALSE;
      std::optional<std::string> arguments = JStringToAnsi(env, parameters);
      if (parameters && !arguments) return JNI_FALSE;
      std::optional<std::string> folder = JStringToAnsi(env, directory);
      if (directory && !folder) return JNI_FALSE;
      request = ShellRequest{std::move(*path), std::move(arguments), std::move(folder)};
    }
    return ShellExecuteFile(*SystemHostShell(), request, wait != JNI_FALSE) ? JNI_TRUE : JNI_FALSE;
  } catch (...) {
    return JNI_FALSE;
  }
}

JNIEXPORT jstring JNICALL Java_com_norvex_zuradu_util_NativeHelper_getCurrentLocalAppFolder(JNIEnv* env, jobject) {
  try {
    return AnsiToJString(env, CurrentLocalAppFolder(*SystemHostShell()));
  } catch (...) {
    return nullptr;
  }
}

JNIEXPORT void JNICALL Java_com_norvex_zuradu_util_NativeHelper_installUsbDetector(JNIEnv*, jobject) {}

}  // extern "C"
