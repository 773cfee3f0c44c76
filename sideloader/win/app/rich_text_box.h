// Handing rich text to a rich edit control as a stream: the one way both Windows' and Wine's
// controls parse it instead of showing the markup.
#pragma once

#include <string>

#include "win/windows_api.h"

namespace norvex::sideloader {

// Replaces the control's whole content with `rtf` (7-bit bytes, see RichTextForStream).
void StreamRichText(HWND box, const std::string& rtf);

}  // namespace norvex::sideloader
