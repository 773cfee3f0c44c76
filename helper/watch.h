// What the helper's hidden window knows and does at start: its folders (installation and
// per-user data folder) and its device-interface registrations. Kept apart from the window so
// the start-up rules run in tests against scripted ports.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "registry.h"

namespace norvex::helper {

// The window's state that the arrival handling works on.
struct HelperWindowData {
  std::u16string m_strVid;  // identifiers of the last arrival examined
  std::u16string m_strPid;
  std::u16string m_strAppFolder;   // the helper's own folder, ending in "\"
  std::u16string m_strDataFolder;  // the per-user data folder, ending in "\"
};

struct InterfaceClass {
  const char* name;
  std::uint32_t data1;
  std::uint16_t data2, data3;
  std::array<std::uint8_t, 8> data4;
};

// The device-interface classes whose arrivals the helper watches, in registration order:
// USB devices, disks, HID devices, network adapters.
extern const std::array<InterfaceClass, 4> kWatchedClasses;

inline constexpr char16_t kRegistrationFailure[] = u"Can't register device notification: ";

// Registers the window for one class's arrivals, and tells the user when that failed.
class NotificationRegistrar {
 public:
  virtual ~NotificationRegistrar() = default;
  virtual bool Register(const InterfaceClass& cls) = 0;
  virtual void ShowFailure(const std::u16string& text) = 0;
};

// The folder of the executable at `modulePath`, keeping its last backslash.
std::u16string AppFolderOf(const std::u16string& modulePath);

// "Local AppData" + "\VantrelTool\", or the installation's drive + "\VantrelTool\" when the
// value is missing, unreadable or empty.
std::u16string DataFolderFor(RegistryReader& registry, const std::u16string& appFolder);

// Registers the classes in order; the first failure is shown and ends the registrations, the
// ones made before it stay. False when one failed.
bool RegisterForArrivals(NotificationRegistrar& registrar);

// The window's start: registrations, then both folders. The folders are filled even after a
// failed registration: empty folders would make the list, the switch file and the launcher
// resolve against whatever the current directory happens to be.
void InitWatch(HelperWindowData& data, NotificationRegistrar& registrar, RegistryReader& registry,
               const std::u16string& modulePath);

}  // namespace norvex::helper
