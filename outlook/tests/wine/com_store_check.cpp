// Runs the IDispatch store against the stand-in Outlook server (registered in the prefix as
// Outlook.Application): writes the server's script, walks the folders through the store as the
// bridge does, and checks the values, the failures and the server's call log.
//   com_store_check SCRIPT LOG   (the files the server's environment names)
#include "win/windows_api.h"
// <windows.h> renames GetObject to GDI's GetObjectW; the store's member keeps its own name.
#undef GetObject

#include <objbase.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "com_store.h"
#include "text.h"

using namespace norvex;
using namespace norvex::outlook;
using V = OutlookValue;

namespace {

int g_passed = 0, g_failed = 0;

void Expect(bool ok, const std::string& what) {
  ok ? ++g_passed : ++g_failed;
  std::printf("%s %s\n", ok ? "ok  " : "FAIL", what.c_str());
}

std::string Hex(int32_t code) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "0x%08lX", static_cast<unsigned long>(static_cast<uint32_t>(code)));
  return buffer;
}

// The code a call fails with; 0 when it succeeds.
int32_t CodeOf(const std::function<void()>& call) {
  try {
    call();
    return 0;
  } catch (const OutlookCallError& e) {
    return e.code();
  }
}

std::string ReadFile(const std::wstring& path) {
  std::ifstream in(path.c_str(), std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

long LiveServerObjects() {
  using Count = long (*)();
  HMODULE server = ::GetModuleHandleW(L"fake_outlook.dll");
  auto count = server ? reinterpret_cast<Count>(reinterpret_cast<void*>(::GetProcAddress(server, "FakeOutlookLiveObjects")))
                      : nullptr;
  return count ? count() : -1;
}

const char kScript[] = R"(# contacts: a distribution list, and a contact whose item interfaces fail
folder 10 contact
item contact
set FullName text 王小明
set Body text 第一行\0第二行
set Birthday date 29221.75
set CustomerID long 42
set Journal bool -1
set HasPicture bool 1
set Email1Address text wang@example.com
attach ContactPicture.jpg picture-bytes
item distlist
set DLName text 家人
item contact
set FullName text Anna Lee
set Journal bool 0
item contact
set FullName text Zed
qi-fail 0x8001010E
folder 9 appointment
item appointment
set Subject text 周会
set Start date 46000.5
recur RecurrenceType long 1
item appointment
set Subject text Later
set Start date 46001.25
slow-lookup Email1Address 200
fail Display 0x80070005
fail ClearRecurrencePattern 0x8004010F exception
)";

struct Read {
  const char* what;
  std::u16string property;
  V expected;
};

bool Same(const V& a, const V& b) {
  return a.kind == b.kind && a.text == b.text && a.date == b.date && a.number == b.number && a.flag == b.flag;
}

void CheckContacts(OutlookStore& store, const OutlookRef& nameSpace, const std::wstring& scratch) {
  OutlookRef folder = store.CallObject(nameSpace, u"GetDefaultFolder", {V::Long(10)}, OutlookInterface::Folder);
  Expect(folder && folder->Interface() == OutlookInterface::Folder, "GetDefaultFolder(10) gives a folder");
  OutlookRef items = store.GetObject(folder, u"Items", OutlookInterface::Items);
  Expect(items != nullptr, "Folder.Items");
  store.Call(items, u"Sort", {V::Text(u"FullName"), V::Flag(0)});
  Expect(store.Get(items, u"Count", ValueKind::Long).number == 4, "Count of the contacts folder is 4");

  // Sorted by full name: the list (no full name), "Anna Lee", "Zed", then the Chinese name.
  OutlookRef list = store.CallObject(items, u"GetFirst", {V::MissingArgument()}, OutlookInterface::Item);
  Expect(list && list->Interface() == OutlookInterface::Item, "GetFirst gives an item");
  Expect(!store.Convert(list, OutlookInterface::ContactItem), "a distribution list converts to no contact");
  Expect(!store.Convert(list, OutlookInterface::AppointmentItem), "a distribution list converts to no appointment");
  OutlookRef anna = store.Convert(store.CallObject(items, u"GetNext", {V::MissingArgument()}, OutlookInterface::Item),
                                  OutlookInterface::ContactItem);
  Expect(anna && anna->Interface() == OutlookInterface::ContactItem, "the next item converts to a contact");
  Expect(store.Get(anna, u"FullName", ValueKind::Text).text == u"Anna Lee", "Anna Lee comes second");
  OutlookRef broken = store.CallObject(items, u"GetNext", {V::MissingArgument()}, OutlookInterface::Item);
  int32_t code = CodeOf([&] { store.Convert(broken, OutlookInterface::ContactItem); });
  Expect(code == static_cast<int32_t>(0x8001010E), "a conversion failing otherwise raises its code (" + Hex(code) + ")");
  OutlookRef wang = store.Convert(store.CallObject(items, u"GetNext", {V::MissingArgument()}, OutlookInterface::Item),
                                  OutlookInterface::ContactItem);
  Expect(wang != nullptr, "the fourth item converts to a contact");
  Expect(!store.CallObject(items, u"GetNext", {V::MissingArgument()}, OutlookInterface::Item),
         "GetNext past the end gives an empty reference");

  const std::vector<Read> reads = {
      {"Chinese text", u"FullName", V::Text(u"王小明")},
      {"text with a NUL, full length", u"Body", V::Text(std::u16string(u"第一行\0第二行", 7))},
      {"date to the last bit", u"Birthday", V::Date(29221.75)},
      {"long", u"CustomerID", V::Long(42)},
      {"long coerced to text", u"CustomerID", V::Text(u"42")},
      {"flag true", u"Journal", V::Flag(-1)},
      {"flag 1 carried unchanged", u"HasPicture", V::Flag(1)},
  };
  for (const Read& read : reads) {
    V got = store.Get(wang, read.property, read.expected.kind);
    Expect(Same(got, read.expected), std::string("read ") + read.what);
  }
  Expect(store.Get(anna, u"Journal", ValueKind::Flag).flag == 0, "flag false");

  // Attachments: Item(1), its file name, SaveAsFile; AddPicture on another contact.
  OutlookRef attachments = store.GetObject(wang, u"Attachments", OutlookInterface::Attachments);
  Expect(store.Get(attachments, u"Count", ValueKind::Long).number == 1, "the contact has one attachment");
  OutlookRef picture = store.CallObject(attachments, u"Item", {V::Long(1)}, OutlookInterface::Attachment);
  Expect(store.Get(picture, u"FileName", ValueKind::Text).text == u"ContactPicture.jpg", "Attachment.FileName");
  std::wstring saved = scratch + L"\\图片.jpg";
  store.Call(picture, u"SaveAsFile", {V::Text(win::U(saved.c_str()))});
  Expect(ReadFile(saved) == "picture-bytes", "SaveAsFile wrote the attachment to a path with Chinese characters");
  store.Call(anna, u"AddPicture", {V::Text(win::U(saved.c_str()))});
  OutlookRef annaAttachments = store.GetObject(anna, u"Attachments", OutlookInterface::Attachments);
  Expect(store.Get(annaAttachments, u"Count", ValueKind::Long).number == 1, "AddPicture gave the contact a picture");

  // Add with the missing argument, put every kind of value, save; the folder then has five.
  OutlookRef added = store.Convert(store.CallObject(items, u"Add", {V::MissingArgument()}, OutlookInterface::Item),
                                   OutlookInterface::ContactItem);
  Expect(added != nullptr, "Add gives a new contact");
  store.Put(added, u"FullName", V::Text(u"新联系人"));
  store.Put(added, u"Body", V::Text(u""));
  store.Put(added, u"Birthday", V::Date(0.0));
  store.Put(added, u"CustomerID", V::Long(-7));
  store.Put(added, u"Journal", V::Flag(-1));
  store.Call(added, u"Save", {});
  OutlookRef fresh = store.GetObject(folder, u"Items", OutlookInterface::Items);
  Expect(store.Get(fresh, u"Count", ValueKind::Long).number == 5, "the saved contact is in the folder");
  Expect(store.Get(added, u"FullName", ValueKind::Text).text == u"新联系人", "the put text reads back");
  Expect(store.Get(added, u"Body", ValueKind::Text).text.empty(), "empty text travels as empty");
  Expect(store.Get(added, u"CustomerID", ValueKind::Long).number == -7, "the put long reads back");

  // Delete: the folder shrinks and the item is gone for Outlook.
  store.Call(anna, u"Delete", {});
  Expect(store.Get(fresh, u"Count", ValueKind::Long).number == 4, "Delete removed the contact from the folder");

  struct Failing {
    const char* what;
    std::function<void()> call;
    int32_t code;
  };
  const std::vector<Failing> failures = {
      {"scripted failure returned by Invoke", [&] { store.Call(wang, u"Display", {}); }, static_cast<int32_t>(0x80070005)},
      {"unknown member name", [&] { store.Get(folder, u"NoSuchMember", ValueKind::Text); }, static_cast<int32_t>(0x80020006)},
      {"absent property", [&] { store.Get(wang, u"Nickname", ValueKind::Text); }, static_cast<int32_t>(0x80020003)},
      {"text that is no long", [&] { store.Get(wang, u"FullName", ValueKind::Long); }, static_cast<int32_t>(0x80020005)},
      {"call on a deleted item", [&] { store.Get(anna, u"FullName", ValueKind::Text); }, static_cast<int32_t>(E_FAIL)},
      {"unknown default folder", [&] { store.CallObject(nameSpace, u"GetDefaultFolder", {V::Long(99)}, OutlookInterface::Folder); },
       static_cast<int32_t>(E_INVALIDARG)},
      {"empty required reference", [&] { store.Get(OutlookRef(), u"FullName", ValueKind::Text); }, kNullReference},
      {"put on an empty reference", [&] { store.Put(OutlookRef(), u"FullName", V::Text(u"x")); }, kNullReference},
  };
  for (const Failing& f : failures) {
    int32_t got = CodeOf(f.call);
    Expect(got == f.code, std::string(f.what) + ": " + Hex(got) + ", expected " + Hex(f.code));
  }
  Expect(!store.Convert(OutlookRef(), OutlookInterface::ContactItem), "converting an empty reference gives empty");

  // Threads of their own apartments race for a name no one has looked up yet, whose lookup
  // the server makes slow: every thread asks while the first lookup is under way.
  std::vector<std::thread> threads;
  std::vector<int> right(4, 0);
  std::atomic<int> ready{0};
  for (int t = 0; t < 4; ++t)
    threads.emplace_back([&, t] {
      store.EnterApartment();
      ++ready;
      while (ready < 4) std::this_thread::yield();
      for (int i = 0; i < 50; ++i)
        if (store.Get(wang, u"Email1Address", ValueKind::Text).text == u"wang@example.com") ++right[t];
      store.LeaveApartment();
    });
  for (auto& thread : threads) thread.join();
  Expect(right == std::vector<int>(4, 50), "four threads read the same property 200 times");
}

void CheckAppointments(OutlookStore& store, const OutlookRef& nameSpace) {
  OutlookRef folder = store.CallObject(nameSpace, u"GetDefaultFolder", {V::Long(9)}, OutlookInterface::Folder);
  OutlookRef items = store.GetObject(folder, u"Items", OutlookInterface::Items);
  store.Call(items, u"Sort", {V::Text(u"Start"), V::Flag(-1)});
  OutlookRef later = store.Convert(store.CallObject(items, u"GetFirst", {V::MissingArgument()}, OutlookInterface::Item),
                                   OutlookInterface::AppointmentItem);
  Expect(later && later->Interface() == OutlookInterface::AppointmentItem, "GetFirst converts to an appointment");
  Expect(store.Get(later, u"Subject", ValueKind::Text).text == u"Later", "descending by start: the later one first");
  Expect(!store.Convert(later, OutlookInterface::ContactItem), "an appointment converts to no contact");
  OutlookRef meeting = store.Convert(store.CallObject(items, u"GetNext", {V::MissingArgument()}, OutlookInterface::Item),
                                     OutlookInterface::AppointmentItem);
  Expect(store.Get(meeting, u"Start", ValueKind::Date).date == 46000.5, "the earlier start second");
  OutlookRef pattern = store.CallObject(meeting, u"GetRecurrencePattern", {}, OutlookInterface::RecurrencePattern);
  Expect(pattern && store.Get(pattern, u"RecurrenceType", ValueKind::Long).number == 1, "RecurrencePattern.RecurrenceType");
  store.Put(pattern, u"RecurrenceType", V::Long(2));
  Expect(store.Get(pattern, u"RecurrenceType", ValueKind::Long).number == 2, "a recurrence put reads back");
  int32_t code = CodeOf([&] { store.Call(meeting, u"ClearRecurrencePattern", {}); });
  Expect(code == static_cast<int32_t>(0x8004010F), "a failure reported through EXCEPINFO raises its code (" + Hex(code) + ")");
}

// From the server's log: each member name looked up once per interface, and the calls as
// Outlook received them (arguments in the order written, puts with the named argument).
void CheckLog(const std::wstring& logPath) {
  std::istringstream log(ReadFile(logPath));
  std::map<std::string, int> lookups;
  std::vector<std::string> invokes;
  for (std::string line; std::getline(log, line);) {
    if (line.rfind("lookup|", 0) == 0) ++lookups[line.substr(7)];
    if (line.rfind("invoke|", 0) == 0) invokes.push_back(line.substr(7));
  }
  Expect(lookups.size() > 20, "the log holds " + std::to_string(lookups.size()) + " looked-up names");
  for (const auto& [name, count] : lookups)
    if (count != 1) Expect(false, name + " looked up " + std::to_string(count) + " times");
  for (const char* name : {"ContactItem|FullName", "ContactItem|Email1Address", "Items|Count", "Attachments|Count"})
    Expect(lookups[name] == 1, std::string(name) + " looked up exactly once");
  const char* expected[] = {
      "Application|GetNamespace|1|text:MAPI",
      "NameSpace|GetDefaultFolder|1|long:10",
      "Folder|Items|2",
      "Items|Sort|1|text:FullName|bool:0",
      "Items|Sort|1|text:Start|bool:-1",
      "Items|GetFirst|1|error:0x80020004",
      "Items|Add|1|error:0x80020004",
      "ContactItem|FullName|4|text:新联系人|named:-3",
      "ContactItem|Body|4|null-text|named:-3",
      "ContactItem|Birthday|4|date:0|named:-3",
      "ContactItem|CustomerID|4|long:-7|named:-3",
      "ContactItem|Journal|4|bool:-1|named:-3",
      "ContactItem|Save|1",
      "ContactItem|Delete|1",
      "Attachments|Item|1|long:1",
      "RecurrencePattern|RecurrenceType|4|long:2|named:-3",
  };
  for (const char* line : expected)
    Expect(std::count(invokes.begin(), invokes.end(), line) > 0, std::string("Outlook received ") + line);
}

// Each case runs on a thread of its own, whose COM the host (`hostInit`) may have set up
// before the bridge enters and leaves; what is left on the thread afterwards must be the host's.
void CheckApartments(OutlookStore& store) {
  struct Case {
    const char* what;
    DWORD hostInit;  // COINIT_* the host used, or ~0 for none
    int enters, leaves;
    HRESULT after;   // CoGetApartmentType's result at the end
  };
  constexpr DWORD kNone = ~DWORD{0};
  const std::vector<Case> cases = {
      {"enter and leave", kNone, 1, 1, CO_E_NOTINITIALIZED},
      {"entered twice, left once", kNone, 2, 1, S_OK},
      {"entered twice, left twice", kNone, 2, 2, CO_E_NOTINITIALIZED},
      {"a host thread in the multithreaded apartment keeps it", COINIT_MULTITHREADED, 1, 1, S_OK},
      {"a host thread in an apartment of its own keeps it", COINIT_APARTMENTTHREADED, 1, 1, S_OK},
  };
  for (const Case& c : cases) {
    HRESULT after = E_UNEXPECTED;
    std::thread([&] {
      if (c.hostInit != kNone) static_cast<void>(::CoInitializeEx(nullptr, c.hostInit));
      for (int i = 0; i < c.enters; ++i) store.EnterApartment();
      for (int i = 0; i < c.leaves; ++i) store.LeaveApartment();
      APTTYPE type;
      APTTYPEQUALIFIER qualifier;
      after = ::CoGetApartmentType(&type, &qualifier);
      if (SUCCEEDED(after)) ::CoUninitialize();  // what the table leaves initialised is one level
    }).join();
    Expect(after == c.after, std::string("apartment: ") + c.what + " (" + Hex(after) + ")");
  }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 3) {
    std::fputs("usage: com_store_check SCRIPT LOG (the server's NORVEX_FAKE_OUTLOOK_SCRIPT and _LOG)\n", stderr);
    return 2;
  }
  const std::wstring scriptPath = argv[1], logPath = argv[2];
  std::ofstream(scriptPath.c_str(), std::ios::binary) << kScript;
  const std::wstring scratch = scriptPath.substr(0, scriptPath.find_last_of(L'\\'));

  std::unique_ptr<OutlookStore> store = MakeComStore();
  store->EnterApartment();
  try {
    OutlookRef application = store->CreateApplication();
    Expect(application && application->Interface() == OutlookInterface::Application, "CreateApplication");
    OutlookRef nameSpace = store->CallObject(application, u"GetNamespace", {V::Text(u"MAPI")}, OutlookInterface::NameSpace);
    Expect(nameSpace && nameSpace->Interface() == OutlookInterface::NameSpace, "GetNamespace(\"MAPI\")");
    CheckContacts(*store, nameSpace, scratch);
    CheckAppointments(*store, nameSpace);
  } catch (const OutlookCallError& e) {
    Expect(false, "unexpected Outlook failure " + Hex(e.code()));
  }
  Expect(LiveServerObjects() == 0, "every server object released (" + std::to_string(LiveServerObjects()) + " left)");
  try {
    OutlookRef abandoned = store->CreateApplication();
    store->Abandon(abandoned);
    Expect(!abandoned && LiveServerObjects() == 1, "Abandon drops the reference without releasing the object");
  } catch (const OutlookCallError& e) {
    Expect(false, "unexpected Outlook failure " + Hex(e.code()));
  }
  CheckLog(logPath);
  CheckApartments(*store);
  store->LeaveApartment();
  std::printf("com store: %d passed, %d failed\n", g_passed, g_failed);
  return g_failed == 0 ? 0 : 1;
}
