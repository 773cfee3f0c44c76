// Starting programs through the shell or with the desktop shell's token.
#include "win/win32_launcher.h"

#include <shellapi.h>

namespace norvex::win {
namespace {

using CreateProcessWithTokenWFn = BOOL(WINAPI*)(HANDLE, DWORD, LPCWSTR, LPWSTR, DWORD, LPVOID, LPCWSTR, LPSTARTUPINFOW,
                                                LPPROCESS_INFORMATION);

CreateProcessWithTokenWFn FindCreateProcessWithToken() {
  // Looked up, never linked: older systems lack it.
  HMODULE advapi = ::GetModuleHandleW(L"Advapi32");
  if (advapi == nullptr) return nullptr;
  return reinterpret_cast<CreateProcessWithTokenWFn>(
      reinterpret_cast<void*>(::GetProcAddress(advapi, "CreateProcessWithTokenW")));
}

}  // namespace

std::optional<std::uint32_t> Win32Launcher::ElevationType() {
  unique_handle token;
  if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, token.put())) return std::nullopt;
  TOKEN_ELEVATION_TYPE type{};
  DWORD size = 0;
  if (!::GetTokenInformation(token.get(), TokenElevationType, &type, sizeof type, &size)) return std::nullopt;
  return static_cast<std::uint32_t>(type);
}

void Win32Launcher::ShellOpen(const std::u16string& program, const std::u16string& parameters,
                              const std::u16string& folder) {
  ::ShellExecuteW(nullptr, nullptr, W(program), W(parameters), W(folder), SW_SHOWNORMAL);
}

bool Win32Launcher::EnableIncreaseQuotaPrivilege() {
  unique_handle token;
  if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES, token.put())) return false;
  TOKEN_PRIVILEGES privileges{};
  privileges.PrivilegeCount = 1;
  privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
  ::LookupPrivilegeValueW(nullptr, L"SeIncreaseQuotaPrivilege", &privileges.Privileges[0].Luid);
  ::AdjustTokenPrivileges(token.get(), FALSE, &privileges, 0, nullptr, nullptr);
  // AdjustTokenPrivileges succeeds with ERROR_NOT_ALL_ASSIGNED when we lack the privilege.
  return ::GetLastError() == ERROR_SUCCESS;
}

std::optional<std::uintptr_t> Win32Launcher::ShellWindow() {
  HWND shell = ::GetShellWindow();
  if (shell == nullptr) return std::nullopt;
  return reinterpret_cast<std::uintptr_t>(shell);
}

std::uint32_t Win32Launcher::WindowProcessId(std::uintptr_t window) {
  DWORD pid = 0;
  ::GetWindowThreadProcessId(reinterpret_cast<HWND>(window), &pid);
  return pid;
}

bool Win32Launcher::DuplicateProcessToken(std::uint32_t pid) {
  shellProcess_.reset(::OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, pid));
  if (!shellProcess_) return false;
  if (!::OpenProcessToken(shellProcess_.get(), TOKEN_DUPLICATE, shellToken_.put())) return false;
  constexpr DWORD kAccess = TOKEN_QUERY | TOKEN_DUPLICATE | TOKEN_ASSIGN_PRIMARY | TOKEN_ADJUST_DEFAULT | TOKEN_ADJUST_SESSIONID;
  return ::DuplicateTokenEx(shellToken_.get(), kAccess, nullptr, SecurityImpersonation, TokenPrimary,
                            primaryToken_.put()) != 0;
}

bool Win32Launcher::CanCreateWithToken() { return FindCreateProcessWithToken() != nullptr; }

bool Win32Launcher::CreateWithToken(const std::u16string& program, const std::optional<std::u16string>& commandLine,
                                    const std::u16string& folder) {
  const auto create = FindCreateProcessWithToken();
  if (create == nullptr) return false;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
#ifndef _WIN64
  static_assert(sizeof(STARTUPINFOW) == 68, "the 32-bit start-up record is 68 bytes");
#endif
  std::u16string line = commandLine.value_or(std::u16string());
  unique_process_information process;
  const BOOL created = create(primaryToken_.get(), 0, W(program), commandLine ? W(line.data()) : nullptr, 0, nullptr,
                              W(folder), &startup, process.put());
  if (created) process.adopt();  // closed at once: we never wait for the program
  return created != 0;
}

void Win32Launcher::ReleaseShellToken() {
  primaryToken_.reset();
  shellToken_.reset();
  shellProcess_.reset();
}

}  // namespace norvex::win
