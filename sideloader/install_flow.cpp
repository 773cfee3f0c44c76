// The install click and its worker. The phone's package manager answers in words; the first
// word found (in table order) decides the message. Messages and statuses are set in the order
// the user should see them: a status that explains a box is set once the box is closed.
#include "install_flow.h"

#include <thread>

#include "inspection.h"

namespace norvex::sideloader {
namespace {

constexpr std::size_t kAdbChunk = 4096;
constexpr unsigned kInstallPauseMs = 100;
constexpr unsigned kLaunchServerWaitMs = 5000;
constexpr unsigned kServerWaitMs = 2000;

constexpr char16_t kWaitForResult[] = u" \r\n安装过程中,请等待安装结果.....";
constexpr char16_t kAdbNotRunning[] = u"adb未正常启动,请重新点击安装按钮。";
// Android 10 and later dropped the SD-card flag of the install command; such a phone can only
// take the package on the phone itself.
constexpr char16_t kNoSdFlag[] = u"Unknown option -s";

constexpr FailureRow kFailures[] = {
    {u"INSTALL_FAILED_ALREADY_EXISTS", nullptr, 43},
    {u"INSTALL_FAILED_DUPLICATE_PACKAGE", nullptr, 43},
    {u"INSTALL_FAILED_INVALID_APK", nullptr, 44},
    {u"INSTALL_FAILED_MISSING_SHARED_LIBRARY", nullptr, 44},
    {u"INSTALL_FAILED_REPLACE_COULDNT_DELETE", nullptr, 44},
    {u"INSTALL_FAILED_DEXOPT", nullptr, 44},
    {u"NSTALL_FAILED_TEST_ONLY", nullptr, 44},
    {u"INSTALL_FAILED_INVALID_URI", nullptr, 45},
    {u"INSTALL_FAILED_INSUFFICIENT_STORAGE", u"SD卡无足够空间,正在尝试将", 46},
    {u"INSTALL_FAILED_NO_SHARED_USER", nullptr, 48},
    {u"INSTALL_FAILED_UPDATE_INCOMPATIBLE", nullptr, 49},
    {u"INSTALL_FAILED_SHARED_USER_INCOMPATIBLE", nullptr, 49},
    {u"INSTALL_FAILED_CONFLICTING_PROVIDER", nullptr, 49},
    {u"INSTALL_FAILED_OLDER_SDK", nullptr, 54},
    {u"INSTALL_FAILED_NEWER_SDK", nullptr, 56},
    {u"INSTALL_FAILED_CPU_ABI_INCOMPATIBLE", nullptr, 58},
    {u"INSTALL_FAILED_MISSING_FEATURE", nullptr, 58},
    {u"INSTALL_FAILED_INTERNAL_ERROR", nullptr, 58},
    {u"INSTALL_FAILED_CONTAINER_ERROR", u"SD卡访问失败,正在尝试将", 60},
    {u"INSTALL_FAILED_INVALID_INSTALL_LOCATION", u"可能是系统应用，不能装载SD卡,正在尝试将", 61},
    {u"INSTALL_FAILED_MEDIA_UNAVAILABLE", u"SD卡不存在,正在尝试将", 62},
    {u"INSTALL_PARSE_FAILED_INCONSISTENT_CERTIFICATES", nullptr, 64},
};

bool GoesToSdCard(std::int32_t location) { return location == Auto || location == PreferExternal; }
bool Contains(std::u16string_view text, std::u16string_view word) {
  return text.find(word) != std::u16string_view::npos;
}

}  // namespace

const FailureRow* FindFailureRow(std::u16string_view output) {
  for (const FailureRow& row : kFailures) {
    if (Contains(output, row.word)) return &row;
  }
  return nullptr;
}

void ThreadWorkers::Start(std::function<void()> worker) {
  std::thread([worker = std::move(worker)] {
    try {
      worker();
    } catch (...) {
      // A worker reports through the window; an exception has nobody left to tell.
    }
  }).detach();
}

std::u16string Installer::AdbPath() const { return package_.m_strAppFolder + u"adb\\adb.exe"; }

void Installer::StartServerAtLaunch() { ports_.runner.StartAndWait(AdbPath(), u" start-server", kLaunchServerWaitMs); }

void Installer::CannotRunAdb() {
  // Without this the install button would stay dead until another package is loaded.
  ports_.view.ShowPrompt(kAdbNotRunning);
  ports_.view.EnableInstall(true);
}

void Installer::OnInstall() {
  if (!IsLoaded(package_)) return;
  ports_.view.EnableInstall(false);
  if (!EnsureAdbServer()) {
    CannotRunAdb();
    return;
  }
  if (!CheckDevices()) return;
  if (GoesToSdCard(package_.m_nInstallLocation) && !ProbeSdCard()) {
    package_.m_nInstallLocation = InternalOnly;
    ports_.view.SetStatus(std::u16string(u"没有检测到SD卡，故此应用将直接安装到手机中") + kWaitForResult);
  } else {
    AnnounceInstall();
  }
  job_.strPackage = package_.m_strWorkCopy;
  job_.bFirstAttempt = true;
  ports_.workers.Start([this] { InstallWorker(); });
}

bool Installer::EnsureAdbServer() {
  for (const ProcessEntry& process : ports_.processes.List()) {
    if (process.exeName == u"adb.exe") return true;
  }
  return ports_.runner.StartAndWait(AdbPath(), u" start-server", kServerWaitMs);
}

bool Installer::CheckDevices() {
  const CapturedRun run = RunCaptured(ports_.runner, AdbPath(), u" devices", kAdbChunk, 0);
  if (run.status != RunStatus::Finished) {
    CannotRunAdb();
    return false;
  }
  InstallerView& view = ports_.view;
  if (!Contains(run.output, u"List of devices attached")) {
    view.ShowPrompt(u"请稍后再试，设备未准备好！");
    view.SetStatus(u"请用USB线连接好手机..");
    view.EnableInstall(true);
    return false;
  }
  const int online = CountOccurrences(run.output, u"device");
  const int offline = CountOccurrences(run.output, u"offline");
  // A phone that has not allowed USB debugging is a phone too: it must neither pass for no
  // phone nor let a second, authorized one look like the only one.
  const int unauthorized = CountOccurrences(run.output, u"unauthorized");
  const int total = online + offline - 1;
  const auto fail = [&view](const char16_t* box, const char16_t* status) {
    view.ShowPrompt(box);
    view.SetStatus(status);
    view.EnableInstall(true);
    return false;
  };
  if (total + unauthorized > 1) {
    return fail(u"您已连接多台设备，暂不支持多台设备同时安装应用程序",
                u"安装失败：您已连接多台设备，暂不支持多台设备同时安装应用程序，您可尝试使用诺维宝完整版选择设备安装此"
                u"应用程序。");
  }
  if (total == 0 && unauthorized == 1) {
    return fail(u"设备未授权，请在手机上允许USB调试后重试", u"安装失败：设备未授权，请在手机上允许USB调试后重试");
  }
  if (total == 0)
    return fail(u"未检测到手机设备，请连接好手机稍后重试", u"安装失败：未检测到手机设备，请连接手机稍后重试");
  if (total == 1 && offline == 1) {
    return fail(u"设备处于离线状态，请连接好手机稍后重试", u"安装失败：设备处于离线状态，请连接好手机稍后重试");
  }
  return true;
}

bool Installer::ProbeSdCard() {
  const CapturedRun run = RunCaptured(ports_.runner, AdbPath(), u" shell \"ls sdcard/\"", kAdbChunk, 0);
  if (run.status != RunStatus::Finished) return false;
  return !Contains(run.output, u"opendir failed,") && run.output.size() >= 5;
}

void Installer::AnnounceInstall() {
  ports_.view.SetStatus(u"正在获取apk安装位置信息...");
  ReadInstallLocation(package_, ports_.runner);
  const char16_t* where = u"将安装到手机中";
  if (package_.m_nInstallLocation == PreferExternal) where = u"将安装到SD卡中";
  if (package_.m_nInstallLocation == Auto) where = u"将优先安装到SD卡中";
  ports_.view.SetStatus(package_.m_strDisplayName + where + kWaitForResult);
}

void Installer::InstallWorker() {
  const std::u16string path = job_.strPackage;
  const bool firstAttempt = job_.bFirstAttempt;
  const bool sdCard = GoesToSdCard(package_.m_nInstallLocation);
  const std::u16string commandLine = (sdCard ? u"  install -s  -r \"" : u"  install  -r \"") + path + u"\"";
  const CapturedRun run = RunCaptured(ports_.runner, AdbPath(), commandLine, kAdbChunk, kInstallPauseMs);
  if (run.status != RunStatus::Finished) {
    CannotRunAdb();
    return;
  }
  if (Contains(run.output, u"Success")) {
    ports_.view.SetStatus(package_.m_strDisplayName + (sdCard ? u" 已成功安装到SD卡！" : u" 已成功安装到您手机！"));
    ports_.view.EnableInstall(true);
    return;
  }
  HandleInstallFailure(run.output, firstAttempt);
}

void Installer::HandleInstallFailure(std::u16string_view output, bool firstAttempt) {
  if (firstAttempt && Contains(output, kNoSdFlag)) {
    RetryOnPhone(u"SD卡安装不受支持,正在尝试将");
    return;
  }
  const FailureRow* row = FindFailureRow(output);
  if (row == nullptr) {
    ReportInstallFailure(u"失败原因未知");
    return;
  }
  if (row->retryPrefix != nullptr && package_.m_nInstallLocation == Auto && firstAttempt) {
    RetryOnPhone(row->retryPrefix);
    return;
  }
  ReportInstallFailure(package_.m_strDisplayName + ports_.texts.Load(row->message));
}

void Installer::RetryOnPhone(std::u16string_view prefix) {
  package_.m_nInstallLocation = InternalOnly;
  ports_.view.SetStatus(std::u16string(prefix) + package_.m_strDisplayName + u"安装到手机上" + kWaitForResult);
  job_.bFirstAttempt = false;
  ports_.workers.Start([this] { InstallWorker(); });
}

void Installer::ReportInstallFailure(const std::u16string& reason) {
  ports_.view.ShowPrompt(u"安装失败\r\n\r\n" + reason);
  ports_.view.SetStatus(u"安装失败," + reason);
  ports_.view.EnableInstall(true);
}

}  // namespace norvex::sideloader
