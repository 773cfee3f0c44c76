// The upgrade information file (digest header, lead byte, complemented JSON), the record built
// from it, and the check of every package file against its digest.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace norvex::update {

enum class CheckResult { CheckOk, CheckDamaged, CheckFailed };

enum OperationCode : std::int16_t { OperationRemove = 0, OperationAdd = 1, OperationReplace = 2 };

struct UpgradeEntry {
  std::u16string m_strModelName;
  std::u16string m_strFileName;
  std::u16string m_strPath;
  std::u16string m_strMd5;
  std::int32_t m_nSize = 0;
  std::int16_t m_nOperationCode = 0;
};

struct UpgradeInfo {
  std::u16string m_strDisplayVersion;
  std::vector<UpgradeEntry> m_entries;
  std::int32_t m_nTotalSize = 0;
};

// MD5 (RFC 1321) as 32 lower-case hexadecimal digits.
std::string Md5Hex(const void* bytes, std::size_t count);
// The digest text of a whole file, read in bounded memory; false when it cannot be opened or
// read to its end.
bool Md5HexOfFile(const std::u16string& path, std::string& digest);

// Checks the header digest and uncovers the JSON text (it ends before the first stored 0xFF).
// A file shorter than 16 bytes is damaged.
CheckResult DecodeUpgradeInfo(const std::uint8_t* bytes, std::size_t n, std::string& jsonText);

// Fills `info` from the JSON text (JsonCpp's default reader: comments allowed, any root value).
// CheckFailed, with `info` left empty, for text that is no valid JSON, a "displayVersion" that
// is not a string, and a "models" element that is not an object, lacks a string "modelName" or
// holds a key of another JSON type than expected. "operationCode" may be any integer (its low
// 16 bits count); "size" and the sum of all sizes must fit in a signed 32-bit number. An empty
// entry list is CheckOk.
CheckResult ParseUpgradeInfo(std::string_view text, UpgradeInfo& info);

CheckResult VerifyPackage(const UpgradeEntry& entry);

// True when the name's last four characters are ".zip" in any letter case.
bool IsFolderEntry(const std::u16string& fileName);

}  // namespace norvex::update
