// JNI entry points of the test host class that drive the library's ANSI conversions.
#include <jni.h>

#include "ansi_text.h"

using norvex::native::AnsiToJString;
using norvex::native::JStringToAnsi;

extern "C" {

JNIEXPORT jbyteArray JNICALL Java_norvex_jvmtest_AnsiTextTest_toAnsi(JNIEnv* env, jclass, jstring text) {
  const auto ansi = JStringToAnsi(env, text);
  if (!ansi) return nullptr;
  jbyteArray bytes = env->NewByteArray(static_cast<jsize>(ansi->size()));
  if (bytes) env->SetByteArrayRegion(bytes, 0, static_cast<jsize>(ansi->size()), reinterpret_cast<const jbyte*>(ansi->data()));
  return bytes;
}

JNIEXPORT jstring JNICALL Java_norvex_jvmtest_AnsiTextTest_fromAnsi(JNIEnv* env, jclass, jbyteArray bytes) {
  const jsize length = env->GetArrayLength(bytes);
  std::string ansi(static_cast<std::size_t>(length), '\0');
  env->GetByteArrayRegion(bytes, 0, length, reinterpret_cast<jbyte*>(ansi.data()));
  return AnsiToJString(env, ansi);
}

JNIEXPORT jstring JNICALL Java_norvex_jvmtest_AnsiTextTest_roundTrip(JNIEnv* env, jclass, jstring text) {
  const auto ansi = JStringToAnsi(env, text);
  return ansi ? AnsiToJString(env, *ansi) : nullptr;
}

JNIEXPORT jboolean JNICALL Java_norvex_jvmtest_AnsiTextTest_nullGivesNothing(JNIEnv* env, jclass) {
  return JStringToAnsi(env, nullptr) ? JNI_FALSE : JNI_TRUE;
}
}
