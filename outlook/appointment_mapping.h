// The appointment mapping: the host's OutlookAppointment fields against Outlook's
// appointment properties, and the recurrence pattern, whose fields travel by recurrence type.
#pragma once

#include <span>

#include "record_mapping.h"

namespace norvex::outlook {

// The item fields in read order; the recurrence step follows "isRecurring".
std::span<const FieldRow> AppointmentFields();
// The pattern's fields of the same record.
std::span<const FieldRow> RecurrenceFields();

// Each returns false after any failure. The writer saves a recurring item itself, once its
// pattern is complete.
bool ReadAppointment(OutlookStore& store, const OutlookRef& item, RecordFields& record);
bool WriteAppointment(OutlookStore& store, RecordFields& record, const OutlookRef& item);

}  // namespace norvex::outlook
