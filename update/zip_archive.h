// The zip front end over minizip: open by path, count, name and kind of each item, extract an
// item to a full path (creating missing folders, replacing an existing file).
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace norvex::update {

class ZipArchive {
 public:
  ZipArchive() = default;
  ~ZipArchive();
  ZipArchive(const ZipArchive&) = delete;
  ZipArchive& operator=(const ZipArchive&) = delete;

  bool Open(const std::u16string& path);
  void Close();
  // Number of items; nothing when it cannot be read.
  std::optional<int> ItemCount();
  struct Item {
    std::u16string name;  // stored UTF-8 name, converted
    bool isFolder;
  };
  // Item j's description; nothing when it cannot be read.
  std::optional<Item> ItemAt(int index);
  // Extracts item j to `target`: a folder item creates the folder, a file item creates the
  // missing folders on its path and writes the file, replacing an existing one.
  bool Extract(int index, const std::u16string& target);

 private:
  void* handle_ = nullptr;
};

// Cleans an item name: repeatedly drops a drive prefix, one leading separator, and everything up
// to the first "\..\", "\../", "/../" or "/..\". Limited to 259 characters.
std::u16string CleanItemName(const std::u16string& name);

// True when a cleaned name still points outside the folder it is unpacked into: it is
// absolute, or its ".." segments climb above the start.
bool EscapesFolder(const std::u16string& cleanedName);

}  // namespace norvex::update
