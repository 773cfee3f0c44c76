// Recording the installed version and handing over to the staged updater, on Windows.
#include "win/registry_writer.h"

#include "win/handles.h"
#include "win/windows_api.h"

namespace norvex::update {

bool Win32RegistryWriter::WriteText(RegistryRoot root, const std::u16string& subKey, const std::u16string& valueName,
                                    const std::u16string& text) {
  const HKEY hive = root == RegistryRoot::CurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
  win::unique_hkey key;
  if (::RegCreateKeyExW(hive, win::W(subKey), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_READ | KEY_WRITE, nullptr,
                        key.put(), nullptr) != ERROR_SUCCESS) {
    return false;
  }
  const DWORD bytes = static_cast<DWORD>((text.size() + 1) * sizeof(char16_t));  // with the terminating zero
  return ::RegSetValueExW(key.get(), win::W(valueName), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()), bytes) ==
         ERROR_SUCCESS;
}

std::optional<std::intptr_t> Win32SelfReplaceStarter::OpenSelfInheritable() {
  HANDLE self = ::OpenProcess(SYNCHRONIZE, TRUE, ::GetCurrentProcessId());
  if (self == nullptr) return std::nullopt;
  return reinterpret_cast<std::intptr_t>(self);
}

bool Win32SelfReplaceStarter::Start(const std::u16string& commandLine) {
  std::u16string line = commandLine;  // CreateProcessW may write into the command line
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  win::unique_process_information process;
  if (!::CreateProcessW(nullptr, win::W(line.data()), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                        process.put())) {
    return false;
  }
  process.adopt();
  return true;
}

void Win32SelfReplaceStarter::CloseSelf(std::intptr_t handle) { ::CloseHandle(reinterpret_cast<HANDLE>(handle)); }

}  // namespace norvex::update
