// A stand-in for any program the suite starts (the Java runtime, the helper, the launcher):
// it appends one line per start to "<its own path>.calls" (command line, working folder,
// start time in ms, process id), and keeps running while "<its own path>.stay" exists (two minutes at most),
// so tests can see how it was started and whether someone ended it.
#include <cstdio>
#include <string>

#include "text.h"
#include "win/program.h"
#include "win/windows_api.h"

int wmain() {
  const std::wstring self = norvex::win::W(norvex::win::ModulePath());
  wchar_t folder[MAX_PATH];
  ::GetCurrentDirectoryW(MAX_PATH, folder);
  FILETIME now;
  ::GetSystemTimeAsFileTime(&now);
  const unsigned long long stamp = (static_cast<unsigned long long>(now.dwHighDateTime) << 32) | now.dwLowDateTime;

  const std::u16string line = std::u16string(norvex::win::U(::GetCommandLineW())) + u"|" + norvex::win::U(folder) + u"|";
  const std::string record =
      norvex::text::ToUtf8(line) + std::to_string(stamp / 10000) + "|" + std::to_string(::GetCurrentProcessId()) + "\n";
  const std::wstring calls = self + L".calls";
  HANDLE file = ::CreateFileW(calls.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE) {
    DWORD written;
    ::WriteFile(file, record.data(), static_cast<DWORD>(record.size()), &written, nullptr);
    ::CloseHandle(file);
  }

  const std::wstring stay = self + L".stay";
  for (int i = 0; i < 1200 && ::GetFileAttributesW(stay.c_str()) != INVALID_FILE_ATTRIBUTES; ++i) ::Sleep(100);
  return 0;
}
