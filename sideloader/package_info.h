// The record of the package the installer shows and installs, and the folders it works in.
// One object lives for the whole run of the program; the logic takes it by reference so a test
// can make its own.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace norvex::sideloader {

enum InstallLocation : std::int32_t { Unset = -1, Auto = 0, InternalOnly = 1, PreferExternal = 2 };

struct PermissionEntry {
  std::u16string strLabel;
  std::u16string strDescription;
  bool operator==(const PermissionEntry&) const = default;
};

// Paths use "\" as separator on every platform; the POSIX file and process layers translate.
struct CPackageInfo {
  std::u16string m_strAppFolder;   // ends in a separator
  std::u16string m_strTempFolder;  // ends in a separator
  bool m_bFileGiven = false;
  std::u16string m_strPackagePath;
  std::u16string m_strWorkCopy;
  std::u16string m_strDisplayName;
  bool m_bIsPackage = false;
  bool m_bHasIcon = false;
  std::int32_t m_nInstallLocation = Auto;
  std::uint32_t m_nFileSize = 0;
  std::u16string m_strVersionName;
  std::int32_t m_nSdkLevel = 0;
  std::vector<PermissionEntry> m_permissions;
};

// A package counts as loaded when a file was handed over and it is a package: only then is
// there something to show, inspect and install.
inline bool IsLoaded(const CPackageInfo& package) { return package.m_bFileGiven && package.m_bIsPackage; }

// Messages of the package side: an OK box with the exclamation icon and the program's name as
// caption in the program; a line on standard error in the tools.
class PackageMessages {
 public:
  virtual ~PackageMessages() = default;
  virtual void ShowMessage(const std::u16string& text) = 0;
};

}  // namespace norvex::sideloader
