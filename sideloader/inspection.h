// The package side: folders, the acceptance check of a handed-over file, the work copy, the
// two aapt runs and the rules by which their output is read, and the size text.
#pragma once

#include <string>
#include <string_view>

#include "package_info.h"
#include "registry.h"
#include "sideloader_texts.h"
#include "tool_runner.h"

namespace norvex::sideloader {

// Fills the three folder fields from the running executable's full path and the user's
// "Local AppData" (falling back to the program folder) and creates the work folders.
void SetupFolders(CPackageInfo& package, const std::u16string& executablePath, RegistryReader& registry);

bool CheckPackageFile(CPackageInfo& package, PackageMessages& messages);
bool CopyToWorkCopy(const CPackageInfo& package);

// Everything InspectPackage needs from outside.
struct InspectionContext {
  ToolRunner& runner;
  TextSource& texts;
  PackageMessages& messages;
};
bool InspectPackage(CPackageInfo& package, InspectionContext& context);
void ReadInstallLocation(CPackageInfo& package, ToolRunner& runner);

std::u16string AaptPath(const CPackageInfo& package);
std::u16string FormatSize(std::uint32_t n);

// Output rules: case-sensitive substring searches counted in UTF-16 units from 0.
std::u16string QuotedValueAfter(std::u16string_view text, std::size_t position);
std::u16string ParseVersionName(std::u16string_view text);
std::u16string ParseSdkVersion(std::u16string_view text);
void ParsePermissions(std::u16string_view text, CPackageInfo& package, TextSource& texts);
// Hits of `word` searched from index 1 on, each next search one character after the last hit.
int CountOccurrences(std::u16string_view text, std::u16string_view word);

}  // namespace norvex::sideloader
