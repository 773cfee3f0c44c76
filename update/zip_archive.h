// The zip front end over minizip: open by path, count, name and kind of each item, extract an
// item to a full path (creating missing folders, replacing an existing file), and the cleaning
// of item names before they are joined to the installation folder.
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
    std::u16string name;  // stored UTF-8 name, converted; a stored NUL ends it
    bool isFolder;        // the name ends in "/" or "\"
  };
  // Item j's description; nothing when it cannot be read.
  std::optional<Item> ItemAt(int index);
  // Extracts item j to `target`: a folder item creates the folder, a file item creates the
  // missing folders on its path and writes the file, replacing an existing one. False when the
  // item cannot be written (a read-only file in the way) or is damaged; the old file then stays.
  bool Extract(int index, const std::u16string& target);

 private:
  bool GoTo(int index);

  void* handle_ = nullptr;
  int current_ = -1;  // the item minizip stands on, -1 when unknown
};

// Cleans an item name: repeatedly drops a drive prefix (any character and ":"), one leading
// separator, or everything up to the first "\..\", "\../", "/../" or "/..\", in that order of
// preference, until none applies. A result longer than 259 characters is refused: the name
// comes back empty.
std::u16string CleanItemName(const std::u16string& name);

// True when a cleaned name is no place inside the folder it is unpacked into, so the item must be
// skipped: it is empty, absolute, its ".." segments climb above the start (cleaning keeps a
// leading "..\"), or it has a segment of dots and spaces other than "." and ".." (Windows trims
// those to something else).
bool EscapesFolder(const std::u16string& cleanedName);

}  // namespace norvex::update
