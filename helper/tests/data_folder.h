// A fresh data folder under /tmp for the tests that run the arrival check on real files,
// removed with everything in it when the test is done.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "text.h"

namespace norvex::helper {

class DataFolder {
 public:
  DataFolder() {
    char pattern[] = "/tmp/helper-data-XXXXXX";
    path_ = ::mkdtemp(pattern);
  }
  ~DataFolder() { std::filesystem::remove_all(path_); }
  DataFolder(const DataFolder&) = delete;
  DataFolder& operator=(const DataFolder&) = delete;

  // The folder as the helper holds it: ending in a separator.
  std::u16string Text() const { return text::FromUtf8(path_.string() + "/"); }
  void Write(const char* name, const std::string& bytes) const {
    std::ofstream(path_ / name, std::ios::binary) << bytes;
  }
  void MakeFolder(const char* name) const { std::filesystem::create_directory(path_ / name); }
  void Remove(const char* name) const { std::filesystem::remove(path_ / name); }

 private:
  std::filesystem::path path_;
};

}  // namespace norvex::helper
