// Reading the upgrade information: the digest-protected, complemented JSON file the host leaves
// for the updater, the record built from it, and the digest check of every package file.
// JsonCpp throws on access of the wrong type, so every value's type is checked before it is
// read; a malformed information file is refused, it never ends the process.
#include "upgrade_info.h"

#include <json/reader.h>
#include <json/value.h>

#include <algorithm>
#include <cstdint>
#include <exception>
#include <limits>
#include <optional>
#include <vector>

#include "file_system.h"
#include "md5.h"
#include "text.h"

namespace norvex::update {
namespace {

constexpr std::size_t kHeaderSize = 16;
constexpr std::size_t kFileChunk = 1 << 20;

// A string key: absent (or null, which JsonCpp's member access cannot tell apart) gives the
// empty text; anything but a string makes the information unreadable.
std::optional<std::string> StringMember(const Json::Value& object, const char* key) {
  const Json::Value& value = object[key];
  if (value.isNull()) return std::string();
  if (!value.isString()) return std::nullopt;
  return value.asString();
}

// An integer key as its full 64-bit two's-complement pattern; a fraction, a boolean or any
// other type makes the information unreadable. Integral numbers written as reals (2.0, 1e3)
// count as integers.
std::optional<std::uint64_t> IntegerMember(const Json::Value& object, const char* key) {
  const Json::Value& value = object[key];
  if (value.isNull()) return 0;
  if (value.isInt64()) return static_cast<std::uint64_t>(value.asInt64());
  if (value.isUInt64()) return value.asUInt64();
  return std::nullopt;
}

bool ReadEntry(const Json::Value& element, UpgradeEntry& entry) {
  if (!element.isObject() || !element["modelName"].isString()) return false;
  const auto modelName = StringMember(element, "modelName");
  const auto fileName = StringMember(element, "fileName");
  const auto path = StringMember(element, "path");
  const auto md5 = StringMember(element, "md5");
  const auto code = IntegerMember(element, "operationCode");
  if (!fileName || !path || !md5 || !code) return false;
  // A weight outside the signed 32-bit range cannot be held in the record; refusing it is
  // better than a wrapped weight that sends the progress bar backwards.
  const Json::Value& size = element["size"];
  if (!size.isNull() && !size.isInt()) return false;

  entry.m_strModelName = text::FromAnsi(*modelName, text::CodePage::ThreadAnsi);
  entry.m_strFileName = text::FromAnsi(*fileName, text::CodePage::ThreadAnsi);
  entry.m_strPath = text::FromUtf8(*path);
  entry.m_strMd5 = text::FromAnsi(*md5, text::CodePage::ThreadAnsi);
  entry.m_nSize = size.isNull() ? 0 : size.asInt();
  // Only the low 16 bits are the code: 65537 is an add.
  entry.m_nOperationCode = static_cast<std::int16_t>(static_cast<std::uint16_t>(*code & 0xffffu));
  return true;
}

CheckResult Parse(std::string_view text, UpgradeInfo& info) {
  Json::Value root;
  Json::Reader reader;  // default features: comments allowed, any value as the root
  if (!reader.parse(text.data(), text.data() + text.size(), root)) return CheckResult::CheckFailed;
  if (!root.isObject()) return CheckResult::CheckOk;  // no version, no entries

  const auto version = StringMember(root, "displayVersion");
  if (!version) return CheckResult::CheckFailed;
  info.m_strDisplayVersion = text::FromAnsi(*version, text::CodePage::ThreadAnsi);

  const Json::Value& models = root["models"];
  if (!models.isArray()) return CheckResult::CheckOk;
  std::int64_t total = 0;
  for (Json::ArrayIndex i = 0; i < models.size(); ++i) {
    UpgradeEntry entry;
    if (!ReadEntry(models[i], entry)) return CheckResult::CheckFailed;
    total += entry.m_nSize;
    // The total is a signed 32-bit number; one that does not fit would wrap.
    if (total < std::numeric_limits<std::int32_t>::min() || total > std::numeric_limits<std::int32_t>::max()) {
      return CheckResult::CheckFailed;
    }
    info.m_entries.push_back(std::move(entry));
  }
  info.m_nTotalSize = static_cast<std::int32_t>(total);
  return CheckResult::CheckOk;
}

}  // namespace

std::string Md5Hex(const void* bytes, std::size_t count) {
  Md5 md5;
  md5.Update(bytes, count);
  return DigestHex(md5.Finish());
}

bool Md5HexOfFile(const std::u16string& path, std::string& digest) {
  fs::File file = fs::File::OpenRead(path);
  if (!file.is_open()) return false;
  std::vector<std::uint8_t> chunk(kFileChunk);
  Md5 md5;
  for (;;) {
    const std::int64_t got = file.Read(chunk.data(), chunk.size());
    // A read error is no digest: a digest of part of the file would be a wrong verdict.
    if (got < 0) return false;
    if (got == 0) break;
    md5.Update(chunk.data(), static_cast<std::size_t>(got));
  }
  digest = DigestHex(md5.Finish());
  return true;
}

CheckResult DecodeUpgradeInfo(const std::uint8_t* bytes, std::size_t n, std::string& jsonText) {
  jsonText.clear();
  if (n < kHeaderSize) return CheckResult::CheckDamaged;
  Md5Digest header;
  std::copy_n(bytes, kHeaderSize, header.begin());
  const std::string stored = DigestHex(header);
  const std::string computed = Md5Hex(bytes + kHeaderSize, n - kHeaderSize);
  if (!text::EqualsNoCase(text::FromUtf8(stored), text::FromUtf8(computed))) return CheckResult::CheckDamaged;
  for (std::size_t i = kHeaderSize + 1; i < n && bytes[i] != 0xff; ++i) {
    jsonText.push_back(static_cast<char>(bytes[i] ^ 0xff));
  }
  return CheckResult::CheckOk;
}

CheckResult ParseUpgradeInfo(std::string_view text, UpgradeInfo& info) {
  info = UpgradeInfo();
  CheckResult result;
  try {
    result = Parse(text, info);
  } catch (const std::exception&) {
    // JsonCpp's reader throws past its nesting limit; that text is not understood either.
    result = CheckResult::CheckFailed;
  }
  if (result != CheckResult::CheckOk) info = UpgradeInfo();
  return result;
}

CheckResult VerifyPackage(const UpgradeEntry& entry) {
  if (entry.m_nOperationCode == OperationRemove) return CheckResult::CheckOk;
  std::string digest;
  if (!Md5HexOfFile(entry.m_strPath, digest)) return CheckResult::CheckDamaged;
  return text::EqualsNoCase(text::FromUtf8(digest), entry.m_strMd5) ? CheckResult::CheckOk : CheckResult::CheckDamaged;
}

bool IsFolderEntry(const std::u16string& fileName) {
  return fileName.size() >= 4 && text::EqualsNoCase(std::u16string_view(fileName).substr(fileName.size() - 4), u".zip");
}

}  // namespace norvex::update
