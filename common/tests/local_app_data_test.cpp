// The per-user folder lookup against a scripted registry.
#include <gtest/gtest.h>

#include <map>
#include <tuple>

#include "registry.h"

namespace norvex {
namespace {

class ScriptedRegistry : public RegistryReader {
 public:
  std::map<std::tuple<RegistryRoot, std::u16string, std::u16string>, std::u16string> values;
  std::size_t lastBufferBytes = 0;

  std::optional<std::u16string> ReadText(RegistryRoot root, std::u16string_view key, std::u16string_view name,
                                         std::size_t bufferBytes) override {
    lastBufferBytes = bufferBytes;
    auto it = values.find({root, std::u16string(key), std::u16string(name)});
    if (it == values.end()) return std::nullopt;
    return it->second;
  }
};

const std::u16string kShellFolders = u"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

TEST(LocalAppData, ReadsTheCurrentUsersShellFolderValue) {
  ScriptedRegistry registry;
  registry.values[{RegistryRoot::CurrentUser, kShellFolders, u"Local AppData"}] = u"C:\\Users\\李\\AppData\\Local";
  registry.values[{RegistryRoot::LocalMachine, kShellFolders, u"Local AppData"}] = u"D:\\wrong";
  EXPECT_EQ(ReadLocalAppData(registry, 2600), u"C:\\Users\\李\\AppData\\Local");
  EXPECT_EQ(registry.lastBufferBytes, 2600u);
}

TEST(LocalAppData, IsEmptyWhenMissing) {
  ScriptedRegistry registry;
  EXPECT_EQ(ReadLocalAppData(registry, 520), u"");
}

}  // namespace
}  // namespace norvex
