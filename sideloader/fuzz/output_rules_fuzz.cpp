// Fuzzes the rules that read aapt's and adb's text: whatever a tool prints must neither crash
// them nor break their promises (a quoted value is a piece of the text without quotes, the
// permission list only holds table rows, a count is bounded by the text's length).
#include <cstddef>
#include <cstdint>
#include <string>

#include "icon.h"
#include "inspection.h"
#include "tables.h"
#include "text.h"
#include "tool_runner.h"

using namespace norvex::sideloader;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const std::u16string output = DecodeToolOutput(bytes);

  for (std::size_t at : {std::size_t{0}, output.size() / 2, output.size(), output.size() + 3}) {
    const std::u16string value = QuotedValueAfter(output, at);
    if (value.find(u'\'') != std::u16string::npos) __builtin_trap();
    if (!value.empty() && output.find(value) == std::u16string::npos) __builtin_trap();
  }
  ParseVersionName(output);
  norvex::text::WideToInt(ParseSdkVersion(output));
  IconEntryName(output);

  BuiltInTexts texts;
  CPackageInfo package;
  ParsePermissions(output, package, texts);
  for (const PermissionEntry& entry : package.m_permissions) {
    bool listed = false;
    for (const PermissionRow& row : PermissionTable()) listed = listed || entry.strLabel == row.label;
    if (!listed || entry.strDescription.empty()) __builtin_trap();
  }
  // Each hit lies at its own index from 1 on, so there are never more hits than characters.
  for (const char16_t* word : {u"device", u"offline", u"unauthorized", u"aa", u""}) {
    const int count = CountOccurrences(output, word);
    if (count < 0 || static_cast<std::size_t>(count) > output.size()) __builtin_trap();
  }
  SplitCommandLine(output);
  return 0;
}
