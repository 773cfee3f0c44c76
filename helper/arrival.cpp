// The arrival check and its hand-over to the suite.
#include "arrival.h"

#include "files.h"
#include "text.h"

namespace norvex::helper {

std::u16string IdentifierAfter(const std::u16string& upperName, std::u16string_view tag) {
  const auto at = upperName.find(tag);
  if (at == std::u16string::npos || at + 4 >= upperName.size()) return std::u16string();
  return upperName.substr(at + 4, 4);
}

bool ListHolds(const std::string& listBytes, const std::u16string& vid, const std::u16string& pid) {
  const std::string_view untilZero(listBytes.c_str());  // the list ends at its first zero byte
  const std::u16string list = text::AsciiUpper(text::FromAnsi(untilZero, text::CodePage::ThreadAnsi));
  return list.find(vid + u":" + pid) != std::u16string::npos;
}

bool IsListedPhoneArrival(const DeviceNotification& notification, HelperWindowData& data) {
  if (notification.event != kDbtDeviceArrival || notification.deviceType != kDbtDevtypDeviceInterface) return false;
  const std::u16string name = text::AsciiUpper(notification.name);
  if (name.find(u"PID") == std::u16string::npos || name.find(u"VID") == std::u16string::npos) return false;
  // Presence of both files is tested before anything else is looked at; "nohelp" wins.
  const std::u16string listPath = data.m_strDataFolder + u"pvids";
  if (!files::EntryExists(listPath)) return false;
  if (files::EntryExists(data.m_strDataFolder + u"nohelp")) return false;
  data.m_strVid = IdentifierAfter(name, u"VID");
  data.m_strPid = IdentifierAfter(name, u"PID");
  const auto list = files::ReadWhole(listPath);
  return list && ListHolds(*list, data.m_strVid, data.m_strPid);
}

void OnDeviceChange(const DeviceNotification& notification, HelperWindowData& data, ProcessTable& processes,
                    WindowList& windows, Launcher& launcher) {
  if (!IsListedPhoneArrival(notification, data)) return;
  if (ActivateRunningSuite(data.m_strAppFolder, processes, windows)) return;
  StartSuite(data.m_strAppFolder, launcher);
}

}  // namespace norvex::helper
