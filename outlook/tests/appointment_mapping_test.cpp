// The appointment mapping over the scripted store: the item fields in read and write order,
// and which recurrence fields travel for each recurrence type, in both directions.
#include "appointment_mapping.h"

#include <gtest/gtest.h>

#include "map_record.h"
#include "session_fixture.h"
#include "text.h"

namespace norvex::outlook {
namespace {

using Names = std::vector<std::string>;

MapRecord AppointmentRecord() {
  MapRecord record(AppointmentFields());
  for (const FieldRow& row : RecurrenceFields()) record.Declare(row.field, row.type);
  return record;
}

class AppointmentMapping : public ::testing::Test {
 protected:
  ScriptedStore::ItemPtr AddAppointment(const std::u16string& tag) {
    ScriptedStore::ItemPtr item = fixture_.store.AddItem(kFolderCalendar, "appointment", tag);
    fixture_.store.SetProperty(item, u"EntryID", OutlookValue::Text(u"ID-" + tag));
    return item;
  }
  OutlookRef Appointment(const ScriptedStore::ItemPtr& item) {
    return StoredItem(fixture_.store, kFolderCalendar, item, OutlookInterface::AppointmentItem);
  }
  // The properties put on the new item and on its pattern, in order ("pattern." for the latter).
  Names Puts() {
    Names named;
    for (const std::string& call : fixture_.store.Calls()) {
      if (!call.starts_with("Put new")) continue;
      const std::size_t dot = call.find('.');
      const std::string target = call.substr(4, dot - 4);
      const std::string property = call.substr(dot + 1, call.find('=') - dot - 1);
      named.push_back(target.ends_with("/pattern") ? "pattern." + property : property);
    }
    return named;
  }
  OpenSession fixture_;
};

// Each recurrence type with the type-specific fields that travel, in their order.
struct TypeCase {
  int32_t type;
  Names read;   // type-specific fields stored on read
  Names write;  // puts after PatternStartDate..PatternEndDate on write
};
const TypeCase kTypes[] = {
    {0, {}, {"RecurrenceType"}},
    {1, {"rDayOfWeekMask"}, {"RecurrenceType", "DayOfWeekMask"}},
    {2, {"rDayOfMonth"}, {"RecurrenceType", "DayOfMonth"}},
    {3, {"rDayOfWeekMask", "rInstance"}, {"RecurrenceType", "DayOfWeekMask", "Instance"}},
    {4, {}, {}},
    {5, {"rDayOfMonth", "rMonthOfYear"}, {"RecurrenceType", "MonthOfYear", "DayOfMonth"}},
    {6, {"rDayOfWeekMask", "rInstance"}, {"RecurrenceType", "DayOfWeekMask", "Instance"}},
    {7, {}, {}},
    {-1, {}, {}},
};
const Names kTypeSpecific = {"rDayOfWeekMask", "rDayOfMonth", "rInstance", "rMonthOfYear"};

TEST_F(AppointmentMapping, RecurrenceFieldsReadByType) {
  for (const TypeCase& c : kTypes) {
    SCOPED_TRACE(c.type);
    const std::u16string tag = Tagged(u"a", c.type + 10);
    const auto item = AddAppointment(tag);
    fixture_.store.SetProperty(item, u"IsRecurring", OutlookValue::Flag(-1));
    int n = 100;
    for (const FieldRow& row : RecurrenceFields())
      fixture_.store.SetPatternProperty(item, std::u16string(row.property),
                                        row.type == FieldType::Double    ? OutlookValue::Date(++n + 0.5)
                                        : row.type == FieldType::Boolean ? OutlookValue::Flag(-1)
                                                                         : OutlookValue::Long(++n));
    fixture_.store.SetPatternProperty(item, u"RecurrenceType", OutlookValue::Long(c.type));
    MapRecord record = AppointmentRecord();
    ASSERT_TRUE(ReadAppointment(fixture_.store, Appointment(item), record));
    for (const std::string& field : kTypeSpecific) {
      const bool expected = std::find(c.read.begin(), c.read.end(), field) != c.read.end();
      EXPECT_EQ(record.At(field).sets, expected ? 1 : 0) << field;
    }
    EXPECT_EQ(record.At("rRecurrenceType").integer, c.type);
    EXPECT_EQ(record.At("rDayOfMonth").integer, c.type == 2 || c.type == 5 ? 103 : 0);
    EXPECT_EQ(record.At("rOccurrences").integer, 109);
    EXPECT_EQ(record.At("rNoEndDate").boolean, 1);
    EXPECT_EQ(record.At("rStartTime").number, 112.5);
    EXPECT_EQ(record.At("isRecurring").boolean, 1);
  }
}

TEST_F(AppointmentMapping, ReadOrderAndANonRecurringItem) {
  const auto item = AddAppointment(u"once");
  fixture_.store.SetProperty(item, u"IsRecurring", OutlookValue::Flag(0));
  fixture_.store.SetPatternProperty(item, u"RecurrenceType", OutlookValue::Long(1));
  MapRecord record = AppointmentRecord();
  const OutlookRef appointment = Appointment(item);
  fixture_.store.ClearCalls();
  ASSERT_TRUE(ReadAppointment(fixture_.store, appointment, record));
  for (const FieldRow& row : RecurrenceFields()) EXPECT_EQ(record.At(row.field).sets, 0) << row.field;
  Names expected;
  for (const FieldRow& row : AppointmentFields()) {
    expected.push_back(text::ToUtf8(row.property));
    if (row.property == u"IsRecurring") expected.push_back("IsRecurring");
  }
  Names gets;
  for (const std::string& call : CallsStarting(fixture_.store, "Get once.")) gets.push_back(call);
  EXPECT_EQ(gets, expected);
  EXPECT_TRUE(CallsStarting(fixture_.store, "CallObject once.GetRecurrencePattern").empty());

  // A flag that is neither 0 nor -1 still opens the pattern, though the field says false.
  fixture_.store.SetProperty(item, u"IsRecurring", OutlookValue::Flag(1));
  MapRecord second = AppointmentRecord();
  ASSERT_TRUE(ReadAppointment(fixture_.store, Appointment(item), second));
  EXPECT_EQ(second.At("isRecurring").boolean, 0);
  EXPECT_EQ(second.At("rDayOfWeekMask").sets, 1);
}

TEST_F(AppointmentMapping, RecurrenceWrittenByType) {
  for (const bool noEndDate : {false, true}) {
    for (const TypeCase& c : kTypes) {
      SCOPED_TRACE(std::to_string(c.type) + (noEndDate ? " without end" : " with end"));
      MapRecord record = AppointmentRecord();
      record.At("isRecurring").boolean = 1;
      record.At("rNoEndDate").boolean = noEndDate ? 1 : 0;
      record.At("rRecurrenceType").integer = c.type;
      record.At("rDayOfMonth").integer = (int64_t{1} << 32) + 12;
      const OutlookRef item = NewItem(fixture_.store, kFolderCalendar, OutlookInterface::AppointmentItem);
      fixture_.store.ClearCalls();
      ASSERT_TRUE(WriteAppointment(fixture_.store, record, item));
      Names expected;
      for (const FieldRow* row : InWriteOrder(AppointmentFields())) expected.push_back(text::ToUtf8(row->property));
      for (const char* p : {"PatternStartDate", "Duration", "StartTime", "EndTime", "Interval"})
        expected.push_back(std::string("pattern.") + p);
      if (!noEndDate) expected.insert(expected.end(), {"pattern.Occurrences", "pattern.PatternEndDate"});
      for (const std::string& p : c.write) expected.push_back("pattern." + p);
      EXPECT_EQ(Puts(), expected);
      // The writer saves a recurring item once, after the pattern is complete.
      const std::vector<std::string> calls = fixture_.store.Calls();
      ASSERT_FALSE(calls.empty());
      EXPECT_TRUE(calls.back().starts_with("Call new") && calls.back().ends_with(".Save()")) << calls.back();
      if (c.type == 2) {
        const auto day = CallsStarting(
            fixture_.store, "Put " + calls.back().substr(5, calls.back().find('.') - 5) + "/pattern.DayOfMonth");
        EXPECT_EQ(day, Names{"=Long:12"});
      }
    }
  }
}

TEST_F(AppointmentMapping, ANonRecurringWriteTouchesNoPatternAndDoesNotSave) {
  MapRecord record = AppointmentRecord();
  record.At("isRecurring").boolean = 2;  // not 1: not recurring
  record.At("start").number = 45000.5;
  record.At("end").number = 45000.75;
  record.At("duration").integer = 999;
  const OutlookRef item = NewItem(fixture_.store, kFolderCalendar, OutlookInterface::AppointmentItem);
  fixture_.store.ClearCalls();
  ASSERT_TRUE(WriteAppointment(fixture_.store, record, item));
  const Names puts = Puts();
  EXPECT_EQ(puts.size(), 20u);
  const auto at = [&](const char* p) { return std::find(puts.begin(), puts.end(), p) - puts.begin(); };
  EXPECT_LT(at("Start"), at("End"));
  for (const char* readOnly :
       {"Duration", "CreationTime", "LastModificationTime", "Organizer", "ConversationTopic", "EntryID", "IsRecurring"})
    EXPECT_EQ(at(readOnly), static_cast<long>(puts.size())) << readOnly;
  for (const std::string& call : fixture_.store.Calls()) {
    EXPECT_EQ(call.find("GetRecurrencePattern"), std::string::npos);
    EXPECT_EQ(call.find("Save"), std::string::npos);
  }
}

TEST_F(AppointmentMapping, FailuresInThePatternAndTheSave) {
  for (const char* member : {"GetRecurrencePattern", "Interval", "Save"}) {
    SCOPED_TRACE(member);
    MapRecord record = AppointmentRecord();
    record.At("isRecurring").boolean = 1;
    const OutlookRef item = NewItem(fixture_.store, kFolderCalendar, OutlookInterface::AppointmentItem);
    fixture_.store.Fail(u"", text::FromUtf8(member), 1, kOutOfMemory);
    EXPECT_FALSE(WriteAppointment(fixture_.store, record, item));
  }
  const auto item = AddAppointment(u"bad");
  fixture_.store.SetProperty(item, u"IsRecurring", OutlookValue::Flag(-1));
  fixture_.store.Fail(u"bad/pattern", u"EndTime", 0, kOutOfMemory);
  MapRecord record = AppointmentRecord();
  EXPECT_FALSE(ReadAppointment(fixture_.store, Appointment(item), record));
  EXPECT_EQ(record.At("subject").sets, 0);  // nothing after the failure
}

}  // namespace
}  // namespace norvex::outlook
