// Adding one contact or appointment built from a host record, and deleting one item named
// by its entry identifier. Each answers a result for the host and, where the host must be
// told of a failure, the fixed text of the exception to leave pending.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "record_fields.h"
#include "session.h"

namespace norvex::outlook {

struct PicturePaths;

struct ChangeResult {
  bool done = false;
  std::string_view errorText;  // empty: nothing to raise in the host
};

// Writes one record into a new, unsaved item; false after any failure.
using RecordWriter = std::function<bool(RecordFields& record, const OutlookRef& item)>;

struct InsertParams {
  int32_t folderKind;
  OutlookInterface itemInterface;
  RecordWriter writer;
  std::string_view errorText;
};

ChangeResult InsertItem(OutlookSession& session, const InsertParams& params, RecordFields& record);

// Kind 1 is a contact, kind 2 a calendar item; a null identifier (nullopt) or any other kind
// answers false without a call to Outlook.
ChangeResult FindAndDeleteItem(OutlookSession& session, int32_t kind, const std::optional<std::u16string>& entryId);

InsertParams ContactInsert(OutlookStore& store, const PicturePaths& pictures);
InsertParams AppointmentInsert(OutlookStore& store);

}  // namespace norvex::outlook
