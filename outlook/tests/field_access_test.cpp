// How single values travel between Outlook and a host record, in both directions and for
// each field type, including what a record without the field does.
#include "field_access.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "map_record.h"

namespace norvex::outlook {
namespace {

TEST(StoreField, EmptyTextKeepsTheConstructorValueAndNulCutsTheText) {
  MapRecord record;
  record.Declare("company", FieldType::String).text = u"as constructed";
  record.Declare("body", FieldType::String);
  StoreField(record, "company", FieldType::String, OutlookValue::Text(u""));
  StoreField(record, "body", FieldType::String, OutlookValue::Text(std::u16string(u"ab\0cd", 5)));
  EXPECT_EQ(record.At("company").text, u"as constructed");
  EXPECT_EQ(record.At("company").sets, 0);
  EXPECT_EQ(record.At("body").text, u"ab");

  // A text that starts with NUL is not empty: the field becomes "".
  StoreField(record, "company", FieldType::String, OutlookValue::Text(std::u16string(u"\0x", 2)));
  EXPECT_EQ(record.At("company").text, u"");
}

TEST(StoreField, NumbersFlagsAndDatesPerType) {
  const double date = std::nextafter(45000.5, 46000.0);  // the last bit must survive
  struct Case {
    FieldType type;
    OutlookValue value;
    int64_t integer;
    uint8_t boolean;
    double number;
  } cases[] = {
      {FieldType::Long, OutlookValue::Long(-1), -1, 0, 0},  // sign-extended, not 2^32 - 1
      {FieldType::Long, OutlookValue::Long(std::numeric_limits<int32_t>::min()), std::numeric_limits<int32_t>::min(), 0,
       0},
      {FieldType::Int, OutlookValue::Long(-7), -7, 0, 0},
      {FieldType::Boolean, OutlookValue::Flag(-1), 0, 1, 0},
      {FieldType::Boolean, OutlookValue::Flag(1), 0, 0, 0},  // only -1 is true
      {FieldType::Boolean, OutlookValue::Flag(0), 0, 0, 0},
      {FieldType::Double, OutlookValue::Date(date), 0, 0, date},
      {FieldType::Double, OutlookValue::Date(0.0), 0, 0, 0.0},
  };
  for (const Case& c : cases) {
    MapRecord record;
    MapRecord::Field& field = record.Declare("f", c.type);
    field.boolean = 9;
    field.integer = 99;
    field.number = 99;
    StoreField(record, "f", c.type, c.value);
    EXPECT_EQ(field.sets, 1);
    if (c.type == FieldType::Boolean) {
      EXPECT_EQ(field.boolean, c.boolean);
    } else if (c.type == FieldType::Double) {
      EXPECT_EQ(std::memcmp(&field.number, &c.number, sizeof(double)), 0);
    } else {
      EXPECT_EQ(field.integer, c.integer);
    }
  }
}

TEST(FetchField, ValuesOutlookReceivesPerType) {
  MapRecord record;
  record.Declare("null", FieldType::String);
  record.Declare("empty", FieldType::String).text = u"";
  record.Declare("nul", FieldType::String).text = std::u16string(u"xy\0z", 4);
  record.Declare("big", FieldType::Long).integer = (int64_t{1} << 32) + 5;
  record.Declare("minus", FieldType::Long).integer = -1;
  record.Declare("int", FieldType::Int).integer = -3;
  record.Declare("one", FieldType::Boolean).boolean = 1;
  record.Declare("two", FieldType::Boolean).boolean = 2;  // a byte that is neither false nor true
  record.Declare("date", FieldType::Double).number = 0.0;

  EXPECT_EQ(FetchField(record, "null", FieldType::String).text, u"");
  EXPECT_EQ(FetchField(record, "null", FieldType::String).kind, ValueKind::Text);
  EXPECT_EQ(FetchField(record, "empty", FieldType::String).text, u"");
  EXPECT_EQ(FetchField(record, "nul", FieldType::String).text, u"xy");
  EXPECT_EQ(FetchField(record, "big", FieldType::Long).number, 5);
  EXPECT_EQ(FetchField(record, "minus", FieldType::Long).number, -1);
  EXPECT_EQ(FetchField(record, "int", FieldType::Int).number, -3);
  EXPECT_EQ(FetchField(record, "one", FieldType::Boolean).flag, -1);
  EXPECT_EQ(FetchField(record, "two", FieldType::Boolean).flag, 0);
  EXPECT_EQ(FetchField(record, "date", FieldType::Double).kind, ValueKind::Date);
  EXPECT_EQ(FetchField(record, "date", FieldType::Double).date, 0.0);
}

TEST(FieldAccess, ARecordWithoutTheFieldSkipsStoresAndFetchesNeutralValues) {
  MapRecord record;
  record.Declare("other", FieldType::Int).integer = 42;
  for (FieldType type : {FieldType::String, FieldType::Double, FieldType::Long, FieldType::Int, FieldType::Boolean}) {
    const OutlookValue fetched = FetchField(record, "absent", type);
    EXPECT_EQ(fetched.kind, KindOf(type));
    EXPECT_TRUE(fetched.text.empty());
    EXPECT_EQ(fetched.date, 0.0);
    EXPECT_EQ(fetched.number, 0);
    EXPECT_EQ(fetched.flag, 0);
  }
  // A field of the same name but another signature is not the field.
  StoreField(record, "other", FieldType::Long, OutlookValue::Long(7));
  EXPECT_EQ(record.At("other").integer, 42);
  EXPECT_EQ(FetchField(record, "other", FieldType::Long).number, 0);
}

}  // namespace
}  // namespace norvex::outlook
