// A real temporary folder for one test, removed afterwards, with small helpers to write and
// read files by Windows-style relative path.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "file_system.h"
#include "text.h"

namespace norvex::update {

class TestFolder {
 public:
  TestFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "norvex-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) ADD_FAILURE() << "mkdtemp failed";
    root_ = pattern;
  }
  ~TestFolder() {
    std::error_code ignored;
    // Read-only files and folders must not keep the tree alive.
    for (auto& entry : std::filesystem::recursive_directory_iterator(root_, ignored)) {
      std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_all, std::filesystem::perm_options::add,
                                   ignored);
    }
    std::filesystem::remove_all(root_, ignored);
  }
  TestFolder(const TestFolder&) = delete;
  TestFolder& operator=(const TestFolder&) = delete;

  // The folder as the updater spells paths (no trailing backslash).
  std::u16string path() const { return text::FromUtf8(root_.string()); }
  std::filesystem::path Native(const std::u16string& relative) const {
    return std::filesystem::path(text::ToPosixPath(path() + u"\\" + relative));
  }

  void Write(const std::u16string& relative, const std::string& content) const {
    const auto file = Native(relative);
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << content;
  }
  std::string Read(const std::u16string& relative) const {
    std::ifstream in(Native(relative), std::ios::binary);
    if (!in) return "<missing>";
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
  }
  bool Has(const std::u16string& relative) const { return std::filesystem::exists(Native(relative)); }

 private:
  std::filesystem::path root_;
};

}  // namespace norvex::update
