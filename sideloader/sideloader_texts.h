// The installer's numbered texts (permission descriptions and install failures) behind a small
// port: the program loads them from its string table, tools and tests from the built-in table
// made of the same lines.
#pragma once

#include <string>

namespace norvex::sideloader {

class TextSource {
 public:
  virtual ~TextSource() = default;
  virtual std::u16string Load(int id) = 0;  // empty for a number that has no text
};

class BuiltInTexts final : public TextSource {
 public:
  std::u16string Load(int id) override;
};

}  // namespace norvex::sideloader
