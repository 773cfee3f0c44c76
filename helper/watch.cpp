// The helper window's start-up rules: folders and registrations.
#include "watch.h"

namespace norvex::helper {

const std::array<InterfaceClass, 4> kWatchedClasses = {{
    {"GUID_DEVINTERFACE_USB_DEVICE", 0xA5DCBF10, 0x6530, 0x11D2, {0x90, 0x1F, 0x00, 0xC0, 0x4F, 0xB9, 0x51, 0xED}},
    {"GUID_DEVINTERFACE_DISK", 0x53F56307, 0xB6BF, 0x11D0, {0x94, 0xF2, 0x00, 0xA0, 0xC9, 0x1E, 0xFB, 0x8B}},
    {"GUID_DEVINTERFACE_HID", 0x4D1E55B2, 0xF16F, 0x11CF, {0x88, 0xCB, 0x00, 0x11, 0x11, 0x00, 0x00, 0x30}},
    {"GUID_NDIS_LAN_CLASS", 0xAD498944, 0x762F, 0x11D0, {0x8D, 0xCB, 0x00, 0xC0, 0x4F, 0xC3, 0x35, 0x8C}},
}};

namespace {
constexpr char16_t kDataSubFolder[] = u"\\VantrelTool\\";
constexpr std::size_t kLocalAppDataBufferBytes = 2600;
}  // namespace

std::u16string AppFolderOf(const std::u16string& modulePath) {
  const auto slash = modulePath.rfind(u'\\');
  return slash == std::u16string::npos ? std::u16string() : modulePath.substr(0, slash + 1);
}

std::u16string DataFolderFor(RegistryReader& registry, const std::u16string& appFolder) {
  const std::u16string localAppData = ReadLocalAppData(registry, kLocalAppDataBufferBytes);
  if (!localAppData.empty()) return localAppData + kDataSubFolder;
  return appFolder.substr(0, 2) + kDataSubFolder;
}

bool RegisterForArrivals(NotificationRegistrar& registrar) {
  for (const InterfaceClass& cls : kWatchedClasses) {
    if (!registrar.Register(cls)) {
      registrar.ShowFailure(kRegistrationFailure);
      return false;
    }
  }
  return true;
}

void InitWatch(HelperWindowData& data, NotificationRegistrar& registrar, RegistryReader& registry,
               const std::u16string& modulePath) {
  RegisterForArrivals(registrar);  // a failure has been shown; the helper watches with what it has
  data.m_strAppFolder = AppFolderOf(modulePath);
  data.m_strDataFolder = DataFolderFor(registry, data.m_strAppFolder);
}

}  // namespace norvex::helper
