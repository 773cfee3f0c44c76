// The install flow against a scripted adb (our fake, chosen by its first argument, recording its
// calls) and, for the device list without a phone, against the real adb on a private port.
#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <map>
#include <random>

#include "file_access.h"
#include "install_flow.h"
#include "posix/posix_tool_runner.h"
#include "test_support.h"

namespace norvex::sideloader {
namespace {

using namespace testing;
using Events = std::vector<std::u16string>;
using Call = std::vector<std::string>;

constexpr char16_t kWait[] = u" \r\n安装过程中,请等待安装结果.....";

class InstallTest : public ::testing::Test {
 protected:
  void SetUp() override {
    stdfs::create_directories(dir.root() / "app/adb");
    stdfs::create_directories(script);
    stdfs::create_symlink(NORVEX_FAKE_ADB, dir.root() / "app/adb/adb.exe");
    // aapt is played by the same fake: its "l" reply is the manifest dump.
    stdfs::create_symlink(NORVEX_FAKE_ADB, dir.root() / "app/adb/aapt.exe");
    ::setenv("FAKE_ADB_DIR", script.c_str(), 1);
    package.m_strAppFolder = dir.Folder("app");
    package.m_strTempFolder = dir.Folder("temp");
    package.m_strWorkCopy = package.m_strTempFolder + u"nvApkInstall.apk";
    package.m_strDisplayName = u"地图";
    package.m_bFileGiven = package.m_bIsPackage = true;
    processes.entries = {{4, u"adb.exe"}};
  }
  void TearDown() override { ::unsetenv("FAKE_ADB_DIR"); }

  void Reply(const std::string& word, const std::string& text) { WriteBytes(script / word, text); }
  std::vector<Call> Calls() const {
    std::vector<Call> calls;
    std::istringstream lines(ReadBytes(script / "calls"));
    for (std::string line; std::getline(lines, line);) {
      Call call;
      std::istringstream fields(line);
      for (std::string field; std::getline(fields, field, '\t');) call.push_back(field);
      calls.push_back(call);
    }
    return calls;
  }
  void ForgetCalls() { stdfs::remove(script / "calls"); }
  std::string WorkCopy() const { return files::NativePath(package.m_strWorkCopy); }
  Call PhoneInstall() const { return {"install", "-r", WorkCopy()}; }
  Call SdInstall() const { return {"install", "-s", "-r", WorkCopy()}; }

  TempDir dir;
  stdfs::path script = dir.root() / "script";
  CPackageInfo package;
  InstallJob job;
  PosixToolRunner runner;
  ListedProcesses processes;
  RecordingView view;
  BuiltInTexts texts;
  QueuedWorkers workers;
  Installer installer{package, job, {runner, processes, view, texts, workers}};
};

TEST_F(InstallTest, DeviceListVerdicts) {
  const Events several{
      u"box:您已连接多台设备，暂不支持多台设备同时安装应用程序",
      u"status:"
      u"安装失败：您已连接多台设备，暂不支持多台设备同时安装应用程序，您可尝试使用诺维宝完整版选择设备安装此应用程序。",
      u"enable:1"};
  const Events none{u"box:未检测到手机设备，请连接好手机稍后重试",
                    u"status:安装失败：未检测到手机设备，请连接手机稍后重试", u"enable:1"};
  const Events offline{u"box:设备处于离线状态，请连接好手机稍后重试",
                       u"status:安装失败：设备处于离线状态，请连接好手机稍后重试", u"enable:1"};
  const Events unauthorized{u"box:设备未授权，请在手机上允许USB调试后重试",
                            u"status:安装失败：设备未授权，请在手机上允许USB调试后重试", u"enable:1"};
  const Events notReady{u"box:请稍后再试，设备未准备好！", u"status:请用USB线连接好手机..", u"enable:1"};
  const struct {
    const char* what;
    std::string output;
    bool passes;
    Events events;
  } cases[] = {
      {"one phone", "List of devices attached\n0123456789ABCDEF\tdevice\n\n", true, {}},
      {"server starting first",
       "* daemon not running; starting now at tcp:5037\n* daemon started successfully\n"
       "List of devices attached\nemulator-5554\tdevice\n\n",
       true,
       {}},
      {"offline", "List of devices attached\n0123456789ABCDEF\toffline\n\n", false, offline},
      {"two phones", "List of devices attached\nA\tdevice\nB\tdevice\n\n", false, several},
      {"one online, one offline", "List of devices attached\nA\tdevice\nB\toffline\n\n", false, several},
      {"header only", "List of devices attached\n\n", false, none},
      {"header missing", "error: protocol fault\n", false, notReady},
      {"unauthorized alone", "List of devices attached\nA\tunauthorized\n\n", false, unauthorized},
      {"unauthorized beside a phone", "List of devices attached\nA\tdevice\nB\tunauthorized\n\n", false, several},
      {"two unauthorized", "List of devices attached\nA\tunauthorized\nB\tunauthorized\n\n", false, several},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Reply("devices", c.output);
    view.events.clear();
    ForgetCalls();
    EXPECT_EQ(installer.CheckDevices(), c.passes);
    EXPECT_EQ(view.events, c.events);
    EXPECT_EQ(Calls(), std::vector<Call>{{"devices"}});
  }
}

TEST_F(InstallTest, SdCardProbe) {
  const struct {
    std::string output;
    bool card;
  } cases[] = {
      {"Alarms\nAndroid\nDCIM\n", true},
      {"opendir failed, No such file or directory\n", false},
      {"x: opendir failed, Permission denied", false},
      {"", false},
      {"abcd", false},
      {"abcde", true},
  };
  for (const auto& c : cases) {
    Reply("shell", c.output);
    ForgetCalls();
    EXPECT_EQ(installer.ProbeSdCard(), c.card) << c.output;
    EXPECT_EQ(Calls(), (std::vector<Call>{{"shell", "ls sdcard/"}}));
  }
  stdfs::remove(dir.root() / "app/adb/adb.exe");
  EXPECT_FALSE(installer.ProbeSdCard());
}

TEST_F(InstallTest, FirstClickWithoutCardInstallsOnThePhoneWithoutAskingAapt) {
  Reply("devices", "List of devices attached\nA\tdevice\n\n");
  Reply("shell", "opendir failed, No such file or directory\n");
  Reply("install", "Performing Streamed Install\nSuccess\n");
  installer.OnInstall();
  EXPECT_EQ(package.m_nInstallLocation, InternalOnly);
  workers.Drain();
  EXPECT_EQ(Calls(), (std::vector<Call>{{"devices"}, {"shell", "ls sdcard/"}, PhoneInstall()}));
  EXPECT_EQ(view.events,
            (Events{u"enable:0", std::u16string(u"status:没有检测到SD卡，故此应用将直接安装到手机中") + kWait,
                    u"status:地图 已成功安装到您手机！", u"enable:1"}));
  EXPECT_EQ(job.strPackage, package.m_strWorkCopy);
}

TEST_F(InstallTest, AnnouncedLocationDecidesTheCommand) {
  const struct {
    std::int32_t before;
    std::string dump;  // what aapt l -a prints
    std::int32_t after;
    const char16_t* announced;
    bool sdCard;
  } cases[] = {
      {Auto, "A: android:installLocation(0x010102b7)=(type 0x10)0x2\n", PreferExternal, u"将安装到SD卡中", true},
      {Auto, "A: android:installLocation(0x010102b7)=(type 0x10)0x0\n", Auto, u"将优先安装到SD卡中", true},
      {PreferExternal, "A: android:installLocation(0x010102b7)=(type 0x10)0x1\n", InternalOnly, u"将安装到手机中",
       false},
      {InternalOnly, "A: android:versionCode(0x0101021b)=(type 0x10)0x1\n", Unset, u"将安装到手机中", false},
      {Unset, "A: android:installLocation(0x010102b7)=(type 0x10)0x7\n", Unset, u"将安装到手机中", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.dump);
    Reply("devices", "List of devices attached\nA\tdevice\n\n");
    Reply("shell", "Android\nDCIM\n");
    Reply("l", c.dump);
    Reply("install", "Success\n");
    ForgetCalls();
    view.events.clear();
    package.m_nInstallLocation = c.before;
    installer.OnInstall();
    workers.Drain();
    EXPECT_EQ(package.m_nInstallLocation, c.after);
    std::vector<Call> expected{{"devices"}};
    if (c.before == Auto || c.before == PreferExternal) expected.push_back({"shell", "ls sdcard/"});
    expected.push_back({"l", "-a", WorkCopy()});
    expected.push_back(c.sdCard ? SdInstall() : PhoneInstall());
    EXPECT_EQ(Calls(), expected);
    EXPECT_EQ(
        view.events,
        (Events{u"enable:0", u"status:正在获取apk安装位置信息...", u"status:地图" + std::u16string(c.announced) + kWait,
                c.sdCard ? u"status:地图 已成功安装到SD卡！" : u"status:地图 已成功安装到您手机！", u"enable:1"}));
  }
}

TEST_F(InstallTest, ServerCheckAndUnstartableAdb) {
  installer.StartServerAtLaunch();
  EXPECT_EQ(Calls(), std::vector<Call>{{"start-server"}});
  ForgetCalls();
  Reply("devices", "List of devices attached\n\n");
  // adb.exe running: no server start. Another spelling does not count.
  installer.OnInstall();
  EXPECT_EQ(Calls(), std::vector<Call>{{"devices"}});
  processes.entries = {{9, u"ADB.EXE"}, {10, u"adb"}};
  ForgetCalls();
  installer.OnInstall();
  EXPECT_EQ(Calls(), (std::vector<Call>{{"start-server"}, {"devices"}}));

  const Events adbDown{u"enable:0", u"box:adb未正常启动,请重新点击安装按钮。", u"enable:1"};
  stdfs::remove(dir.root() / "app/adb/adb.exe");
  view.events.clear();
  installer.OnInstall();  // the server cannot be started
  EXPECT_EQ(view.events, adbDown);
  processes.entries = {{4, u"adb.exe"}};
  view.events.clear();
  installer.OnInstall();  // a server runs, but the device list cannot be run
  EXPECT_EQ(view.events, adbDown);
  view.events.clear();
  job = {package.m_strWorkCopy, true};
  installer.InstallWorker();  // nor the installation
  EXPECT_EQ(view.events, (Events{u"box:adb未正常启动,请重新点击安装按钮。", u"enable:1"}));
  EXPECT_EQ(workers.started, 0);

  package.m_bIsPackage = false;
  view.events.clear();
  installer.OnInstall();
  EXPECT_TRUE(view.events.empty());
}

TEST_F(InstallTest, EveryFailureWordGivesItsMessage) {
  const struct {
    const char* word;
    int message;
  } rows[] = {
      {"INSTALL_FAILED_ALREADY_EXISTS", 43},
      {"INSTALL_FAILED_DUPLICATE_PACKAGE", 43},
      {"INSTALL_FAILED_INVALID_APK", 44},
      {"INSTALL_FAILED_MISSING_SHARED_LIBRARY", 44},
      {"INSTALL_FAILED_REPLACE_COULDNT_DELETE", 44},
      {"INSTALL_FAILED_DEXOPT", 44},
      {"INSTALL_FAILED_TEST_ONLY", 44},
      {"INSTALL_FAILED_INVALID_URI", 45},
      {"INSTALL_FAILED_INSUFFICIENT_STORAGE", 46},
      {"INSTALL_FAILED_NO_SHARED_USER", 48},
      {"INSTALL_FAILED_UPDATE_INCOMPATIBLE", 49},
      {"INSTALL_FAILED_SHARED_USER_INCOMPATIBLE", 49},
      {"INSTALL_FAILED_CONFLICTING_PROVIDER", 49},
      {"INSTALL_FAILED_OLDER_SDK", 54},
      {"INSTALL_FAILED_NEWER_SDK", 56},
      {"INSTALL_FAILED_CPU_ABI_INCOMPATIBLE", 58},
      {"INSTALL_FAILED_MISSING_FEATURE", 58},
      {"INSTALL_FAILED_INTERNAL_ERROR", 58},
      {"INSTALL_FAILED_CONTAINER_ERROR", 60},
      {"INSTALL_FAILED_INVALID_INSTALL_LOCATION", 61},
      {"INSTALL_FAILED_MEDIA_UNAVAILABLE", 62},
      {"INSTALL_PARSE_FAILED_INCONSISTENT_CERTIFICATES", 64},
  };
  // On the phone no row retries; each answer is reported at once with the package's name.
  for (const auto& row : rows) {
    SCOPED_TRACE(row.word);
    Reply("install", std::string("Failure [") + row.word + "]\n");
    ForgetCalls();
    view.events.clear();
    package.m_nInstallLocation = InternalOnly;
    job = {package.m_strWorkCopy, true};
    installer.InstallWorker();
    const std::u16string reason = u"地图" + texts.Load(row.message);
    EXPECT_EQ(view.events, (Events{u"box:安装失败\r\n\r\n" + reason, u"status:安装失败," + reason, u"enable:1"}));
    EXPECT_EQ(Calls(), std::vector<Call>{PhoneInstall()});
  }
  EXPECT_EQ(workers.started, 0);
  EXPECT_EQ(texts.Load(43), u"应用已存在，请卸载后再进行安装");
  EXPECT_EQ(texts.Load(64), u"文件签名不一致");

  Reply("install", "Failure [INSTALL_FAILED_VERSION_DOWNGRADE]\n");
  view.events.clear();
  installer.InstallWorker();
  EXPECT_EQ(view.events, (Events{u"box:安装失败\r\n\r\n失败原因未知", u"status:安装失败,失败原因未知", u"enable:1"}));

  Reply("install", "Failure [INSTALL_FAILED_ALREADY_EXISTS]\nSuccess\n");
  view.events.clear();
  installer.InstallWorker();
  EXPECT_EQ(view.events, (Events{u"status:地图 已成功安装到您手机！", u"enable:1"}));
}

TEST_F(InstallTest, RetryOnThePhoneOncePerClick) {
  const std::string storage = "Failure [INSTALL_FAILED_INSUFFICIENT_STORAGE]\n";
  const std::u16string storageFailed = u"地图没有足够的存储空间";
  const struct {
    const char* what;
    std::int32_t location;
    std::string first, second;
    const char16_t* retryPrefix;  // nullptr: reported at once
    Events end;
  } cases[] = {
      {"storage with Auto, then again on the phone",
       Auto,
       storage,
       storage,
       u"SD卡无足够空间,正在尝试将",
       {u"box:安装失败\r\n\r\n" + storageFailed, u"status:安装失败," + storageFailed, u"enable:1"}},
      {"storage with Auto, then success",
       Auto,
       storage,
       "Success\n",
       u"SD卡无足够空间,正在尝试将",
       {u"status:地图 已成功安装到您手机！", u"enable:1"}},
      {"container error with Auto",
       Auto,
       "Failure [INSTALL_FAILED_CONTAINER_ERROR]",
       "Success",
       u"SD卡访问失败,正在尝试将",
       {u"status:地图 已成功安装到您手机！", u"enable:1"}},
      {"invalid location with Auto",
       Auto,
       "Failure [INSTALL_FAILED_INVALID_INSTALL_LOCATION]",
       "Success",
       u"可能是系统应用，不能装载SD卡,正在尝试将",
       {u"status:地图 已成功安装到您手机！", u"enable:1"}},
      {"no media with Auto",
       Auto,
       "Failure [INSTALL_FAILED_MEDIA_UNAVAILABLE]",
       "Success",
       u"SD卡不存在,正在尝试将",
       {u"status:地图 已成功安装到您手机！", u"enable:1"}},
      {"storage with PreferExternal",
       PreferExternal,
       storage,
       "",
       nullptr,
       {u"box:安装失败\r\n\r\n" + storageFailed, u"status:安装失败," + storageFailed, u"enable:1"}},
      // Phones since Android 10 refuse the SD-card flag; whatever the location, the first
      // attempt goes on to the phone.
      {"flag refused with PreferExternal",
       PreferExternal,
       "adb: Unknown option -s\n",
       "Success",
       u"SD卡安装不受支持,正在尝试将",
       {u"status:地图 已成功安装到您手机！", u"enable:1"}},
      {"flag refused beside a failure word",
       Auto,
       "Unknown option -s INSTALL_FAILED_ALREADY_EXISTS",
       "Success",
       u"SD卡安装不受支持,正在尝试将",
       {u"status:地图 已成功安装到您手机！", u"enable:1"}},
      {"flag refused on the retry as well",
       Auto,
       "Unknown option -s",
       "Unknown option -s",
       u"SD卡安装不受支持,正在尝试将",
       {u"box:安装失败\r\n\r\n失败原因未知", u"status:安装失败,失败原因未知", u"enable:1"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    stdfs::remove(script / "install.0");
    Reply("install.0", c.first);
    Reply("install.1", c.second);
    ForgetCalls();
    view.events.clear();
    workers = QueuedWorkers();
    package.m_nInstallLocation = c.location;
    job = {package.m_strWorkCopy, true};
    installer.InstallWorker();
    workers.Drain();
    Events expected;
    std::vector<Call> calls{SdInstall()};
    if (c.retryPrefix != nullptr) {
      expected.push_back(u"status:" + std::u16string(c.retryPrefix) + u"地图安装到手机上" + kWait);
      calls.push_back(PhoneInstall());
      EXPECT_EQ(package.m_nInstallLocation, InternalOnly);
      EXPECT_FALSE(job.bFirstAttempt);
    }
    expected.insert(expected.end(), c.end.begin(), c.end.end());
    EXPECT_EQ(view.events, expected);
    EXPECT_EQ(Calls(), calls);
    EXPECT_EQ(workers.started, c.retryPrefix != nullptr ? 1 : 0);
  }
}

TEST_F(InstallTest, RetryRowsDoNotRetryOnTheSecondAttempt) {
  Reply("install", "Failure [INSTALL_FAILED_MEDIA_UNAVAILABLE]");
  package.m_nInstallLocation = Auto;
  job = {package.m_strWorkCopy, false};
  installer.InstallWorker();
  EXPECT_EQ(workers.started, 0);
  EXPECT_EQ(view.events.front(), u"box:安装失败\r\n\r\n地图SD卡不存在");
  EXPECT_EQ(Calls(), std::vector<Call>{SdInstall()});
}

// Records the exact texts handed to the platform, with chunk sizes, pauses and waits, and
// answers each run from a script keyed by the command-line text.
class TextRecordingRunner final : public ToolRunner {
 public:
  std::map<std::u16string, std::string> replies;
  std::vector<std::u16string> runs;
  CapturedBytes Capture(const std::u16string& tool, const std::u16string& commandLine, std::size_t chunkBytes,
                        unsigned pauseMs) override {
    runs.push_back(tool + u"|" + commandLine + u"|" + text::FromUtf8(std::to_string(chunkBytes)) + u"|" +
                   text::FromUtf8(std::to_string(pauseMs)));
    return {RunStatus::Finished, replies[commandLine]};
  }
  bool StartAndWait(const std::u16string& tool, const std::u16string& commandLine, unsigned waitMs) override {
    runs.push_back(tool + u"|" + commandLine + u"|wait " + text::FromUtf8(std::to_string(waitMs)));
    return true;
  }
};

TEST(InstallCommands, ExactCommandLineTexts) {
  CPackageInfo package;
  package.m_strAppFolder = u"C:\\Suite\\";
  package.m_strWorkCopy = u"C:\\Data\\IstallTemp\\nvApkInstall.apk";
  package.m_strDisplayName = u"x";
  package.m_bFileGiven = package.m_bIsPackage = true;
  InstallJob job;
  TextRecordingRunner runner;
  runner.replies[u" devices"] = "List of devices attached\nA\tdevice\n";
  runner.replies[u" shell \"ls sdcard/\""] = "Android\n";
  runner.replies[u" l -a \"C:\\Data\\IstallTemp\\nvApkInstall.apk\""] = "android:installLocation(0x1)=(type 0x10)0x0";
  runner.replies[u"  install -s  -r \"C:\\Data\\IstallTemp\\nvApkInstall.apk\""] =
      "Failure [INSTALL_FAILED_CONTAINER_ERROR]";
  runner.replies[u"  install  -r \"C:\\Data\\IstallTemp\\nvApkInstall.apk\""] = "Success";
  ListedProcesses processes;  // no adb running: the server is started on demand
  RecordingView view;
  BuiltInTexts texts;
  QueuedWorkers workers;
  Installer installer(package, job, {runner, processes, view, texts, workers});
  installer.StartServerAtLaunch();
  installer.OnInstall();
  workers.Drain();
  const std::u16string adb = u"C:\\Suite\\adb\\adb.exe";
  const std::u16string aapt = u"C:\\Suite\\adb\\aapt.exe";
  const std::u16string copy = u"\"C:\\Data\\IstallTemp\\nvApkInstall.apk\"";
  EXPECT_EQ(runner.runs, (std::vector<std::u16string>{
                             adb + u"| start-server|wait 5000",
                             adb + u"| start-server|wait 2000",
                             adb + u"| devices|4096|0",
                             adb + u"| shell \"ls sdcard/\"|4096|0",
                             aapt + u"| l -a " + copy + u"|4095|10",
                             adb + u"|  install -s  -r " + copy + u"|4096|100",
                             adb + u"|  install  -r " + copy + u"|4096|100",
                         }));
}

// The real adb with no phone: a private server port keeps this away from any other adb, and
// the server that adb forks must not hold the output pipe, or the read never ends.
TEST_F(InstallTest, RealAdbWithoutAPhoneReportsNoDevice) {
  std::random_device seed;
  const std::string port = std::to_string(20000 + seed() % 20000);
  ::setenv("ANDROID_ADB_SERVER_PORT", port.c_str(), 1);
  stdfs::remove(dir.root() / "app/adb/adb.exe");
  stdfs::create_symlink("/usr/bin/adb", dir.root() / "app/adb/adb.exe");
  auto verdict = std::async(std::launch::async, [&] { return installer.CheckDevices(); });
  const bool ended = verdict.wait_for(std::chrono::seconds(60)) == std::future_status::ready;
  EXPECT_TRUE(ended) << "the device list never reached the end of its output";
  std::system(("ANDROID_ADB_SERVER_PORT=" + port + " /usr/bin/adb kill-server >/dev/null 2>&1").c_str());
  EXPECT_FALSE(verdict.get());
  EXPECT_EQ(view.events, (Events{u"box:未检测到手机设备，请连接好手机稍后重试",
                                 u"status:安装失败：未检测到手机设备，请连接手机稍后重试", u"enable:1"}));
  ::unsetenv("ANDROID_ADB_SERVER_PORT");
}

}  // namespace
}  // namespace norvex::sideloader
