// The shell services with the ANSI functions of the shell, the registry and kernel32; texts
// are in the system's ANSI code page.
#include "win/win32_host_shell.h"

#include <cstring>

#include "win/handles.h"
#include "win/windows_api.h"
// After windows_api.h, which includes <windows.h> for them.
#include <shellapi.h>
#include <shlobj.h>

#ifndef _WIN64
static_assert(sizeof(SHELLEXECUTEINFOA) == 60, "the 32-bit shell execution record");
#endif

namespace norvex::native {

namespace {

const char* OrNone(const std::optional<std::string>& text) { return text ? text->c_str() : nullptr; }

}  // namespace

bool Win32HostShell::IsWindows64() {
#ifdef _WIN64
  return true;  // a 64-bit process runs on a 64-bit Windows only
#else
  // Looked up at run time: older Windows versions lack the function.
  const HMODULE kernel = ::GetModuleHandleA("kernel32");
  if (!kernel) return false;
  const FARPROC found = ::GetProcAddress(kernel, "IsWow64Process");
  if (!found) return false;
  using IsWow64ProcessFn = BOOL(WINAPI*)(HANDLE, PBOOL);
  const auto isWow64Process = reinterpret_cast<IsWow64ProcessFn>(reinterpret_cast<void (*)()>(found));
  BOOL wow64 = FALSE;
  return isWow64Process(::GetCurrentProcess(), &wow64) && wow64;
#endif
}

bool Win32HostShell::Open(const ShellRequest& request) {
  const HINSTANCE result = ::ShellExecuteA(nullptr, nullptr, request.file.c_str(), OrNone(request.parameters),
                                           OrNone(request.directory), SW_SHOWNORMAL);
  return reinterpret_cast<INT_PTR>(result) > 32;
}

bool Win32HostShell::OpenAndWait(const ShellRequest& request) {
  SHELLEXECUTEINFOA info{};
  info.cbSize = sizeof info;
  // No error box from the shell: failure is answered with false only, as without waiting
  // (ShellExecuteA shows none), and a box nobody expects would block the host's thread.
  info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
  info.lpFile = request.file.c_str();
  info.lpParameters = OrNone(request.parameters);
  info.lpDirectory = OrNone(request.directory);
  info.nShow = SW_SHOWNORMAL;
  if (!::ShellExecuteExA(&info)) return false;
  // No process when the shell handed the file to a program that was already running.
  const win::unique_handle process(info.hProcess);
  if (process) ::WaitForSingleObject(process.get(), INFINITE);
  return true;
}

std::optional<std::string> Win32HostShell::ShellLocalAppData() {
  char path[MAX_PATH] = {};
  if (FAILED(::SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, path))) return std::nullopt;
  return std::string(path, ::strnlen(path, sizeof path));
}

std::optional<std::string> Win32HostShell::RegistryLocalAppData() {
  win::unique_hkey key;
  if (::RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", 0,
                      KEY_READ, key.put()) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  char value[MAX_PATH] = {};
  DWORD size = sizeof value;
  if (::RegQueryValueExA(key.get(), "Local AppData", nullptr, nullptr, reinterpret_cast<BYTE*>(value), &size) !=
      ERROR_SUCCESS) {
    return std::nullopt;
  }
  // A value that fills the buffer carries no terminator: read no further than was written.
  return std::string(value, ::strnlen(value, size));
}

}  // namespace norvex::native
