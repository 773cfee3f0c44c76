// Installing the work copy on the one connected phone through adb: keeping the adb server
// up, judging the device list, probing for an SD card, choosing the install command, and
// mapping the package manager's answer to a message, with one retry on the phone.
// The flow drives the window through the InstallerView port, so tests drive it with a recorder.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "package_info.h"
#include "process_table.h"
#include "sideloader_texts.h"
#include "tool_runner.h"

namespace norvex::sideloader {

class InstallerView {
 public:
  virtual ~InstallerView() = default;
  virtual void SetStatus(const std::u16string& text) = 0;
  virtual void EnableInstall(bool enabled) = 0;
  // A modal OK box owned by the window, captioned "提示信息", without an icon; returns when closed.
  virtual void ShowPrompt(const std::u16string& text) = 0;
};

// Starts a thread procedure; the program uses a detached thread, tests a queue they drain.
class WorkerStarter {
 public:
  virtual ~WorkerStarter() = default;
  virtual void Start(std::function<void()> worker) = 0;
};

// The program's starter: each worker on a detached thread of its own; nothing it throws
// leaves the thread.
class ThreadWorkers final : public WorkerStarter {
 public:
  void Start(std::function<void()> worker) override;
};

struct InstallJob {
  std::u16string strPackage;
  bool bFirstAttempt = true;
};

struct InstallPorts {
  ToolRunner& runner;
  ProcessTable& processes;
  InstallerView& view;
  TextSource& texts;
  WorkerStarter& workers;
};

class Installer {
 public:
  Installer(CPackageInfo& package, InstallJob& job, InstallPorts ports) : package_(package), job_(job), ports_(ports) {}

  void StartServerAtLaunch();
  void OnInstall();
  bool CheckDevices();
  bool ProbeSdCard();
  void InstallWorker();

 private:
  std::u16string AdbPath() const;
  bool EnsureAdbServer();
  void AnnounceInstall();
  void HandleInstallFailure(std::u16string_view output, bool firstAttempt);
  void ReportInstallFailure(const std::u16string& reason);
  void RetryOnPhone(std::u16string_view prefix);
  void CannotRunAdb();

  CPackageInfo& package_;
  InstallJob& job_;
  InstallPorts ports_;
};

// The failure words in the order they are looked for, first found decides.
struct FailureRow {
  const char16_t* word;
  const char16_t* retryPrefix;  // nullptr: the row never retries
  int message;
};
const FailureRow* FindFailureRow(std::u16string_view output);  // nullptr when no word is there

}  // namespace norvex::sideloader
