// The contact mapping over the scripted store: every field read from its property, the
// write order of the table, and the picture exchange through real files.
#include "contact_mapping.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "map_record.h"
#include "session_fixture.h"
#include "text.h"

namespace norvex::outlook {
namespace {

namespace fs = std::filesystem;

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A distinct value per field type and row, so that a field read from the wrong property shows.
OutlookValue ValueFor(const FieldRow& row, int n) {
  switch (row.type) {
    case FieldType::String:
      return OutlookValue::Text(Tagged(u"v", n));
    case FieldType::Double:
      return OutlookValue::Date(40000.25 + n);
    case FieldType::Long:
    case FieldType::Int:
      return OutlookValue::Long(-n);
    case FieldType::Boolean:
      return OutlookValue::Flag(-1);
  }
  return {};
}

class ContactMapping : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("outlook_contact_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    pictures_ = {(dir_ / "out.jpg").u16string(), (dir_ / "in.jpg").u16string()};
  }
  void TearDown() override { fs::remove_all(dir_); }

  OutlookRef Contact(const ScriptedStore::ItemPtr& item) {
    return StoredItem(fixture_.store, kFolderContacts, item, OutlookInterface::ContactItem);
  }
  ScriptedStore::ItemPtr AddContact(const std::u16string& tag) {
    ScriptedStore::ItemPtr item = fixture_.store.AddItem(kFolderContacts, "contact", tag);
    fixture_.store.SetProperty(item, u"EntryID", OutlookValue::Text(u"ID-" + tag));
    return item;
  }
  void WriteIn(const std::string& bytes) { std::ofstream(fs::path(pictures_.in), std::ios::binary) << bytes; }

  OpenSession fixture_;
  fs::path dir_;
  PicturePaths pictures_;
};

TEST_F(ContactMapping, ReadsEveryFieldFromItsProperty) {
  const auto item = AddContact(u"c1");
  int n = 0;
  for (const FieldRow& row : ContactFields())
    if (row.property != u"EntryID") fixture_.store.SetProperty(item, std::u16string(row.property), ValueFor(row, ++n));
  fixture_.store.AddAttachment(item, u"ContactPicture.jpg", "jpeg");
  MapRecord record(ContactFields());
  ASSERT_TRUE(ReadContact(fixture_.store, Contact(item), record, pictures_));
  n = 0;
  for (const FieldRow& row : ContactFields()) {
    SCOPED_TRACE(row.field);
    const MapRecord::Field& field = record.At(row.field);
    if (row.property == u"EntryID") {
      EXPECT_EQ(field.text, u"ID-c1");
      continue;
    }
    const OutlookValue expected = ValueFor(row, ++n);
    switch (row.type) {
      case FieldType::String:
        EXPECT_EQ(field.text, expected.text);
        break;
      case FieldType::Double:
        EXPECT_EQ(field.number, expected.date);
        break;
      case FieldType::Long:
      case FieldType::Int:
        EXPECT_EQ(field.integer, expected.number);
        break;
      case FieldType::Boolean:
        EXPECT_EQ(field.boolean, 1);
        break;
    }
  }
  // "company" comes from CompanyName and "refferedby" from ReferredBy.
  EXPECT_EQ(fixture_.store.Property(item, u"CompanyName").text, record.At("company").text);
  EXPECT_EQ(fixture_.store.Property(item, u"ReferredBy").text, record.At("refferedby").text);
  EXPECT_EQ(ReadFile(pictures_.out), "jpeg");
}

TEST_F(ContactMapping, WritesEveryWritableFieldInWriteStepOrder) {
  const auto steps = InWriteOrder(ContactFields());
  ASSERT_EQ(steps.size(), 98u);
  for (std::size_t i = 0; i < steps.size(); ++i) EXPECT_EQ(steps[i]->writeStep, static_cast<int>(i) + 1);

  MapRecord record(ContactFields());
  int n = 0;
  for (const FieldRow& row : ContactFields()) {
    const OutlookValue v = ValueFor(row, ++n);
    MapRecord::Field& field = record.At(row.field);
    field.text = v.text.empty() ? std::nullopt : std::optional(v.text);
    field.number = v.date;
    field.integer = v.number;
    field.boolean = 1;
  }
  WriteIn("picture bytes");
  ScriptedStore& store = fixture_.store;
  const OutlookRef item = NewItem(store, kFolderContacts, OutlookInterface::ContactItem);
  store.ClearCalls();
  ASSERT_TRUE(WriteContact(store, record, item, pictures_));

  std::vector<std::string> expected;
  for (const FieldRow* row : steps) {
    if (row->property == u"HasPicture")
      expected.push_back("AddPicture");
    else
      expected.push_back(text::ToUtf8(row->property));
  }
  std::vector<std::string> actual;
  for (const std::string& call : store.Calls()) {
    if (call.starts_with("Put new1.")) actual.push_back(call.substr(9, call.find('=') - 9));
    if (call.starts_with("Call new1.AddPicture")) actual.push_back("AddPicture");
  }
  EXPECT_EQ(actual, expected);
  // Full name before suffix, first and last name; an address before its parts.
  const auto at = [&](const char* p) { return std::find(actual.begin(), actual.end(), p) - actual.begin(); };
  EXPECT_LT(at("FullName"), at("Suffix"));
  EXPECT_LT(at("Suffix"), at("FirstName"));
  EXPECT_LT(at("LastName"), at("FTPSite"));
  EXPECT_LT(at("Email1Address"), at("Email1DisplayName"));
  EXPECT_LT(at("HomeAddress"), at("HomeAddressCity"));
  EXPECT_EQ(at("EntryID"), static_cast<long>(actual.size()));
  EXPECT_EQ(at("MessageClass"), static_cast<long>(actual.size()));
  EXPECT_FALSE(fs::exists(pictures_.in));  // consumed once the picture was added
}

TEST_F(ContactMapping, PictureExchangeOnRead) {
  struct Case {
    const char* what;
    bool hasPicture;
    std::vector<std::pair<std::u16string, std::string>> attachments;
    uint8_t expectedFlag;
    std::optional<std::string> expectedFile;
  } cases[] = {
      {"Outlook claims a picture but there are no attachments", true, {}, 0, std::nullopt},
      {"a name in another case is not the picture", true, {{u"contactpicture.jpg", "lower"}}, 1, std::nullopt},
      {"the last match wins",
       true,
       {{u"ContactPicture.jpg", "first"}, {u"notes.txt", "text"}, {u"ContactPicture.jpg", "second"}},
       1,
       "second"},
      {"no picture flag, an attachment still saved", false, {{u"ContactPicture.jpg", "only"}}, 0, "only"},
  };
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    fs::remove(pictures_.out);
    const auto item = AddContact(Tagged(u"p", ++n));
    fixture_.store.SetProperty(item, u"HasPicture", OutlookValue::Flag(c.hasPicture ? -1 : 0));
    for (const auto& [name, bytes] : c.attachments) fixture_.store.AddAttachment(item, name, bytes);
    MapRecord record(ContactFields());
    ASSERT_TRUE(ReadContact(fixture_.store, Contact(item), record, pictures_));
    EXPECT_EQ(record.At("haspicture").boolean, c.expectedFlag);
    EXPECT_EQ(fs::exists(pictures_.out), c.expectedFile.has_value());
    if (c.expectedFile) {
      EXPECT_EQ(ReadFile(pictures_.out), *c.expectedFile);
    }
  }
}

TEST_F(ContactMapping, PictureSavedWhereItCannotBeWrittenFailsTheRead) {
  const auto item = AddContact(u"c1");
  fixture_.store.AddAttachment(item, u"ContactPicture.jpg", "jpeg");
  MapRecord record(ContactFields());
  PicturePaths nowhere{(dir_ / "missing" / "out.jpg").u16string(), pictures_.in};
  EXPECT_FALSE(ReadContact(fixture_.store, Contact(item), record, nowhere));
  // Fields before the picture were stored; the caller throws the record away.
  EXPECT_EQ(record.At("account").sets, 0);  // empty text: not stored
  EXPECT_EQ(record.At("anniversary").sets, 1);
  EXPECT_EQ(record.At("birthday").sets, 0);
}

TEST_F(ContactMapping, PictureExchangeOnWrite) {
  struct Case {
    const char* what;
    uint8_t hasPicture;
    bool fileThere;
    bool addPictureFails;
    bool written;
    bool pictureTaken;
    bool fileLeft;
  } cases[] = {
      {"flag and file: the picture is added, the file consumed", 1, true, false, true, true, false},
      {"flag without a file: no picture", 1, false, false, true, false, false},
      {"no flag: the file is left alone", 0, true, false, true, false, true},
      {"a byte other than 1 is no flag", 2, true, false, true, false, true},
      {"AddPicture fails: the write fails and the file stays", 1, true, true, false, false, true},
  };
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    fs::remove(pictures_.in);
    if (c.fileThere) WriteIn("in bytes");
    const std::u16string tag = Tagged(u"w", ++n);
    const auto item = AddContact(tag);
    if (c.addPictureFails) fixture_.store.Fail(tag, u"AddPicture", 1, kOutOfMemory);
    MapRecord record(ContactFields());
    record.At("haspicture").boolean = c.hasPicture;
    EXPECT_EQ(WriteContact(fixture_.store, record, Contact(item), pictures_), c.written);
    EXPECT_EQ(fixture_.store.Picture(item), c.pictureTaken ? "in bytes" : "");
    EXPECT_EQ(fs::exists(pictures_.in), c.fileLeft);
    EXPECT_EQ(fixture_.store.Saves(item), 0);  // the writer never saves a contact
  }
}

TEST_F(ContactMapping, AFailingPropertyEndsTheReadAndTheWrite) {
  const auto item = AddContact(u"c1");
  fixture_.store.Fail(u"c1", u"JobTitle", 0, kOutOfMemory);
  MapRecord record(ContactFields());
  EXPECT_FALSE(ReadContact(fixture_.store, Contact(item), record, pictures_));
  EXPECT_FALSE(WriteContact(fixture_.store, record, Contact(item), pictures_));
  EXPECT_TRUE(CallsStarting(fixture_.store, "Put c1.Language").empty());  // nothing after the failure
  EXPECT_FALSE(ReadContact(fixture_.store, nullptr, record, pictures_));
  EXPECT_FALSE(WriteContact(fixture_.store, record, nullptr, pictures_));
}

}  // namespace
}  // namespace norvex::outlook
