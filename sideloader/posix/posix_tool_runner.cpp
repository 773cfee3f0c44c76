// Both pipe ends are made close-on-exec, so a process that anything else starts meanwhile
// cannot hold the write end open; only the child gets it, as its descriptors 1 and 2. A
// server the child forks must not keep those open either, or the end of stream never comes:
// adb moves its server's output to a log file. "\" in the tool path and the arguments becomes
// "/", as for every path the installer builds. The child is reaped in the background once the
// output has ended, so no zombie stays and no run waits for the child itself.
#include "posix/posix_tool_runner.h"

#include <errno.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>
#include <vector>

#include "file_access.h"

extern char** environ;

namespace norvex::sideloader {
namespace {

class SpawnActions {
 public:
  SpawnActions() { ::posix_spawn_file_actions_init(&actions_); }
  ~SpawnActions() { ::posix_spawn_file_actions_destroy(&actions_); }
  SpawnActions(const SpawnActions&) = delete;
  SpawnActions& operator=(const SpawnActions&) = delete;
  posix_spawn_file_actions_t* get() { return &actions_; }

 private:
  posix_spawn_file_actions_t actions_;
};

std::vector<std::string> Arguments(const std::u16string& tool, const std::u16string& commandLine) {
  std::vector<std::string> args{files::NativePath(tool)};
  for (const std::u16string& arg : SplitCommandLine(commandLine)) args.push_back(files::NativePath(arg));
  return args;
}

// Spawns with the prepared actions; the child's pid, or -1 when it could not be started.
pid_t Spawn(const std::vector<std::string>& args, SpawnActions& actions) {
  std::vector<char*> argv;
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  pid_t pid = -1;
  if (::posix_spawn(&pid, argv[0], actions.get(), nullptr, argv.data(), environ) != 0) return -1;
  return pid;
}

void ReapLater(pid_t pid) {
  if (::waitpid(pid, nullptr, WNOHANG) == pid) return;
  std::thread([pid] { ::waitpid(pid, nullptr, 0); }).detach();
}

}  // namespace

CapturedBytes PosixToolRunner::Capture(const std::u16string& tool, const std::u16string& commandLine,
                                       std::size_t chunkBytes, unsigned pauseMs) {
  CapturedBytes result;
  int ends[2];
  if (::pipe2(ends, O_CLOEXEC) != 0) {
    result.status = RunStatus::NoPipe;
    return result;
  }
  SpawnActions actions;
  ::posix_spawn_file_actions_addopen(actions.get(), 0, "/dev/null", O_RDONLY, 0);
  ::posix_spawn_file_actions_adddup2(actions.get(), ends[1], 1);
  ::posix_spawn_file_actions_adddup2(actions.get(), ends[1], 2);
  const pid_t pid = Spawn(Arguments(tool, commandLine), actions);
  ::close(ends[1]);
  if (pid < 0) {
    ::close(ends[0]);
    result.status = RunStatus::NotStarted;
    return result;
  }
  std::vector<char> chunk(chunkBytes > 0 ? chunkBytes : 1);
  for (;;) {
    const ssize_t got = ::read(ends[0], chunk.data(), chunk.size());
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    result.bytes.append(chunk.data(), static_cast<std::size_t>(got));
    if (pauseMs > 0) std::this_thread::sleep_for(std::chrono::milliseconds(pauseMs));
  }
  ::close(ends[0]);
  ReapLater(pid);
  result.status = RunStatus::Finished;
  return result;
}

bool PosixToolRunner::StartAndWait(const std::u16string& tool, const std::u16string& commandLine, unsigned waitMs) {
  SpawnActions actions;
  for (int fd = 0; fd <= 2; ++fd) {
    ::posix_spawn_file_actions_addopen(actions.get(), fd, "/dev/null", fd == 0 ? O_RDONLY : O_WRONLY, 0);
  }
  const pid_t pid = Spawn(Arguments(tool, commandLine), actions);
  if (pid < 0) return false;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
  while (::waitpid(pid, nullptr, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() >= deadline) {
      ReapLater(pid);
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return true;
}

}  // namespace norvex::sideloader
