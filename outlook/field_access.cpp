// Field conversions between Outlook values and host record fields.
#include "field_access.h"

namespace norvex::outlook {

namespace {

// Texts end at their first NUL in both directions: the host and Outlook disagree on what an
// embedded NUL means, so neither side ever sees one.
std::u16string_view UpToNul(std::u16string_view text) { return text.substr(0, text.find(u'\0')); }

}  // namespace

ValueKind KindOf(FieldType type) {
  switch (type) {
    case FieldType::String:
      return ValueKind::Text;
    case FieldType::Double:
      return ValueKind::Date;
    case FieldType::Long:
    case FieldType::Int:
      return ValueKind::Long;
    case FieldType::Boolean:
      return ValueKind::Flag;
  }
  return ValueKind::Missing;
}

void StoreField(RecordFields& record, const char* name, FieldType type, const OutlookValue& value) {
  switch (type) {
    case FieldType::String:
      if (!value.text.empty()) record.SetString(name, UpToNul(value.text));
      return;
    case FieldType::Double:
      record.SetDouble(name, value.date);
      return;
    case FieldType::Long:
      record.SetLong(name, static_cast<int64_t>(value.number));
      return;
    case FieldType::Int:
      record.SetInt(name, value.number);
      return;
    case FieldType::Boolean:
      record.SetBoolean(name, value.flag == kFlagTrue);
      return;
  }
}

OutlookValue FetchField(RecordFields& record, const char* name, FieldType type) {
  switch (type) {
    case FieldType::String: {
      const std::optional<std::u16string> text = record.GetString(name);
      return OutlookValue::Text(text ? std::u16string(UpToNul(*text)) : std::u16string());
    }
    case FieldType::Double:
      return OutlookValue::Date(record.GetDouble(name));
    case FieldType::Long:
      // Outlook's long is 32 bits: the high half of the host's value is dropped.
      return OutlookValue::Long(static_cast<int32_t>(static_cast<uint32_t>(record.GetLong(name))));
    case FieldType::Int:
      return OutlookValue::Long(record.GetInt(name));
    case FieldType::Boolean:
      return OutlookValue::Flag(record.GetBoolean(name) == 1 ? kFlagTrue : int16_t{0});
  }
  return OutlookValue::MissingArgument();
}

}  // namespace norvex::outlook
