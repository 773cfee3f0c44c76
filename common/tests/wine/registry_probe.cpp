// Prints a registry text value read through the programs' own registry code, as UTF-8, so a
// test can hold it against what Wine's `reg` tool reports. Exit 1 when nothing was read.
//   registry_probe HKCU|HKLM KEY VALUE BUFFER_BYTES
//   registry_probe localappdata BUFFER_BYTES
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "registry.h"
#include "text.h"
#include "win/registry_reader.h"
#include "win/windows_api.h"

using namespace norvex;

int wmain(int argc, wchar_t** argv) {
  _setmode(_fileno(stdout), _O_BINARY);
  win::Win32RegistryReader registry;
  std::optional<std::u16string> value;
  if (argc == 3 && std::wcscmp(argv[1], L"localappdata") == 0) {
    value = ReadLocalAppData(registry, std::wcstoul(argv[2], nullptr, 10));
  } else if (argc == 5) {
    const auto root = std::wcscmp(argv[1], L"HKLM") == 0 ? RegistryRoot::LocalMachine : RegistryRoot::CurrentUser;
    value = registry.ReadText(root, win::U(argv[2]), win::U(argv[3]), std::wcstoul(argv[4], nullptr, 10));
  } else {
    std::fputs("usage: registry_probe HKCU|HKLM KEY VALUE BUFFER_BYTES | localappdata BUFFER_BYTES\n", stderr);
    return 2;
  }
  if (!value || value->empty()) return 1;
  const std::string utf8 = text::ToUtf8(*value);
  std::fwrite(utf8.data(), 1, utf8.size(), stdout);
  std::fputc('\n', stdout);
  return 0;
}
