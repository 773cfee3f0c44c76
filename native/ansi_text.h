// Host strings <-> 8-bit text in the system's ANSI code page, as the device list and the host
// utilities hand them over.
#pragma once

#include <jni.h>

#include <optional>
#include <string>
#include <string_view>

namespace norvex::native {

// A host string made from 8-bit ANSI text; an empty text or one that converts to nothing
// gives the empty host string.
jstring AnsiToJString(JNIEnv* env, std::string_view ansi);

// The 8-bit ANSI text of a host string, characters the code page lacks as '?'. Nothing when
// the string is null or its characters cannot be had.
std::optional<std::string> JStringToAnsi(JNIEnv* env, jstring text);

// The code-page conversions underneath, one implementation per platform.
std::u16string AnsiToWide(std::string_view ansi);
std::string WideToAnsi(std::u16string_view wide);

}  // namespace norvex::native
