// Taking the package's launcher icon out of the work copy (an APK is a zip archive) into
// "nvApkInstall.png" in the work folder, where the window picks it up.
#pragma once

#include <string_view>

#include "package_info.h"

namespace norvex::sideloader {

// The icon entry named by aapt's badging output: the first hdpi drawable, else the first
// application icon line of any density; empty when there is neither.
std::u16string IconEntryName(std::u16string_view badging);

// Sets m_bHasIcon: true when the entry is in the work copy (found without regard to case);
// the entry is then written over m_strTempFolder + "nvApkInstall.png".
void ExtractIcon(std::u16string_view badging, CPackageInfo& package);

std::u16string IconFilePath(const CPackageInfo& package);

}  // namespace norvex::sideloader
