// The built-in copy of the installer's string table.
#include "sideloader_texts.h"

#include "numbered_texts.h"

namespace norvex::sideloader {
namespace {

constexpr NumberedText kTexts[] = {
#define SIDELOADER_TEXT(id, text) {id, u"" text},
#include "sideloader_texts.inc"
#undef SIDELOADER_TEXT
};

}  // namespace

std::u16string BuiltInTexts::Load(int id) { return FindNumberedText(kTexts, id); }

}  // namespace norvex::sideloader
