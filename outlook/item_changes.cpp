// Inserting an item and the search that deletes one by its entry identifier.
#include "item_changes.h"

#include "appointment_mapping.h"
#include "contact_mapping.h"
#include "text.h"

namespace norvex::outlook {

namespace {

struct RemoveParams {
  int32_t folderKind;
  OutlookInterface itemInterface;
  std::string_view errorText;
};

std::optional<RemoveParams> RemoveKind(int32_t kind) {
  if (kind == 1) return RemoveParams{kFolderContacts, OutlookInterface::ContactItem, "Contact Delete Error!"};
  if (kind == 2) return RemoveParams{kFolderCalendar, OutlookInterface::AppointmentItem, "Calendar Item Delete Error!"};
  return std::nullopt;
}

}  // namespace

InsertParams ContactInsert(OutlookStore& store, const PicturePaths& pictures) {
  return {kFolderContacts, OutlookInterface::ContactItem,
          [&store, pictures](RecordFields& record, const OutlookRef& item) {
            return WriteContact(store, record, item, pictures);
          },
          "Contact Insert Error!"};
}

InsertParams AppointmentInsert(OutlookStore& store) {
  return {kFolderCalendar, OutlookInterface::AppointmentItem,
          [&store](RecordFields& record, const OutlookRef& item) { return WriteAppointment(store, record, item); },
          "Appointment Insert Error!"};
}

ChangeResult InsertItem(OutlookSession& session, const InsertParams& params, RecordFields& record) {
  OutlookStore& store = session.Store();
  const OutlookSession::Operation operation = session.Begin();
  try {
    const OutlookRef items = operation.OpenDefaultItems(params.folderKind);
    const OutlookRef item = store.Convert(
        store.CallObject(Required(items), u"Add", {OutlookValue::MissingArgument()}, OutlookInterface::Item),
        params.itemInterface);
    if (!params.writer(record, item)) return {false, params.errorText};
    store.Call(Required(item), u"Save", {});
    return {true, {}};
  } catch (const OutlookCallError&) {
    return {false, params.errorText};
  }
}

ChangeResult FindAndDeleteItem(OutlookSession& session, int32_t kind, const std::optional<std::u16string>& entryId) {
  const std::optional<RemoveParams> params = RemoveKind(kind);
  if (!params || !entryId) return {};
  // Both identifiers are compared as the system's 8-bit text, whole, byte for byte.
  const std::string wanted = text::ToAnsi(*entryId);
  // No stored item has an empty identifier; an item that reports one must not be taken for it.
  if (wanted.empty()) return {};
  OutlookStore& store = session.Store();
  const OutlookSession::Operation operation = session.Begin();
  OutlookRef current;
  try {
    // The folder's own order: the search does not sort.
    const OutlookRef items = operation.OpenDefaultItems(params->folderKind);
    current = store.Convert(store.CallObject(Required(items), u"GetFirst", {}, OutlookInterface::Item),
                            params->itemInterface);
    const int32_t count = store.Get(items, u"Count", ValueKind::Long).number;
    bool found = false;
    for (int32_t i = 0; i < count && !session.StopRequested() && !found; ++i) {
      found = current && text::ToAnsi(store.Get(current, u"EntryID", ValueKind::Text).text) == wanted;
      if (!found)
        current = store.Convert(store.CallObject(items, u"GetNext", {}, OutlookInterface::Item), params->itemInterface);
    }
    if (!found) return {};
  } catch (const OutlookCallError&) {
    return {};
  }
  try {
    store.Call(current, u"Delete", {});
    return {true, {}};
  } catch (const OutlookCallError&) {
    return {false, params->errorText};
  }
}

}  // namespace norvex::outlook
