// Inserting contacts and appointments and removing items by entry identifier, over the
// scripted store: results, the fixed texts, saves, and what the search steps over.
#include "item_changes.h"

#include <gtest/gtest.h>

#include <thread>

#include "appointment_mapping.h"
#include "contact_mapping.h"
#include "map_record.h"
#include "session_fixture.h"
#include "text.h"

namespace norvex::outlook {
namespace {

using Tags = std::vector<std::u16string>;

ScriptedStore::ItemPtr Add(ScriptedStore& store, int32_t folder, const std::string& kind, const std::u16string& tag,
                           const std::u16string& id) {
  const auto item = store.AddItem(folder, kind, tag);
  store.SetProperty(item, u"EntryID", OutlookValue::Text(id));
  return item;
}

TEST(FindAndDeleteItem, KindsIdentifiersAndWhatTheSearchStepsOver) {
  struct Case {
    const char* what;
    int32_t kind;
    std::optional<std::u16string> id;
    bool deleted;
    Tags contactsLeft, calendarLeft;
    bool touchesOutlook;
  } cases[] = {
      {"a contact after a distribution list", 1, u"ID-c1", true, {u"d1", u"c2", u"c1b"}, {u"a1"}, true},
      {"an appointment", 2, u"ID-a1", true, {u"d1", u"c1", u"c2", u"c1b"}, {}, true},
      {"a contact's identifier among the appointments",
       2,
       u"ID-c1",
       false,
       {u"d1", u"c1", u"c2", u"c1b"},
       {u"a1"},
       true},
      {"a distribution list is never taken for a contact",
       1,
       u"ID-d1",
       false,
       {u"d1", u"c1", u"c2", u"c1b"},
       {u"a1"},
       true},
      {"another case is another identifier", 1, u"id-c1", false, {u"d1", u"c1", u"c2", u"c1b"}, {u"a1"}, true},
      {"kind 3", 3, u"ID-c1", false, {u"d1", u"c1", u"c2", u"c1b"}, {u"a1"}, false},
      {"kind 0", 0, u"ID-c1", false, {u"d1", u"c1", u"c2", u"c1b"}, {u"a1"}, false},
      {"an empty identifier", 1, u"", false, {u"d1", u"c1", u"c2", u"c1b"}, {u"a1"}, false},
      {"no identifier", 1, std::nullopt, false, {u"d1", u"c1", u"c2", u"c1b"}, {u"a1"}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    OpenSession f;
    Add(f.store, kFolderContacts, "distlist", u"d1", u"ID-d1");
    Add(f.store, kFolderContacts, "contact", u"c1", u"ID-c1");
    Add(f.store, kFolderContacts, "contact", u"c2", u"");        // an item that reports no identifier
    Add(f.store, kFolderContacts, "contact", u"c1b", u"ID-c1");  // only the first match goes
    Add(f.store, kFolderCalendar, "appointment", u"a1", u"ID-a1");
    f.store.ClearCalls();
    const ChangeResult result = FindAndDeleteItem(f.session, c.kind, c.id);
    EXPECT_EQ(result.done, c.deleted);
    EXPECT_TRUE(result.errorText.empty());
    EXPECT_EQ(f.store.FolderTags(kFolderContacts), c.contactsLeft);
    EXPECT_EQ(f.store.FolderTags(kFolderCalendar), c.calendarLeft);
    EXPECT_EQ(f.store.CallCount() > 0, c.touchesOutlook);
    EXPECT_TRUE(CallsStarting(f.store, "Call items10.Sort").empty());  // the folder's own order
  }
}

TEST(FindAndDeleteItem, FailuresAndTheirTexts) {
  struct Case {
    const char* what;
    int32_t kind;
    std::u16string member;
    std::string_view text;
  } cases[] = {
      {"a contact's Delete fails", 1, u"Delete", "Contact Delete Error!"},
      {"an appointment's Delete fails", 2, u"Delete", "Calendar Item Delete Error!"},
      {"an identifier cannot be read", 1, u"EntryID", ""},
      {"the next item cannot be had", 2, u"GetNext", ""},
      {"no items", 1, u"Items", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    OpenSession f;
    Add(f.store, kFolderContacts, "contact", u"c0", u"ID-c0");
    Add(f.store, kFolderContacts, "contact", u"c1", u"ID-x");
    Add(f.store, kFolderCalendar, "appointment", u"a0", u"ID-a0");
    Add(f.store, kFolderCalendar, "appointment", u"a1", u"ID-x");
    f.store.Fail(u"", c.member, 1, kOutOfMemory);
    const ChangeResult result = FindAndDeleteItem(f.session, c.kind, u"ID-x");
    EXPECT_FALSE(result.done);
    EXPECT_EQ(result.errorText, c.text);
    EXPECT_EQ(f.store.FolderTags(c.kind == 1 ? kFolderContacts : kFolderCalendar).size(), 2u);
  }
  ScriptedStore store;
  OutlookSession never(store);
  EXPECT_FALSE(FindAndDeleteItem(never, 1, u"ID-x").done);
}

TEST(FindAndDeleteItem, IdentifiersMeetAsTheSystemsEightBitText) {
  text::SetAnsiCodeSetForTesting("GBK");
  OpenSession f;
  Add(f.store, kFolderContacts, "contact", u"c1", u"ID-\u4e2d\u6587");
  EXPECT_FALSE(FindAndDeleteItem(f.session, 1, u"ID-\u4e2d").done);
  EXPECT_TRUE(FindAndDeleteItem(f.session, 1, u"ID-\u4e2d\u6587").done);
  text::SetAnsiCodeSetForTesting("");
}

TEST(FindAndDeleteItem, ACloseEndsTheSearchBeforeTheNextItem) {
  OpenSession f;
  for (int i = 0; i < 5; ++i) Add(f.store, kFolderContacts, "contact", Tagged(u"c", i), u"ID");
  Add(f.store, kFolderContacts, "contact", u"last", u"ID-last");
  f.store.HoldAt(u"GetNext", 2);
  ChangeResult result{true, "unset"};
  std::thread search([&] { result = FindAndDeleteItem(f.session, 1, u"ID-last"); });
  f.store.WaitUntilHeld();
  std::thread([&] { f.session.Close(); }).join();
  f.store.Resume();
  search.join();
  EXPECT_FALSE(result.done);
  EXPECT_TRUE(result.errorText.empty());
  EXPECT_EQ(CallsStarting(f.store, "Get ").size(), 3u);  // the count and two identifiers
  EXPECT_EQ(f.store.FolderTags(kFolderContacts).size(), 6u);
}

TEST(InsertItem, ContactsAndTheirFailures) {
  struct Case {
    const char* what;
    std::u16string tag, member;
    bool inserted;
  } cases[] = {
      {"inserted and saved once", u"", u"", true},
      {"the item cannot be added", u"", u"Add", false},
      {"a field cannot be written", u"", u"JobTitle", false},
      {"the save fails", u"", u"Save", false},
      {"no namespace", u"", u"GetNamespace", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    OpenSession f;
    if (!c.member.empty()) f.store.Fail(c.tag, c.member, 1, kOutOfMemory);
    MapRecord record(ContactFields());
    record.At("fullName").text = u"Ann Lee";
    record.At("entryID").text = u"ignored";
    const ChangeResult result = InsertItem(f.session, ContactInsert(f.store, {u"", u""}), record);
    EXPECT_EQ(result.done, c.inserted);
    EXPECT_EQ(result.errorText, c.inserted ? "" : "Contact Insert Error!");
    const Tags stored = f.store.FolderTags(kFolderContacts);
    ASSERT_EQ(stored.size(), c.inserted ? 1u : 0u);
    if (!c.inserted) continue;
    const auto item = f.store.Find(stored[0]);
    EXPECT_EQ(f.store.Saves(item), 1);
    EXPECT_EQ(f.store.Property(item, u"FullName").text, u"Ann Lee");
    EXPECT_EQ(f.store.Property(item, u"EntryID").text, u"ID-" + stored[0]);  // Outlook's, not the host's
    EXPECT_EQ(CallsStarting(f.store, "CallObject items10.Add"), std::vector<std::string>{"(Missing)"});
  }
  ScriptedStore store;
  OutlookSession never(store);
  MapRecord record(ContactFields());
  EXPECT_EQ(InsertItem(never, ContactInsert(store, {u"", u""}), record).errorText, "Contact Insert Error!");
}

TEST(InsertItem, AppointmentsAreSavedOnceMoreWhenRecurring) {
  struct Case {
    const char* what;
    uint8_t recurring;
    int failSaveAt;  // 0: no failure
    bool inserted;
    int saves;
  } cases[] = {
      {"one save for a single appointment", 0, 0, true, 1},
      {"two saves for a series", 1, 0, true, 2},
      {"a series stored by its first save, though the final save fails", 1, 2, false, 1},
      {"a series whose pattern save fails is not stored", 1, 1, false, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    OpenSession f;
    if (c.failSaveAt) f.store.Fail(u"", u"Save", c.failSaveAt, kOutOfMemory);
    MapRecord record(AppointmentFields());
    for (const FieldRow& row : RecurrenceFields()) record.Declare(row.field, row.type);
    record.At("isRecurring").boolean = c.recurring;
    record.At("rRecurrenceType").integer = 1;
    const ChangeResult result = InsertItem(f.session, AppointmentInsert(f.store), record);
    EXPECT_EQ(result.done, c.inserted);
    EXPECT_EQ(result.errorText, c.inserted ? "" : "Appointment Insert Error!");
    const Tags stored = f.store.FolderTags(kFolderCalendar);
    EXPECT_EQ(stored.size(), c.saves > 0 ? 1u : 0u);
    if (!stored.empty()) {
      EXPECT_EQ(f.store.Saves(f.store.Find(stored[0])), c.saves);
    }
  }
}

TEST(InsertItem, IgnoresTheStopFlag) {
  OpenSession f;
  std::thread([&] { f.session.Close(); }).join();  // raises the flag, keeps the application
  ASSERT_TRUE(f.session.StopRequested());
  MapRecord record(ContactFields());
  EXPECT_TRUE(InsertItem(f.session, ContactInsert(f.store, {u"", u""}), record).done);
}

}  // namespace
}  // namespace norvex::outlook
