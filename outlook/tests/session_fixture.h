// What most Outlook tests start from: a scripted store with an open session over it, and a
// way to pick calls of one sort out of the store's record.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "scripted_store.h"
#include "session.h"

namespace norvex::outlook {

struct OpenSession {
  ScriptedStore store;
  OutlookSession session{store};
  OpenSession() { session.Open(); }
  ~OpenSession() { session.Close(); }
};

// A default folder's items reached the way the bridge reaches them, from a new application.
inline OutlookRef FolderItems(OutlookStore& store, int32_t folderKind) {
  const OutlookRef nameSpace = store.CallObject(store.CreateApplication(), u"GetNamespace",
                                                {OutlookValue::Text(u"MAPI")}, OutlookInterface::NameSpace);
  const OutlookRef folder =
      store.CallObject(nameSpace, u"GetDefaultFolder", {OutlookValue::Long(folderKind)}, OutlookInterface::Folder);
  return store.GetObject(folder, u"Items", OutlookInterface::Items);
}

// A new, unsaved item of the folder's kind, as an insert makes it.
inline OutlookRef NewItem(OutlookStore& store, int32_t folderKind, OutlookInterface as) {
  return store.Convert(store.CallObject(FolderItems(store, folderKind), u"Add", {OutlookValue::MissingArgument()},
                                        OutlookInterface::Item),
                       as);
}

// A stored item as the folder hands it out, found by its entry identifier.
inline OutlookRef StoredItem(ScriptedStore& store, int32_t folderKind, const ScriptedStore::ItemPtr& item,
                             OutlookInterface as) {
  const OutlookRef items = FolderItems(store, folderKind);
  const std::u16string id = store.Property(item, u"EntryID").text;
  OutlookRef current = store.CallObject(items, u"GetFirst", {}, OutlookInterface::Item);
  while (current && store.Get(current, u"EntryID", ValueKind::Text).text != id)
    current = store.CallObject(items, u"GetNext", {}, OutlookInterface::Item);
  return store.Convert(current, as);
}

// The recorded calls that start with `prefix` (e.g. "Put new1."), the prefix cut off.
inline std::vector<std::string> CallsStarting(const ScriptedStore& store, std::string_view prefix) {
  std::vector<std::string> found;
  for (const std::string& call : store.Calls())
    if (call.starts_with(prefix)) found.push_back(call.substr(prefix.size()));
  return found;
}

}  // namespace norvex::outlook
