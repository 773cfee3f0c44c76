// How one value travels between an Outlook property and a host record field of each of the
// five field types: what is stored, what is left alone, and what reaches Outlook on a write.
#pragma once

#include "outlook_store.h"
#include "record_fields.h"

namespace norvex::outlook {

// The value kind an Outlook property of a field of this type is read as.
ValueKind KindOf(FieldType type);

// Outlook to host. An empty text leaves the field as the record's constructor made it.
void StoreField(RecordFields& record, const char* name, FieldType type, const OutlookValue& value);

// Host to Outlook. Every field yields a value, so a write clears what the host left empty.
OutlookValue FetchField(RecordFields& record, const char* name, FieldType type);

}  // namespace norvex::outlook
