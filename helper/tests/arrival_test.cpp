// The arrival check on real files in a temporary data folder: which notifications reach the
// list, what is taken from the interface name, and how the list text is compared.
#include "arrival.h"

#include <gtest/gtest.h>

#include "data_folder.h"
#include "text.h"

namespace norvex::helper {
namespace {

constexpr char16_t kPhone[] = u"\\\\?\\usb#vid_1a2b&pid_3c4d#0123456789#{a5dcbf10-6530-11d2-901f-00c04fb951ed}";
constexpr char16_t kPhoneUpper[] = u"\\\\?\\USB#VID_1A2B&PID_3C4D#0123456789#{A5DCBF10-6530-11D2-901F-00C04FB951ED}";

enum class Switch { None, File, Folder };

struct Case {
  const char* what;
  std::uint32_t event;
  std::optional<std::uint32_t> type;
  std::u16string name;
  std::optional<std::string> list;  // nothing: no "pvids" at all
  Switch nohelp;
  bool listed;
  const char16_t* vid;  // "old" when the identifiers must not have been touched
  const char16_t* pid;
};

const std::string kUtf16List(
    "\xFF\xFE"
    "1\0A\0"
    "2\0B\0"
    ":\0"
    "3\0C\0"
    "4\0D\0",
    20);

const Case kCases[] = {
    {"lower-case name, upper-case list", kDbtDeviceArrival, 5, kPhone, "1A2B:3C4D\r\n", Switch::None, true, u"1A2B",
     u"3C4D"},
    {"upper-case name, lower-case list", kDbtDeviceArrival, 5, kPhoneUpper, "0bb4:0c02,1a2b:3c4d", Switch::None, true,
     u"1A2B", u"3C4D"},
    {"plain substring search", kDbtDeviceArrival, 5, kPhone, "11A2B:3C4D5", Switch::None, true, u"1A2B", u"3C4D"},
    {"pair not listed", kDbtDeviceArrival, 5, kPhone, "1A2B:3C4E 1A2C:3C4D", Switch::None, false, u"1A2B", u"3C4D"},
    {"empty list", kDbtDeviceArrival, 5, kPhone, "", Switch::None, false, u"1A2B", u"3C4D"},
    {"list ends at its first zero byte", kDbtDeviceArrival, 5, kPhone,
     std::string("0BB4:0C02\0"
                 "1A2B:3C4D",
                 19),
     Switch::None, false, u"1A2B", u"3C4D"},
    {"list saved as UTF-16", kDbtDeviceArrival, 5, kPhone, kUtf16List, Switch::None, false, u"1A2B", u"3C4D"},
    {"\"nohelp\" as a file", kDbtDeviceArrival, 5, kPhone, "1A2B:3C4D", Switch::File, false, u"old", u"old"},
    {"\"nohelp\" as a folder", kDbtDeviceArrival, 5, kPhone, "1A2B:3C4D", Switch::Folder, false, u"old", u"old"},
    {"no \"pvids\"", kDbtDeviceArrival, 5, kPhone, std::nullopt, Switch::None, false, u"old", u"old"},
    {"VID and PID in another form", kDbtDeviceArrival, 5, u"HID\\VID:0001/PID:0002\\7", "0001:0002", Switch::None, true,
     u"0001", u"0002"},
    {"tags without separators", kDbtDeviceArrival, 5, u"VIDX1234PIDX5678", "1234:5678", Switch::None, true, u"1234",
     u"5678"},
    {"short name", kDbtDeviceArrival, 5, u"PID_3C4D#VID_1A", "1A:3C4D", Switch::None, true, u"1A", u"3C4D"},
    {"name ending at VID", kDbtDeviceArrival, 5, u"PID_3C4D#VID", "1A2B:3C4D", Switch::None, true, u"", u"3C4D"},
    {"no PID in the name", kDbtDeviceArrival, 5, u"USB#VID_1A2B#0123", "1A2B:3C4D", Switch::None, false, u"old",
     u"old"},
    {"no VID in the name", kDbtDeviceArrival, 5, u"STORAGE#VOLUME#PID_3C4D", "1A2B:3C4D", Switch::None, false, u"old",
     u"old"},
    {"removal", kDbtDeviceRemoveComplete, 5, kPhone, "1A2B:3C4D", Switch::None, false, u"old", u"old"},
    {"other event", 0x0007, std::nullopt, u"", "1A2B:3C4D", Switch::None, false, u"old", u"old"},
    {"volume arrival", kDbtDeviceArrival, kDbtDevtypVolume, kPhone, "1A2B:3C4D", Switch::None, false, u"old", u"old"},
    {"arrival without a header", kDbtDeviceArrival, std::nullopt, kPhone, "1A2B:3C4D", Switch::None, false, u"old",
     u"old"},
};

TEST(ArrivalCheck, DecidesInItsFixedOrder) {
  text::SetAnsiCodeSetForTesting("CP1252");
  for (const Case& c : kCases) {
    DataFolder folder;
    if (c.list) folder.Write("pvids", *c.list);
    if (c.nohelp == Switch::File) folder.Write("nohelp", "");
    if (c.nohelp == Switch::Folder) folder.MakeFolder("nohelp");
    HelperWindowData data{u"old", u"old", u"C:\\Suite\\", folder.Text()};
    EXPECT_EQ(IsListedPhoneArrival({c.event, c.type, c.name}, data), c.listed) << c.what;
    EXPECT_EQ(data.m_strVid, c.vid) << c.what;
    EXPECT_EQ(data.m_strPid, c.pid) << c.what;
  }
  text::SetAnsiCodeSetForTesting("");
}

TEST(ArrivalCheck, UnreadableListIsNoMatch) {
  DataFolder folder;
  folder.MakeFolder("pvids");  // present to the search, but no file to read
  HelperWindowData data{u"", u"", u"C:\\Suite\\", folder.Text()};
  EXPECT_FALSE(IsListedPhoneArrival({kDbtDeviceArrival, 5, kPhone}, data));
  EXPECT_EQ(data.m_strVid, u"1A2B");
}

TEST(ArrivalCheck, ListIsReadAfreshAtEveryArrival) {
  DataFolder folder;
  HelperWindowData data{u"", u"", u"C:\\Suite\\", folder.Text()};
  folder.Write("pvids", "0BB4:0C02");
  EXPECT_FALSE(IsListedPhoneArrival({kDbtDeviceArrival, 5, kPhone}, data));
  folder.Write("pvids", "0BB4:0C02\n1A2B:3C4D");
  EXPECT_TRUE(IsListedPhoneArrival({kDbtDeviceArrival, 5, kPhone}, data));
}

// The list is decoded in the thread's ANSI code page before the search: on a Chinese system a
// lead byte swallows the character after it, exactly as Windows would decode it.
TEST(ArrivalCheck, ListIsDecodedInTheAnsiCodePage) {
  text::SetAnsiCodeSetForTesting("GBK");
  struct {
    const char* what;
    std::string list;
    bool listed;
  } const cases[] = {
      {"Chinese comment before the pair", text::ToAnsi(u"手机型号 ", text::CodePage::ThreadAnsi) + "AB12:3C4D", true},
      {"lead byte takes the pair's first letter",
       "\x81"
       "AB12:3C4D",
       false},
  };
  ASSERT_EQ(cases[0].list.size(), 9u + 9u) << "four GBK characters, a blank and the pair";
  for (const auto& c : cases) {
    DataFolder folder;
    folder.Write("pvids", c.list);
    HelperWindowData data{u"", u"", u"C:\\Suite\\", folder.Text()};
    EXPECT_EQ(IsListedPhoneArrival({kDbtDeviceArrival, 5, u"USB#VID_ab12&PID_3c4d#1"}, data), c.listed) << c.what;
  }
  text::SetAnsiCodeSetForTesting("CP1252");
  EXPECT_TRUE(
      ListHolds("\x81"
                "AB12:3C4D",
                u"AB12", u"3C4D"))
      << "a single-byte code page keeps every letter";
  text::SetAnsiCodeSetForTesting("");
}

}  // namespace
}  // namespace norvex::helper
