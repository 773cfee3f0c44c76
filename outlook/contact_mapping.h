// The contact mapping: the host's OutLookContact fields against Outlook's contact
// properties, read in table order and written in write-step order, with the contact picture
// travelling through two files instead of a field.
#pragma once

#include <span>
#include <string>

#include "record_mapping.h"

namespace norvex::outlook {

// Where the picture of a read contact is saved, and where an insert finds the picture to add.
struct PicturePaths {
  std::u16string out;
  std::u16string in;
  // The two files the host expects, in the root of drive C:.
  static PicturePaths Fixed();
};

inline constexpr std::u16string_view kPictureName = u"ContactPicture.jpg";

// All hundred fields in read order; the "haspicture" row stands for the picture exchange.
std::span<const FieldRow> ContactFields();

// Each returns false after any failure; a written item is never saved here.
bool ReadContact(OutlookStore& store, const OutlookRef& item, RecordFields& record, const PicturePaths& pictures);
bool WriteContact(OutlookStore& store, RecordFields& record, const OutlookRef& item, const PicturePaths& pictures);

}  // namespace norvex::outlook
