// Drives the updater's start-up pieces on real Windows processes for the Wine tests.
//   start_up_probe stop-helper INSTALL_DIR      StopRunningHelper; prints stopped=0|1
//   start_up_probe replace-parent STAGED INSTALLED HOLD_MS
//       plays the old updater: holds INSTALLED open without sharing, starts STAGED in the
//       "upd" mode with an inheritable handle to itself, and exits after HOLD_MS
//   start_up_probe upd LANGUAGE HANDLE INSTALLED   the self-replace run (ReplaceSelf)
#include <cstdio>
#include <string>
#include <vector>

#include "settings.h"
#include "win/handle_waiter.h"
#include "win/handles.h"
#include "win/win32_process_table.h"
#include "win/windows_api.h"

using namespace norvex;

namespace {

int ReplaceParent(const std::wstring& staged, const std::wstring& installed, DWORD holdMs) {
  win::unique_file_handle held(
      ::CreateFileW(installed.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!held) return 3;
  win::unique_handle self;
  if (!::DuplicateHandle(::GetCurrentProcess(), ::GetCurrentProcess(), ::GetCurrentProcess(), self.put(), SYNCHRONIZE,
                         TRUE, 0)) {
    return 4;
  }
  std::wstring commandLine = L"\"" + staged + L"\" upd zh_CN " +
                             std::to_wstring(reinterpret_cast<std::uintptr_t>(self.get())) + L" \"" + installed + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  win::unique_process_information child;
  if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, child.put())) {
    return 5;
  }
  child.adopt();
  ::Sleep(holdMs);
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  std::vector<std::u16string> args;
  for (int i = 0; i < argc; ++i) args.push_back(win::ToU16(argv[i]));
  if (argc == 3 && args[1] == u"stop-helper") {
    update::UpdaterSettings settings;
    settings.m_strModuleDir = args[2] + u"\\";
    win::Win32ProcessTable processes;
    update::StopRunningHelper(settings, processes);
    std::printf("stopped=%d\n", settings.m_bHelperStopped ? 1 : 0);
    return 0;
  }
  if (argc == 5 && args[1] == u"replace-parent") return ReplaceParent(argv[2], argv[3], std::wcstoul(argv[4], nullptr, 10));
  if (argc == 5 && args[1] == u"upd") {
    update::Win32HandleWaiter waiter;
    update::ReplaceSelf(waiter, args);
    return 0;
  }
  std::fputs("usage: start_up_probe stop-helper DIR | replace-parent STAGED INSTALLED MS | upd LANG HANDLE INSTALLED\n", stderr);
  return 2;
}
