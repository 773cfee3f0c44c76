// A Windows stand-in for aapt and adb in the Wine tests: it appends its command line to
// "<its own path>.calls" and prints "<its own path>.<first argument>" (output recorded from the
// real aapt, or a scripted adb answer) to standard output, half of it through standard error's
// handle when both are the same pipe, so the capture of both streams is exercised. When
// "<its own path>.<first argument>.<n>" exists it is printed instead for the n-th run with that
// first argument, so one click can get two different answers. While "<its own path>.<first
// argument>.wait" exists (a minute at most) it answers nothing yet, like a long installation.
#include <cstdlib>
#include <string>
#include <vector>

#include "text.h"
#include "win/handles.h"
#include "win/windows_api.h"

namespace {

using norvex::win::unique_file_handle;

std::string ReadAll(const std::wstring& path) {
  std::string bytes;
  unique_file_handle file(
      ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  if (!file) return bytes;
  char chunk[4096];
  DWORD got = 0;
  while (::ReadFile(file.get(), chunk, sizeof chunk, &got, nullptr) && got > 0) bytes.append(chunk, got);
  return bytes;
}

void WriteAll(HANDLE to, const std::string& bytes) {
  DWORD wrote = 0;
  if (!bytes.empty()) ::WriteFile(to, bytes.data(), static_cast<DWORD>(bytes.size()), &wrote, nullptr);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  wchar_t self[MAX_PATH];
  ::GetModuleFileNameW(nullptr, self, MAX_PATH);
  const std::wstring base(self);
  if (unique_file_handle calls{::CreateFileW((base + L".calls").c_str(), FILE_APPEND_DATA,
                                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                              FILE_ATTRIBUTE_NORMAL, nullptr)}) {
    WriteAll(calls.get(), norvex::text::ToUtf8(norvex::win::U(::GetCommandLineW())) + "\n");
  }
  std::string reply;
  if (argc > 1) {
    const std::wstring answer = base + L"." + argv[1];
    const std::wstring counter = answer + L".count";
    const int run = std::atoi(ReadAll(counter).c_str()) + 1;
    if (unique_file_handle count{
            ::CreateFileW(counter.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr)}) {
      WriteAll(count.get(), std::to_string(run));
    }
    const std::wstring wait = answer + L".wait";
    for (int i = 0; i < 600 && ::GetFileAttributesW(wait.c_str()) != INVALID_FILE_ATTRIBUTES; ++i) ::Sleep(100);
    const std::wstring numbered = answer + L"." + std::to_wstring(run);
    reply = ReadAll(::GetFileAttributesW(numbered.c_str()) != INVALID_FILE_ATTRIBUTES ? numbered : answer);
  }
  const std::size_t half = reply.size() / 2;
  WriteAll(::GetStdHandle(STD_OUTPUT_HANDLE), reply.substr(0, half));
  WriteAll(::GetStdHandle(STD_ERROR_HANDLE), reply.substr(half));
  return 0;
}
