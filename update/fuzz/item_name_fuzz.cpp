// Fuzz target for the cleaning of zip item names. Each input is read twice: as UTF-8, and byte
// by byte over a small alphabet of separators, dots, colons and spaces so that hostile shapes
// come up often. A cleaned name must be stable under cleaning, a tail of the original and at
// most 259 characters; and a name that is let through must, resolved below a folder, stay in it.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "text.h"
#include "zip_archive.h"

using namespace norvex::update;

namespace {

void Require(bool condition) {
  if (!condition) std::abort();
}

void Check(const std::u16string& name) {
  const std::u16string cleaned = CleanItemName(name);
  Require(cleaned.size() <= 259);
  Require(CleanItemName(cleaned) == cleaned);
  Require(name.size() >= cleaned.size() && name.compare(name.size() - cleaned.size(), cleaned.size(), cleaned) == 0);
  if (EscapesFolder(cleaned)) return;

  const std::string inside = norvex::text::ToPosixPath(cleaned);
  Require(!inside.empty() && inside[0] != '/');
  const std::string base = "/base";
  const std::string resolved = std::filesystem::path(base + "/" + inside).lexically_normal().generic_string();
  Require(resolved.compare(0, base.size(), base) == 0 &&
          (resolved.size() == base.size() || resolved[base.size()] == '/'));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Check(norvex::text::FromUtf8(std::string_view(reinterpret_cast<const char*>(data), size)));

  static constexpr char16_t kAlphabet[] = u"\\/.:. a\\/.C.:x/";
  std::u16string shaped;
  for (std::size_t i = 0; i < size; ++i) {
    shaped.push_back(data[i] < 0xf0 ? kAlphabet[data[i] % 15] : static_cast<char16_t>(0x4e00 + data[i]));
  }
  Check(shaped);
  return 0;
}
