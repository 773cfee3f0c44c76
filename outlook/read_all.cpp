// The read-all loop over a default folder.
#include "read_all.h"

namespace norvex::outlook {

void ReadAllItems(OutlookSession& session, const ReadAllParams& params, RecordList& list) {
  OutlookStore& store = session.Store();
  const OutlookSession::Operation operation = session.Begin();
  OutlookRef items, current;
  int32_t count = 0;
  try {
    items = operation.OpenDefaultItems(params.folderKind);
    store.Call(Required(items), u"Sort",
               {OutlookValue::Text(std::u16string(params.sortProperty)),
                OutlookValue::Flag(params.descending ? kFlagTrue : int16_t{0})});
    current = store.Convert(store.CallObject(items, u"GetFirst", {}, OutlookInterface::Item), params.itemInterface);
    count = store.Get(items, u"Count", ValueKind::Long).number;
  } catch (const OutlookCallError&) {
    return;
  }
  // The count is read once: every item of the folder takes one turn, those of another kind
  // without a record.
  for (int32_t i = 0; i < count && !session.StopRequested(); ++i) {
    const std::unique_ptr<HostRecord> record = list.NewRecord();
    const bool ofKind = current != nullptr;
    if (ofKind && !params.reader(current, *record)) break;
    try {
      current = store.Convert(store.CallObject(items, u"GetNext", {}, OutlookInterface::Item), params.itemInterface);
    } catch (const OutlookCallError&) {
      break;  // a record read just before a failed move is not kept
    }
    if (ofKind) list.Append(*record);
  }
}

}  // namespace norvex::outlook
