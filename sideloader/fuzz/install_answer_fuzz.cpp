// Fuzzes the reading of the phone's answer to an install: whatever adb prints, one click ends
// with the install button enabled again, after at most one retry on the phone.
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <string>

#include "install_flow.h"

using namespace norvex;
using namespace norvex::sideloader;

namespace {

class Answer final : public ToolRunner {
 public:
  std::string bytes;
  int runs = 0;
  CapturedBytes Capture(const std::u16string&, const std::u16string&, std::size_t, unsigned) override {
    ++runs;
    return {RunStatus::Finished, bytes};
  }
  bool StartAndWait(const std::u16string&, const std::u16string&, unsigned) override { return true; }
};

class View final : public InstallerView {
 public:
  bool enabled = false;
  int boxes = 0;
  void SetStatus(const std::u16string&) override {}
  void EnableInstall(bool on) override { enabled = on; }
  void ShowPrompt(const std::u16string&) override { ++boxes; }
};

class Queue final : public WorkerStarter {
 public:
  std::deque<std::function<void()>> queue;
  void Start(std::function<void()> worker) override { queue.push_back(std::move(worker)); }
};

class NoProcesses final : public ProcessTable {
 public:
  std::vector<ProcessEntry> List() override { return {}; }
  std::optional<std::u16string> FirstModulePath(std::uint32_t) override { return std::nullopt; }
  bool Terminate(std::uint32_t, std::uint32_t) override { return false; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  Answer runner;
  runner.bytes.assign(reinterpret_cast<const char*>(data) + 1, size - 1);
  NoProcesses processes;
  View view;
  BuiltInTexts texts;
  Queue workers;
  CPackageInfo package;
  package.m_strDisplayName = u"包";
  package.m_nInstallLocation = static_cast<std::int32_t>(data[0] % 4) - 1;
  InstallJob job{u"work.apk", true};
  Installer installer(package, job, {runner, processes, view, texts, workers});
  installer.InstallWorker();
  while (!workers.queue.empty()) {
    auto next = std::move(workers.queue.front());
    workers.queue.pop_front();
    next();
  }
  if (!view.enabled || runner.runs > 2 || view.boxes > 1) __builtin_trap();
  return 0;
}
