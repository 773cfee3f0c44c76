// Deciding whether a device arrival is one of the suite's phones: the interface name's USB
// vendor and product identifiers looked up in the list file "pvids" of the data folder, unless
// the switch file "nohelp" is there. A recognised phone brings the suite forward or starts it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "launch.h"
#include "process_table.h"
#include "suite.h"
#include "watch.h"

namespace norvex::helper {

inline constexpr std::uint32_t kDbtDeviceArrival = 0x8000;
inline constexpr std::uint32_t kDbtDeviceRemoveComplete = 0x8004;
inline constexpr std::uint32_t kDbtDevtypDeviceInterface = 5;
inline constexpr std::uint32_t kDbtDevtypVolume = 2;

// One WM_DEVICECHANGE as the window received it.
struct DeviceNotification {
  std::uint32_t event;
  std::optional<std::uint32_t> deviceType;  // nothing when the message carried no header
  std::u16string name;                      // the interface name, for interface notifications
};

// The identifier texts: the four characters that begin four after the first "VID" / "PID" of
// the upper-cased name, fewer where the name ends earlier.
std::u16string IdentifierAfter(const std::u16string& upperName, std::u16string_view tag);

// True when the list text (8-bit, thread's ANSI code page, up to its first zero byte, compared
// upper-cased) holds "VID:PID" anywhere.
bool ListHolds(const std::string& listBytes, const std::u16string& vid, const std::u16string& pid);

// The arrival check in its fixed order; fills m_strVid and m_strPid once the name has passed
// the event, "VID"/"PID", "pvids" and "nohelp" tests.
bool IsListedPhoneArrival(const DeviceNotification& notification, HelperWindowData& data);

// The window's handler: a listed phone brings the running suite forward or, when none runs,
// starts it. The window always answers 0.
void OnDeviceChange(const DeviceNotification& notification, HelperWindowData& data, ProcessTable& processes,
                    WindowList& windows, Launcher& launcher);

}  // namespace norvex::helper
