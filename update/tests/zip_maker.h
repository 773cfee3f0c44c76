// Writes small zip archives with chosen item names for tests, through minizip's writer.
#pragma once

#include <gtest/gtest.h>
#include <minizip/zip.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace norvex::update {

// Items are (stored name, content); a name ending in "/" is stored as a folder item.
inline void MakeZip(const std::string& nativePath, const std::vector<std::pair<std::string, std::string>>& items) {
  std::filesystem::create_directories(std::filesystem::path(nativePath).parent_path());
  zipFile zip = zipOpen64(nativePath.c_str(), APPEND_STATUS_CREATE);
  ASSERT_NE(zip, nullptr) << nativePath;
  for (const auto& [name, content] : items) {
    zip_fileinfo info{};
    // Bit 11: the name is UTF-8.
    ASSERT_EQ(zipOpenNewFileInZip4_64(zip, name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED,
                                      Z_DEFAULT_COMPRESSION, 0, -MAX_WBITS, DEF_MEM_LEVEL, Z_DEFAULT_STRATEGY, nullptr,
                                      0, 0, 1 << 11, 0),
              ZIP_OK);
    if (!content.empty()) {
      ASSERT_EQ(zipWriteInFileInZip(zip, content.data(), static_cast<unsigned>(content.size())), ZIP_OK);
    }
    ASSERT_EQ(zipCloseFileInZip(zip), ZIP_OK);
  }
  ASSERT_EQ(zipClose(zip, nullptr), ZIP_OK);
}

}  // namespace norvex::update
