// What the installer window shows for the package record, and what a drop does to the record:
// the window-independent half of the dialog, so that it runs (and is tested) on every platform.
// The dialog only copies these texts into its controls.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "inspection.h"
#include "package_info.h"

namespace norvex::sideloader {

struct WindowTexts {
  std::optional<std::u16string> name;  // nothing: the label keeps what it shows
  std::u16string version;              // 1001
  std::u16string minimum;              // 1002
  std::u16string heading;              // 1003
  std::u16string list;                 // 1013, rich text when listIsRich
  bool listIsRich = false;
  std::u16string status;  // 1004
  bool installEnabled = false;
};
WindowTexts ComposeWindowTexts(const CPackageInfo& package);

// The permission list as rich text: each label bold on its own line, its description under it,
// an empty line before the next label. Labels and descriptions go in unchanged.
std::u16string PermissionRichText(const std::vector<PermissionEntry>& permissions);

// The rich text as the bytes a rich edit control reads from a stream: ASCII stays, every other
// character becomes a \uN? escape (N as a signed 16-bit number), which every rich edit parses.
std::string RichTextForStream(std::u16string_view richText);
// A plain text as a rich text stream in the control's default format, so a list that was bold
// before does not lend its format to the text that replaces it.
std::string PlainTextForStream(std::u16string_view text);

// Pixel height of the name label's font: long names get the smaller one.
int NameFontHeight(std::u16string_view displayName);

// A drop of files on the permission list. Only the first file is taken; while an installation
// runs the drop is refused with a message, because adb may still be reading the work copy the
// drop would rewrite. A refused file leaves a loaded package (and its permission list) as it was.
// Returns false when the drop was refused because of a running installation.
bool ReceiveDrop(CPackageInfo& package, const std::vector<std::u16string>& files, bool installing,
                 InspectionContext& context);

inline constexpr char16_t kDropWhileInstalling[] = u"正在安装，请等安装结束后再拖入文件!";

}  // namespace norvex::sideloader
