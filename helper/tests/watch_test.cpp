// The helper window's start: its two folders and its registrations, including the start that
// goes on after a registration failed.
#include "watch.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace norvex::helper {
namespace {

class ScriptedRegistry : public RegistryReader {
 public:
  std::optional<std::u16string> localAppData;
  std::size_t bufferBytes = 0;
  std::optional<std::u16string> ReadText(RegistryRoot root, std::u16string_view key, std::u16string_view name,
                                         std::size_t bytes) override {
    EXPECT_EQ(root, RegistryRoot::CurrentUser);
    EXPECT_EQ(key, u"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders");
    EXPECT_EQ(name, u"Local AppData");
    bufferBytes = bytes;
    return localAppData;
  }
};

class ScriptedRegistrar : public NotificationRegistrar {
 public:
  int failAt = -1;  // index of the registration that fails
  std::vector<std::string> registered;
  std::vector<std::u16string> shown;
  bool Register(const InterfaceClass& cls) override {
    char guid[40];
    std::snprintf(guid, sizeof guid, "%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X", cls.data1, cls.data2,
                  cls.data3, cls.data4[0], cls.data4[1], cls.data4[2], cls.data4[3], cls.data4[4], cls.data4[5],
                  cls.data4[6], cls.data4[7]);
    registered.push_back(guid);
    return static_cast<int>(registered.size()) - 1 != failAt;
  }
  void ShowFailure(const std::u16string& text) override { shown.push_back(text); }
};

const std::vector<std::string> kClasses = {
    "A5DCBF10-6530-11D2-901F-00C04FB951ED", "53F56307-B6BF-11D0-94F2-00A0C91EFB8B",
    "4D1E55B2-F16F-11CF-88CB-001111000030", "AD498944-762F-11D0-8DCB-00C04FC3358C"};

TEST(Watch, RegistersInOrderAndStopsAtTheFirstFailure) {
  for (int failAt = -1; failAt < 4; ++failAt) {
    ScriptedRegistrar registrar;
    registrar.failAt = failAt;
    EXPECT_EQ(RegisterForArrivals(registrar), failAt < 0) << failAt;
    const std::size_t attempted = failAt < 0 ? 4 : static_cast<std::size_t>(failAt) + 1;
    EXPECT_EQ(registrar.registered, std::vector<std::string>(kClasses.begin(), kClasses.begin() + attempted)) << failAt;
    EXPECT_EQ(registrar.shown, failAt < 0 ? std::vector<std::u16string>{}
                                          : std::vector<std::u16string>{u"Can't register device notification: "});
  }
}

TEST(Watch, DataFolderFallsBackToTheInstallationsDrive) {
  struct Case {
    const char* what;
    std::optional<std::u16string> localAppData;
    std::u16string appFolder, dataFolder;
  } const cases[] = {
      {"recorded folder", u"C:\\Users\\李\\AppData\\Local", u"D:\\Suite\\",
       u"C:\\Users\\李\\AppData\\Local\\VantrelTool\\"},
      {"no value", std::nullopt, u"C:\\Program Files\\Norvex\\", u"C:\\VantrelTool\\"},
      {"empty value", u"", u"E:\\Norvex\\", u"E:\\VantrelTool\\"},
  };
  for (const Case& c : cases) {
    ScriptedRegistry registry;
    registry.localAppData = c.localAppData;
    EXPECT_EQ(DataFolderFor(registry, c.appFolder), c.dataFolder) << c.what;
    EXPECT_EQ(registry.bufferBytes, 2600u) << c.what;
  }
}

TEST(Watch, AppFolderKeepsItsBackslash) {
  EXPECT_EQ(AppFolderOf(u"C:\\Program Files\\Norvex\\VantrelZURaduHelper.exe"), u"C:\\Program Files\\Norvex\\");
  EXPECT_EQ(AppFolderOf(u"D:\\VantrelZURaduHelper.exe"), u"D:\\");
}

TEST(Watch, FoldersAreFilledEvenAfterAFailedRegistration) {
  for (int failAt : {-1, 0, 2}) {
    ScriptedRegistrar registrar;
    registrar.failAt = failAt;
    ScriptedRegistry registry;  // no "Local AppData": the drive fallback needs the app folder
    HelperWindowData data;
    InitWatch(data, registrar, registry, u"D:\\Norvex\\VantrelZURaduHelper.exe");
    EXPECT_EQ(data.m_strAppFolder, u"D:\\Norvex\\") << failAt;
    EXPECT_EQ(data.m_strDataFolder, u"D:\\VantrelTool\\") << failAt;
    EXPECT_EQ(registrar.shown.size(), failAt < 0 ? 0u : 1u) << failAt;
  }
}

}  // namespace
}  // namespace norvex::helper
