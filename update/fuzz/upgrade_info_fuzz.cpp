// Fuzz target for the upgrade information: arbitrary bytes as an information file, as its JSON
// text, and wrapped into a file with a correct digest. Nothing may crash, leak or hang, and the
// verdicts must agree with the record: a refused text leaves no entries, an accepted one sums
// its sizes, and a correctly wrapped text always comes back intact.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "md5.h"
#include "text.h"
#include "upgrade_info.h"

using namespace norvex::update;

namespace {

void Require(bool condition) {
  if (!condition) std::abort();
}

void CheckParse(std::string_view text) {
  UpgradeInfo info;
  const CheckResult result = ParseUpgradeInfo(text, info);
  Require(result != CheckResult::CheckDamaged);
  if (result == CheckResult::CheckFailed) {
    Require(info.m_entries.empty() && info.m_strDisplayVersion.empty() && info.m_nTotalSize == 0);
    return;
  }
  std::int64_t total = 0;
  for (const UpgradeEntry& entry : info.m_entries) {
    total += entry.m_nSize;
    IsFolderEntry(entry.m_strFileName);
  }
  Require(total == info.m_nTotalSize);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // A double-byte code page makes the ANSI conversions do real work.
  norvex::text::SetAnsiCodeSetForTesting("GBK");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string text;
  if (DecodeUpgradeInfo(data, size, text) == CheckResult::CheckOk)
    CheckParse(text);
  else
    Require(text.empty());

  const std::string_view raw(reinterpret_cast<const char*>(data), size);
  CheckParse(raw);

  std::vector<std::uint8_t> file(16, 0);
  file.push_back(size > 0 ? data[0] : 0);
  for (std::size_t i = 0; i < size; ++i) file.push_back(static_cast<std::uint8_t>(~data[i]));
  Md5 md5;
  md5.Update(file.data() + 16, file.size() - 16);
  const Md5Digest digest = md5.Finish();
  std::copy(digest.begin(), digest.end(), file.begin());
  Require(DecodeUpgradeInfo(file.data(), file.size(), text) == CheckResult::CheckOk);
  Require(text == raw.substr(0, raw.find('\0')));  // a NUL is stored as 0xFF and ends the text
  file[16] ^= 0x80;
  Require(DecodeUpgradeInfo(file.data(), file.size(), text) == CheckResult::CheckDamaged);
  return 0;
}
