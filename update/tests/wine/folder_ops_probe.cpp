// Runs one of the updater's folder operations on the paths given, so the Wine tests can try
// them against real Windows sharing and attributes. Positions are printed on one line; the exit
// code is 0 when the operation reported success, 1 when it did not.
//   folder_ops_probe copy SOURCE TARGET
//   folder_ops_probe copy-progress SOURCE TARGET START END
//   folder_ops_probe delete-folder FOLDER
#include <cstdio>
#include <cwchar>
#include <string>

#include "folder_ops.h"
#include "win/windows_api.h"

using namespace norvex;

namespace {

class PrintingSink : public update::ProgressSink {
 public:
  void SetPosition(int position) override {
    std::printf(first_ ? "%d" : " %d", position);
    first_ = false;
  }

 private:
  bool first_ = true;
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const std::wstring command = argc > 1 ? argv[1] : L"";
  bool ok = false;
  if (command == L"copy" && argc == 4) {
    ok = update::CopyOneFile(win::U(argv[2]), win::U(argv[3]));
  } else if (command == L"copy-progress" && argc == 6) {
    PrintingSink sink;
    ok = update::CopyFileWithProgress(win::U(argv[2]), win::U(argv[3]), std::wcstol(argv[4], nullptr, 10),
                                      std::wcstol(argv[5], nullptr, 10), sink);
    std::printf("\n");
  } else if (command == L"delete-folder" && argc == 3) {
    ok = update::DeleteFolder(win::U(argv[2]), true);
  } else {
    std::fputs("usage: folder_ops_probe copy SRC DST | copy-progress SRC DST START END | delete-folder DIR\n", stderr);
    return 2;
  }
  return ok ? 0 : 1;
}
