// The shape shared by the contact and appointment mappings: a table of host fields with the
// Outlook property behind each and its place in the write order, and the plain copy of one
// row in either direction.
#pragma once

#include <span>
#include <string_view>
#include <vector>

#include "field_access.h"
#include "outlook_store.h"

namespace norvex::outlook {

inline constexpr int kReadOnly = 0;  // a write step for fields that are only read

struct FieldRow {
  const char* field;
  FieldType type;
  std::u16string_view property;
  int writeStep;
};

// The writable rows ordered by write step.
std::vector<const FieldRow*> InWriteOrder(std::span<const FieldRow> rows);

void ReadRow(OutlookStore& store, const OutlookRef& item, RecordFields& record, const FieldRow& row);
void WriteRow(OutlookStore& store, RecordFields& record, const OutlookRef& item, const FieldRow& row);

}  // namespace norvex::outlook
