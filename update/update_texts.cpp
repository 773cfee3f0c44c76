// The texts table and the choice by language.
#include "update_texts.h"

#include "numbered_texts.h"

namespace norvex::update {
namespace {

constexpr NumberedText kTexts[] = {
#define UPDATE_TEXT(id, text) {id, u"" text},
#include "update_texts.inc"
#undef UPDATE_TEXT
};

}  // namespace

std::u16string BuiltInTexts::Load(int id) { return FindNumberedText(kTexts, id); }

UpdateTexts ChooseTexts(TextSource& source, int language) {
  // Columns: simplified Chinese, English, traditional Chinese. Note that the damaged texts
  // are numbered 114, 116, 115 in this order.
  struct Ids {
    int zhCN, enUS, zhTW;
  };
  constexpr Ids title{102, 103, 104}, reading{111, 112, 113}, checking{105, 106, 107}, updating{108, 109, 110},
      damaged{114, 116, 115}, failed{117, 118, 119}, restoring{123, 124, 125}, restored{126, 127, 128};
  const auto pick = [&](const Ids& ids) {
    return source.Load(language == 1 ? ids.enUS : language == 2 ? ids.zhTW : ids.zhCN);
  };
  return UpdateTexts{pick(title),   pick(reading), pick(checking),  pick(updating),
                     pick(damaged), pick(failed),  pick(restoring), pick(restored)};
}

}  // namespace norvex::update
