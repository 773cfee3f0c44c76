// The JNI half of the ANSI conversions: host strings are UTF-16, like the converters' side.
#include "ansi_text.h"

namespace norvex::native {

jstring AnsiToJString(JNIEnv* env, std::string_view ansi) {
  if (ansi.empty()) return env->NewStringUTF("");
  const std::u16string wide = AnsiToWide(ansi);
  if (wide.empty()) return env->NewStringUTF("");
  return env->NewString(reinterpret_cast<const jchar*>(wide.data()), static_cast<jsize>(wide.size()));
}

std::optional<std::string> JStringToAnsi(JNIEnv* env, jstring text) {
  if (text == nullptr) return std::nullopt;
  const jsize length = env->GetStringLength(text);
  const jchar* chars = env->GetStringChars(text, nullptr);
  if (chars == nullptr) return std::nullopt;
  std::string ansi = WideToAnsi(std::u16string_view(reinterpret_cast<const char16_t*>(chars), static_cast<std::size_t>(length)));
  env->ReleaseStringChars(text, chars);
  return ansi;
}

}  // namespace norvex::native
