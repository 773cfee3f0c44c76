// The updater's texts: numbered like the program's string table, chosen once per run by
// language index.
#pragma once

#include <string>

namespace norvex::update {

// Gives a text by its string number (the program loads its string table; tools and tests use
// the built-in table, the same lines).
class TextSource {
 public:
  virtual ~TextSource() = default;
  virtual std::u16string Load(int id) = 0;
};

class BuiltInTexts final : public TextSource {
 public:
  std::u16string Load(int id) override;  // empty for a number that has no text
};

struct UpdateTexts {
  std::u16string title, reading, checking, updating, damaged, failed, restoring, restored;
};

// Index 1 is English, 2 traditional Chinese, anything else simplified Chinese.
UpdateTexts ChooseTexts(TextSource& source, int language);

}  // namespace norvex::update
