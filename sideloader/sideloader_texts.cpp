// The built-in copy of the installer's string table.
#include "sideloader_texts.h"

namespace norvex::sideloader {
namespace {

struct NumberedText {
  int id;
  const char16_t* text;
};

constexpr NumberedText kTexts[] = {
#define SIDELOADER_TEXT(id, text) {id, u"" text},
#include "sideloader_texts.inc"
#undef SIDELOADER_TEXT
};

}  // namespace

std::u16string BuiltInTexts::Load(int id) {
  for (const auto& entry : kTexts) {
    if (entry.id == id) return entry.text;
  }
  return {};
}

}  // namespace norvex::sideloader
