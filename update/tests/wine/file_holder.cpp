// Holds a file open without sharing, the way another program on the user's machine might, so
// the Wine tests can see how the updater's operations meet it. It opens the file, creates READY,
// and keeps the handle until STOP appears (at most a minute). Exit 1 when the file could not be
// opened.
//   file_holder PATH READY STOP
#include "win/windows_api.h"

int wmain(int argc, wchar_t** argv) {
  if (argc != 4) return 2;
  HANDLE held = ::CreateFileW(argv[1], GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (held == INVALID_HANDLE_VALUE) return 1;
  HANDLE ready = ::CreateFileW(argv[2], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (ready != INVALID_HANDLE_VALUE) ::CloseHandle(ready);
  for (int waited = 0; waited < 60000 && ::GetFileAttributesW(argv[3]) == INVALID_FILE_ATTRIBUTES; waited += 50) {
    ::Sleep(50);
  }
  ::CloseHandle(held);
  return 0;
}
