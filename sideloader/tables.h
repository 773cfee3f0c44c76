// The fixed tables of the installer: the sensitive permissions it warns about and the names of
// the Android releases by platform level.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "package_info.h"
#include "sideloader_texts.h"

namespace norvex::sideloader {

struct PermissionRow {
  const char16_t* name;
  const char16_t* label;
  int descriptionId;
};
// The 34 rows, in the order they are compared.
std::span<const PermissionRow> PermissionTable();

// Appends the label and description of a listed permission; unlisted names, and rows whose
// description is empty, add nothing.
void AddPermission(std::u16string_view name, CPackageInfo& package, TextSource& texts);
std::u16string PlatformName(std::int32_t level);

}  // namespace norvex::sideloader
