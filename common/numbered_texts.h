// A program's texts by string number, as built into the code from the same lines that make
// its Windows string table; the programs load the table, tools and tests use this copy.
#pragma once

#include <span>
#include <string>

namespace norvex {

struct NumberedText {
  int id;
  const char16_t* text;
};

// The text with this number; empty when there is none.
inline std::u16string FindNumberedText(std::span<const NumberedText> table, int id) {
  for (const auto& entry : table) {
    if (entry.id == id) return entry.text;
  }
  return {};
}

}  // namespace norvex
