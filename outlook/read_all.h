// Reading a whole default folder into a host list: one record per item of the wanted kind,
// in the sorted order, up to the first failure, a close, or the end of the folder's count.
#pragma once

#include <functional>
#include <memory>
#include <string_view>

#include "record_fields.h"
#include "session.h"

namespace norvex::outlook {

// A host record being built; releasing it lets go of the host's handle on it.
class HostRecord : public RecordFields {};

// The host list a read fills.
class RecordList {
 public:
  virtual ~RecordList() = default;
  virtual std::unique_ptr<HostRecord> NewRecord() = 0;
  virtual void Append(HostRecord& record) = 0;
};

// Fills one record from one item; false after any failure.
using RecordReader = std::function<bool(const OutlookRef& item, RecordFields& record)>;

struct ReadAllParams {
  int32_t folderKind;
  std::u16string_view sortProperty;
  bool descending;
  OutlookInterface itemInterface;
  RecordReader reader;
};

// Never throws an Outlook failure: every failure shortens the list.
void ReadAllItems(OutlookSession& session, const ReadAllParams& params, RecordList& list);

}  // namespace norvex::outlook
