// Plain row copies and the write order of a mapping table.
#include "record_mapping.h"

#include <algorithm>

#include "session.h"

namespace norvex::outlook {

std::vector<const FieldRow*> InWriteOrder(std::span<const FieldRow> rows) {
  std::vector<const FieldRow*> order;
  for (const FieldRow& row : rows)
    if (row.writeStep != kReadOnly) order.push_back(&row);
  std::sort(order.begin(), order.end(),
            [](const FieldRow* a, const FieldRow* b) { return a->writeStep < b->writeStep; });
  return order;
}

void ReadRow(OutlookStore& store, const OutlookRef& item, RecordFields& record, const FieldRow& row) {
  StoreField(record, row.field, row.type, store.Get(Required(item), row.property, KindOf(row.type)));
}

void WriteRow(OutlookStore& store, RecordFields& record, const OutlookRef& item, const FieldRow& row) {
  store.Put(Required(item), row.property, FetchField(record, row.field, row.type));
}

}  // namespace norvex::outlook
