// The selection and availability rules over scripted device trees: which devices the host
// sees, with which four texts, for each prefix and selection.
#include "device_enumeration.h"

#include <gtest/gtest.h>

#include <cctype>
#include <deque>
#include <ostream>

#include "scripted_device_tree.h"

namespace norvex::native {
namespace {

std::string Show(const DeviceRecord& r) { return r.id + " | " + r.name + " | " + r.psn + " | " + r.available; }

std::vector<std::string> Shown(const std::vector<DeviceRecord>& records) {
  std::vector<std::string> shown;
  for (const DeviceRecord& r : records) shown.push_back(Show(r));
  return shown;
}

// A phone without its ADB driver beside working devices: one device of each availability case.
const char* const kTree =
    "ACPI\\PNP0A03\\0|System|PCI-Bus|0x0180200A|HTREE\\ROOT\\0\n"                        // class, no problem
    "USB\\VID_12D1&PID_1038\\0123456789ABCDEF|-|-|0|USB\\ROOT_HUB20\\4&2A5C&0\n"         // no class
    "USB\\VID_12D1&PID_1038&MI_01\\6&1|AndroidUsbDeviceClass|ADB Interface|0x01802400|"  // class with problem
    "USB\\VID_12D1&PID_1038\\0123456789ABCDEF\n"
    "USB\\VID_12D1&PID_1038&MI_00\\6&2|WPD|MTP Device|-|USB\\VID_12D1&PID_1038\\0123456789ABCDEF\n"  // status fails
    "USB\\ROOT_HUB20\\4&2A5C&0|USB||0x0180000A|NOBACKSLASH\n"  // empty description
    "ROOT\\LEGACY_BEEP\\0000||Beep|0|-\n";                     // empty class, no parent

const std::string kPci = "ACPI\\PNP0A03\\0 | PCI-Bus | 0 | ";
const std::string kPhone = "USB\\VID_12D1&PID_1038\\0123456789ABCDEF |  | 4&2A5C&0 | ";
const std::string kAdb = "USB\\VID_12D1&PID_1038&MI_01\\6&1 | ADB Interface | 0123456789ABCDEF | ";
const std::string kMtp = "USB\\VID_12D1&PID_1038&MI_00\\6&2 | MTP Device | 0123456789ABCDEF | ";
const std::string kHub = "USB\\ROOT_HUB20\\4&2A5C&0 |  | NOBACKSLASH | ";
const std::string kBeep = "ROOT\\LEGACY_BEEP\\0000 | Beep |  | ";

struct SelectionCase {
  const char* what;
  const char* prefix;
  int selection;
  std::vector<std::string> expected;
};

void PrintTo(const SelectionCase& c, std::ostream* os) { *os << c.what; }

class Selection : public testing::TestWithParam<SelectionCase> {};

TEST_P(Selection, KeepsTheRightDevicesWithTheirTexts) {
  const SelectionCase& c = GetParam();
  const ScriptedDeviceTree tree = ScriptedDeviceTree::FromScript(kTree);
  EXPECT_EQ(Shown(EnumerateDevices(tree, c.prefix, static_cast<DeviceSelection>(c.selection))), c.expected);
  EXPECT_EQ(tree.OpenSets(), 0) << "the device set must be released";
}

// The adb interface has a problem flag (0x400 inside 0x01802400), the phone and the beep
// device have no class (missing, empty), the MTP function's status cannot be read.
INSTANTIATE_TEST_SUITE_P(
    Rules, Selection,
    testing::Values(SelectionCase{"all, empty prefix",
                                  "",
                                  0,
                                  {kPci + "TRUE", kPhone + "FALSE", kAdb + "FALSE", kMtp + "TRUE", kHub + "TRUE",
                                   kBeep + "FALSE"}},
                    SelectionCase{"available only", "", 1, {kPci + "TRUE", kMtp + "TRUE", kHub + "TRUE"}},
                    SelectionCase{"unavailable only", "", 2, {kPhone + "FALSE", kAdb + "FALSE", kBeep + "FALSE"}},
                    SelectionCase{"usb, all", "USB\\VID", 0, {kPhone + "FALSE", kAdb + "FALSE", kMtp + "TRUE"}},
                    SelectionCase{"usb, unavailable", "USB\\VID", 2, {kPhone + "FALSE", kAdb + "FALSE"}},
                    SelectionCase{"full identifier as prefix", "USB\\VID_12D1&PID_1038&MI_00\\6&2", 1, {kMtp + "TRUE"}},
                    SelectionCase{"prefix in lower case", "usb\\vid", 0, {}},
                    SelectionCase{"prefix longer than every identifier", "ACPI\\PNP0A03\\0\\X", 0, {}},
                    SelectionCase{"unknown selection 3", "", 3, {}}, SelectionCase{"unknown selection -1", "", -1, {}}),
    [](const testing::TestParamInfo<SelectionCase>& info) {
      std::string name = info.param.what;
      for (char& ch : name)
        if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
      return name;
    });

TEST(Walk, EndsAtTheFirstIdentifierThatCannotBeRead) {
  const ScriptedDeviceTree tree = ScriptedDeviceTree::FromScript(
      "ROOT\\A\\0|System|A|0|-\n"
      "!|System|unreadable|0|-\n"
      "USB\\VID_1234&PID_0001\\X|USB|after the gap|0|-\n");
  EXPECT_EQ(Shown(EnumerateDevices(tree, "", DeviceSelection::All)),
            std::vector<std::string>{"ROOT\\A\\0 | A |  | TRUE"});
  EXPECT_TRUE(EnumerateDevices(tree, "USB\\VID", DeviceSelection::All).empty())
      << "no device after the gap is looked at";
  EXPECT_EQ(tree.OpenSets(), 0);
}

TEST(Walk, ASetThatCannotBeOpenedGivesNothing) {
  const ScriptedDeviceTree tree(ParseDeviceScript("ROOT\\A\\0|System|A|0|-\n"), /*opens=*/false);
  for (DeviceSelection s : {DeviceSelection::All, DeviceSelection::AvailableOnly, DeviceSelection::UnavailableOnly}) {
    EXPECT_TRUE(EnumerateDevices(tree, "", s).empty());
  }
}

struct SegmentCase {
  const char* parent;
  const char* segment;
};

TEST(ParentSegment, IsTheTextAfterTheLastBackslash) {
  const SegmentCase cases[] = {{"USB\\VID_12D1&PID_1038\\0123456789ABCDEF", "0123456789ABCDEF"},
                               {"HTREE\\ROOT\\0", "0"},
                               {"NOBACKSLASH", "NOBACKSLASH"},
                               {"TRAILING\\", ""},
                               {"", ""}};
  for (const SegmentCase& c : cases) EXPECT_EQ(ParentSegment(c.parent), c.segment) << c.parent;
}

// A device whose property reads answer from a script of replies, recording the buffer sizes
// it was offered, to follow the size dance of a variable-size property step by step.
class ReplyingDevice final : public DeviceSet {
 public:
  ReplyingDevice(std::string data, std::deque<PropertyRead> replies) : data_(std::move(data)), replies_(replies) {}
  std::vector<std::size_t> offered;

  PropertyRead ReadProperty(DeviceProperty, std::span<char> buffer) override {
    offered.push_back(buffer.size());
    if (replies_.empty()) {
      ADD_FAILURE() << "read once too often";
      return {};
    }
    const PropertyRead reply = replies_.front();
    replies_.pop_front();
    if (reply.status == PropertyRead::Status::Ok) {
      std::copy_n(data_.begin(), std::min(data_.size(), buffer.size()), buffer.begin());
    }
    return reply;
  }
  bool Select(std::uint32_t) override { return true; }
  std::optional<std::string> InstanceId() override { return std::nullopt; }
  std::optional<std::uint32_t> NodeStatus() override { return std::nullopt; }
  std::optional<std::string> ParentInstanceId() override { return std::nullopt; }

 private:
  std::string data_;
  std::deque<PropertyRead> replies_;
};

struct PropertyCase {
  const char* what;
  std::string data;
  std::deque<PropertyRead> replies;
  std::optional<std::string> expected;
  std::vector<std::size_t> offered;
};

TEST(VariableProperty, FollowsThePlatformsSizeReplies) {
  using S = PropertyRead::Status;
  const std::string ports("Ports\0", 6);
  const PropertyCase cases[] = {
      {"missing", ports, {{S::Failed, 0}}, std::nullopt, {0}},
      {"present but empty: the first call succeeds", "", {{S::Ok, 0}}, std::nullopt, {0}},
      {"text", ports, {{S::BufferTooSmall, 6}, {S::Ok, 6}}, "Ports", {0, 6}},
      {"grown between the calls",
       ports,
       {{S::BufferTooSmall, 4}, {S::BufferTooSmall, 6}, {S::Ok, 6}},
       "Ports",
       {0, 4, 6}},
      {"failing after growing keeps the zeroed buffer", ports, {{S::BufferTooSmall, 6}, {S::Failed, 0}}, "", {0, 6}},
      {"text without terminator", "Ports", {{S::BufferTooSmall, 5}, {S::Ok, 5}}, "Ports", {0, 5}},
      {"text up to the first zero", std::string("COM3\0junk", 9), {{S::BufferTooSmall, 9}, {S::Ok, 9}}, "COM3", {0, 9}},
  };
  for (const PropertyCase& c : cases) {
    ReplyingDevice device(c.data, c.replies);
    EXPECT_EQ(ReadVariableProperty(device, DeviceProperty::Description), c.expected) << c.what;
    EXPECT_EQ(device.offered, c.offered) << c.what;
  }
}

TEST(VariableProperty, ClassReadOnlyDecidesWhetherAClassExists) {
  // An empty class property counts as no class even when the node reports no problem.
  const ScriptedDeviceTree tree = ScriptedDeviceTree::FromScript(
      "ROOT\\EMPTY\\0||d|0|-\n"
      "ROOT\\MISSING\\0|-|d|0|-\n"
      "ROOT\\ODD\\0|?|d|0|-\n");
  EXPECT_EQ(Shown(EnumerateDevices(tree, "", DeviceSelection::AvailableOnly)),
            std::vector<std::string>{"ROOT\\ODD\\0 | d |  | TRUE"});
}

TEST(Script, RejectsMalformedLines) {
  for (const char* bad : {"ROOT\\A|System|d|0", "ROOT\\A|System|d|zero|-", "ROOT\\A|System|d||-", "a|b|c|0|-|f"}) {
    EXPECT_THROW(ParseDeviceScript(bad), std::invalid_argument) << bad;
  }
}

}  // namespace
}  // namespace norvex::native
