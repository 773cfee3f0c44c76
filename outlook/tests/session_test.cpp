// The session's lifecycle (who releases the application, and when) and the read-all loop:
// sorting, items of other kinds, the count read once, and every way the list is shortened.
#include "session.h"

#include <gtest/gtest.h>

#include <thread>

#include "contact_mapping.h"
#include "map_record.h"
#include "read_all.h"
#include "session_fixture.h"
#include "text.h"

namespace norvex::outlook {
namespace {

// Contacts c1..cN named so that the sort reverses the folder's order, with distribution
// lists wherever `lists` says.
void Fill(ScriptedStore& store, int contacts, std::initializer_list<int> listsBefore = {}) {
  for (int i = 1; i <= contacts; ++i) {
    for (int before : listsBefore)
      if (before == i) store.AddItem(kFolderContacts, "distlist", Tagged(u"d", i));
    const auto item = store.AddItem(kFolderContacts, "contact", Tagged(u"c", i));
    store.SetProperty(item, u"FullName", OutlookValue::Text(u"Name " + text::FromUtf8(std::string(1, char('Z' - i)))));
    store.SetProperty(item, u"EntryID", OutlookValue::Text(Tagged(u"ID-c", i)));
  }
}

std::vector<std::u16string> ReadNames(OutlookSession& session, MapRecordList* out = nullptr) {
  MapRecordList list(ContactFields());
  const PicturePaths nowhere{u"", u""};
  OutlookStore& store = session.Store();
  ReadAllItems(
      session,
      {kFolderContacts, u"fullName", false, OutlookInterface::ContactItem,
       [&](const OutlookRef& item, RecordFields& record) { return ReadContact(store, item, record, nowhere); }},
      list);
  std::vector<std::u16string> names;
  for (MapRecord& record : list.records) names.push_back(record.At("entryID").text.value_or(u"?"));
  if (out) *out = std::move(list);
  return names;
}

using Ids = std::vector<std::u16string>;

TEST(ReadAllItems, SortedRecordsOfTheKindOnlyWithTheCountReadOnce) {
  OpenSession f;
  Fill(f.store, 3, {1, 3});
  MapRecordList list(ContactFields());
  EXPECT_EQ(ReadNames(f.session, &list), (Ids{u"ID-c3", u"ID-c2", u"ID-c1"}));
  EXPECT_EQ(list.created, 5);  // one record object per item, lists included
  EXPECT_EQ(CallsStarting(f.store, "Get items10.Count").size(), 1u);
  EXPECT_EQ(CallsStarting(f.store, "CallObject items10.GetNext").size(), 5u);
  EXPECT_EQ(CallsStarting(f.store, "Call items10.Sort"), std::vector<std::string>{"(Text:fullName,Flag:0)"});
}

TEST(ReadAllItems, EveryFailureShortensTheList) {
  struct Case {
    const char* what;
    std::u16string tag, member;
    int nth;
    Ids expected;
  } cases[] = {
      {"a reader failing at the third of five", u"c3", u"Account", 0, {u"ID-c5", u"ID-c4"}},
      {"the second move fails: the record before it is not kept", u"", u"GetNext", 2, {u"ID-c5"}},
      {"the first item cannot be had", u"", u"GetFirst", 1, {}},
      {"the count cannot be read", u"", u"Count", 1, {}},
      {"the sort fails", u"", u"Sort", 1, {}},
      {"no namespace", u"", u"GetNamespace", 1, {}},
      {"no default folder", u"", u"GetDefaultFolder", 1, {}},
      {"a record field of the fourth item", u"c2", u"Birthday", 1, {u"ID-c5", u"ID-c4", u"ID-c3"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    OpenSession f;
    Fill(f.store, 5);
    f.store.Fail(c.tag, c.member, c.nth, kOutOfMemory);
    EXPECT_EQ(ReadNames(f.session), c.expected);
  }
}

TEST(ReadAllItems, WithoutAnApplicationTheListIsEmpty) {
  {
    ScriptedStore store;
    Fill(store, 2);
    OutlookSession never(store);  // never opened
    EXPECT_TRUE(ReadNames(never).empty());
    EXPECT_EQ(store.CallCount(), 0u);  // nothing reached Outlook
  }
  ScriptedStore store;
  Fill(store, 2);
  store.Fail(u"", u"CreateApplication", 1, kOutOfMemory);
  OutlookSession session(store);
  session.Open();
  EXPECT_TRUE(ReadNames(session).empty());
  EXPECT_TRUE(CallsStarting(store, "CallObject").empty());
  // An empty folder is an empty list too.
  OpenSession empty;
  EXPECT_TRUE(ReadNames(empty.session).empty());
}

TEST(ReadAllItems, ACloseOnAnotherThreadEndsTheReadBeforeTheNextItem) {
  OpenSession f;
  Fill(f.store, 6);
  f.store.HoldAt(u"GetNext", 3);  // while the third record is being completed
  Ids names;
  std::thread reader([&] { names = ReadNames(f.session); });
  f.store.WaitUntilHeld();
  std::thread closer([&] { f.session.Close(); });
  closer.join();
  f.store.Resume();
  reader.join();
  EXPECT_EQ(names, (Ids{u"ID-c6", u"ID-c5", u"ID-c4"}));
  EXPECT_EQ(CallsStarting(f.store, "CallObject items10.GetNext").size(), 3u);
  // The closing thread never opened: it neither released the application nor left COM.
  EXPECT_EQ(f.store.ReleasedApplications(), 0);
  EXPECT_TRUE(CallsStarting(f.store, "LeaveApartment").empty());
  // A new open clears the flag.
  f.session.Open();
  EXPECT_EQ(ReadNames(f.session).size(), 6u);
}

TEST(OutlookSession, OpenTwiceReleasesTheFirstApplication) {
  ScriptedStore store;
  OutlookSession session(store);
  session.Open();
  session.Open();
  EXPECT_EQ(store.ReleasedApplications(), 1);
  EXPECT_EQ(store.LiveApplications(), 1);
  EXPECT_EQ(CallsStarting(store, "EnterApartment").size(), 2u);
  session.Close();
  session.Close();
  EXPECT_EQ(CallsStarting(store, "LeaveApartment").size(), 2u);
  EXPECT_EQ(store.LiveApplications(), 0);
  EXPECT_EQ(store.AbandonedObjects(), 0);
}

// Opens on this thread, starts a read on another, closes here while the read is held at its
// first move, runs `meanwhile`, and lets the read finish.
template <typename Meanwhile>
void CloseDuringRead(ScriptedStore& store, OutlookSession& session, Meanwhile meanwhile) {
  Fill(store, 3);
  session.Open();
  store.HoldAt(u"GetNext", 1);
  std::thread reader([&] { ReadNames(session); });
  store.WaitUntilHeld();
  session.Close();
  meanwhile();
  store.Resume();
  reader.join();
}

TEST(OutlookSession, WhoReleasesTheApplication) {
  {
    // Closed on the opening thread with nothing running: released before COM is left.
    ScriptedStore store;
    OutlookSession session(store);
    session.Open();
    session.Close();
    EXPECT_EQ(store.ReleasedApplications(), 1);
    const std::vector<std::string> calls = store.Calls();
    ASSERT_GE(calls.size(), 2u);
    EXPECT_EQ(calls[calls.size() - 2], "Release application");
    EXPECT_EQ(calls.back(), "LeaveApartment");
  }
  {
    // Closed on the opening thread during a read, reopened elsewhere before the read ends:
    // the read is the last holder of a reference whose apartment is gone, and drops it
    // without a call.
    ScriptedStore store;
    OutlookSession session(store);
    CloseDuringRead(store, session, [&] {
      EXPECT_EQ(store.LiveApplications(), 1);
      std::thread([&] { session.Open(); }).join();
      EXPECT_EQ(store.AbandonedObjects(), 0);  // still in use by the read
    });
    EXPECT_EQ(store.ReleasedApplications(), 0);
    EXPECT_EQ(store.AbandonedObjects(), 1);
    EXPECT_EQ(store.LiveApplications(), 1);  // the new one
  }
  {
    // Closed on another thread: still held, released by the unload while its apartment lives.
    ScriptedStore store;
    {
      OutlookSession session(store);
      session.Open();
      std::thread([&] { session.Close(); }).join();
      EXPECT_EQ(store.LiveApplications(), 1);
      EXPECT_TRUE(session.StopRequested());
    }
    EXPECT_EQ(store.ReleasedApplications(), 1);
    EXPECT_EQ(store.AbandonedObjects(), 0);
  }
  {
    // The same close during a read, then the unload: the session is the last holder, and
    // drops it without a call.
    ScriptedStore store;
    {
      OutlookSession session(store);
      CloseDuringRead(store, session, [] {});
    }
    EXPECT_EQ(store.LiveApplications(), 0);
    EXPECT_EQ(store.ReleasedApplications(), 0);
    EXPECT_EQ(store.AbandonedObjects(), 1);
  }
}

}  // namespace
}  // namespace norvex::outlook
