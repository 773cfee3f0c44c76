// The appointment table, the recurrence table and the travel rules by recurrence type.
#include "appointment_mapping.h"

#include <array>
#include <string_view>

#include "session.h"

namespace norvex::outlook {

namespace {

// Read order; the last number is the write step. "isRecurring" is not written as such: it
// selects the recurrence step, the last one of a write.
constexpr std::array<FieldRow, 27> kAppointmentFields{{
    {"allDayEvent", FieldType::Boolean, u"AllDayEvent", 1},
    {"billingInformation", FieldType::String, u"BillingInformation", 2},
    {"body", FieldType::String, u"Body", 3},
    {"categories", FieldType::String, u"Categories", 4},
    {"companies", FieldType::String, u"Companies", 5},
    {"conversationTopic", FieldType::String, u"ConversationTopic", kReadOnly},
    {"creationTime", FieldType::Double, u"CreationTime", kReadOnly},
    {"duration", FieldType::Long, u"Duration", kReadOnly},
    {"end", FieldType::Double, u"End", 7},
    {"entryID", FieldType::String, u"EntryID", kReadOnly},
    {"importance", FieldType::Int, u"Importance", 8},
    {"isRecurring", FieldType::Boolean, u"IsRecurring", kReadOnly},
    {"lastModificationTime", FieldType::Double, u"LastModificationTime", kReadOnly},
    {"location", FieldType::String, u"Location", 9},
    {"mileage", FieldType::String, u"Mileage", 10},
    {"optionalAttendees", FieldType::String, u"OptionalAttendees", 11},
    {"organizer", FieldType::String, u"Organizer", kReadOnly},
    {"reminderMinutesBeforeStart", FieldType::Long, u"ReminderMinutesBeforeStart", 12},
    {"reminderSet", FieldType::Boolean, u"ReminderSet", 13},
    {"replyTime", FieldType::Double, u"ReplyTime", 14},
    {"requiredAttendees", FieldType::String, u"RequiredAttendees", 15},
    {"resources", FieldType::String, u"Resources", 16},
    {"responseRequested", FieldType::Boolean, u"ResponseRequested", 17},
    {"sensitivity", FieldType::Int, u"Sensitivity", 18},
    {"start", FieldType::Double, u"Start", 6},
    {"subject", FieldType::String, u"Subject", 19},
    {"unRead", FieldType::Boolean, u"UnRead", 20},
}};

constexpr std::string_view kRecurringField = "isRecurring";

// The pattern's fields, each under the pattern property of the same name without the "r".
constexpr std::array<FieldRow, 13> kRecurrenceFields{{
    {"rRecurrenceType", FieldType::Int, u"RecurrenceType", kReadOnly},
    {"rDayOfWeekMask", FieldType::Int, u"DayOfWeekMask", kReadOnly},
    {"rDayOfMonth", FieldType::Long, u"DayOfMonth", kReadOnly},
    {"rInstance", FieldType::Long, u"Instance", kReadOnly},
    {"rMonthOfYear", FieldType::Long, u"MonthOfYear", kReadOnly},
    {"rDuration", FieldType::Long, u"Duration", kReadOnly},
    {"rEndTime", FieldType::Double, u"EndTime", kReadOnly},
    {"rInterval", FieldType::Long, u"Interval", kReadOnly},
    {"rNoEndDate", FieldType::Boolean, u"NoEndDate", kReadOnly},
    {"rOccurrences", FieldType::Long, u"Occurrences", kReadOnly},
    {"rPatternStartDate", FieldType::Double, u"PatternStartDate", kReadOnly},
    {"rPatternEndDate", FieldType::Double, u"PatternEndDate", kReadOnly},
    {"rStartTime", FieldType::Double, u"StartTime", kReadOnly},
}};
const FieldRow& kRecurrenceType = kRecurrenceFields[0];
const FieldRow& kDayOfWeekMask = kRecurrenceFields[1];
const FieldRow& kDayOfMonth = kRecurrenceFields[2];
const FieldRow& kInstance = kRecurrenceFields[3];
const FieldRow& kMonthOfYear = kRecurrenceFields[4];
const FieldRow& kDuration = kRecurrenceFields[5];
const FieldRow& kEndTime = kRecurrenceFields[6];
const FieldRow& kInterval = kRecurrenceFields[7];
const FieldRow& kNoEndDate = kRecurrenceFields[8];
const FieldRow& kOccurrences = kRecurrenceFields[9];
const FieldRow& kPatternStartDate = kRecurrenceFields[10];
const FieldRow& kPatternEndDate = kRecurrenceFields[11];
const FieldRow& kStartTime = kRecurrenceFields[12];

// The type-specific fields: read in this order, and written in this order after the type.
// The month of a year-nth series (6) travels in neither direction.
std::vector<const FieldRow*> TypeFields(int32_t type, bool writing) {
  switch (type) {
    case 1:
      return {&kDayOfWeekMask};
    case 2:
      return {&kDayOfMonth};
    case 3:
    case 6:
      return {&kDayOfWeekMask, &kInstance};
    case 5:
      if (writing) return {&kMonthOfYear, &kDayOfMonth};
      return {&kDayOfMonth, &kMonthOfYear};
    default:
      return {};
  }
}

// A type that Outlook does not define (4 among them) puts no type at all.
bool IsWrittenType(int32_t type) { return type >= 0 && type <= 6 && type != 4; }

void ReadRecurrence(OutlookStore& store, const OutlookRef& item, RecordFields& record) {
  if (store.Get(item, u"IsRecurring", ValueKind::Flag).flag == 0) return;
  const OutlookRef pattern = store.CallObject(item, u"GetRecurrencePattern", {}, OutlookInterface::RecurrencePattern);
  if (!pattern) return;
  const int32_t type = store.Get(pattern, u"RecurrenceType", ValueKind::Long).number;
  for (const FieldRow* row : TypeFields(type, false)) ReadRow(store, pattern, record, *row);
  for (const FieldRow* row : {&kRecurrenceType, &kDuration, &kEndTime, &kInterval, &kNoEndDate, &kOccurrences,
                              &kPatternStartDate, &kPatternEndDate, &kStartTime})
    ReadRow(store, pattern, record, *row);
}

void WriteRecurrence(OutlookStore& store, RecordFields& record, const OutlookRef& item) {
  if (FetchField(record, kRecurringField.data(), FieldType::Boolean).flag != kFlagTrue) return;
  const OutlookRef pattern =
      Required(store.CallObject(item, u"GetRecurrencePattern", {}, OutlookInterface::RecurrencePattern));
  for (const FieldRow* row : {&kPatternStartDate, &kDuration, &kStartTime, &kEndTime, &kInterval})
    WriteRow(store, record, pattern, *row);
  if (FetchField(record, kNoEndDate.field, kNoEndDate.type).flag != kFlagTrue) {
    WriteRow(store, record, pattern, kOccurrences);
    WriteRow(store, record, pattern, kPatternEndDate);
  }
  const int32_t type = FetchField(record, kRecurrenceType.field, kRecurrenceType.type).number;
  if (IsWrittenType(type)) {
    store.Put(pattern, kRecurrenceType.property, OutlookValue::Long(type));
    for (const FieldRow* row : TypeFields(type, true)) WriteRow(store, record, pattern, *row);
  }
  store.Call(item, u"Save", {});
}

}  // namespace

std::span<const FieldRow> AppointmentFields() { return kAppointmentFields; }

std::span<const FieldRow> RecurrenceFields() { return kRecurrenceFields; }

bool ReadAppointment(OutlookStore& store, const OutlookRef& item, RecordFields& record) {
  try {
    Required(item);
    for (const FieldRow& row : kAppointmentFields) {
      ReadRow(store, item, record, row);
      if (row.field == kRecurringField) ReadRecurrence(store, item, record);
    }
    return true;
  } catch (...) {
    return false;
  }
}

bool WriteAppointment(OutlookStore& store, RecordFields& record, const OutlookRef& item) {
  static const std::vector<const FieldRow*> writeOrder = InWriteOrder(kAppointmentFields);
  try {
    Required(item);
    for (const FieldRow* row : writeOrder) WriteRow(store, record, item, *row);
    WriteRecurrence(store, record, item);
    return true;
  } catch (...) {
    return false;
  }
}

}  // namespace norvex::outlook
