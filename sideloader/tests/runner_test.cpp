// The POSIX process runner with real children: both streams arrive, a character split across
// reads arrives whole, the child holds no other descriptor of ours, and a tool that cannot be started
// is told apart from one that ran.
#include <fcntl.h>
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <future>
#include <set>
#include <sstream>
#include <thread>

#include "install_flow.h"
#include "posix/posix_tool_runner.h"
#include "text.h"

namespace norvex::sideloader {
namespace {

TEST(PosixToolRunner, CapturesBothStreamsWhole) {
  PosixToolRunner runner;
  const struct {
    const char16_t* tool;
    const char16_t* commandLine;
    std::size_t chunk;
    const char16_t* output;
  } cases[] = {
      {u"/bin/sh", u" -c \"echo out; echo err >&2; echo out2\"", 4096, u"out\nerr\nout2\n"},
      {u"/bin/echo", u" 版本 '2.0'", 1, u"版本 '2.0'\n"},
  };
  for (const auto& c : cases) {
    const CapturedRun run = RunCaptured(runner, c.tool, c.commandLine, c.chunk, 0);
    EXPECT_EQ(run.status, RunStatus::Finished) << text::ToUtf8(c.commandLine);
    EXPECT_EQ(run.output, c.output) << text::ToUtf8(c.commandLine);
  }
  EXPECT_EQ(RunCaptured(runner, u"/no/such/tool", u" x", 4096, 0).status, RunStatus::NotStarted);
  EXPECT_TRUE(runner.StartAndWait(u"/bin/true", u"", 5000));
  EXPECT_FALSE(runner.StartAndWait(u"/no/such/tool", u"", 5000));
}

// The child gets the pipe only as its standard output and error: neither end stays open under
// another number, where a server the child forks would keep it and the read would never end.
TEST(PosixToolRunner, TheChildHoldsNoOtherDescriptorOfOurs) {
  std::set<int> inheritedAnyway;  // what our own parent left us without close-on-exec
  for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
    const int fd = std::stoi(entry.path().filename().string());
    const int flags = ::fcntl(fd, F_GETFD);
    if (fd > 2 && flags >= 0 && (flags & FD_CLOEXEC) == 0) inheritedAnyway.insert(fd);
  }
  PosixToolRunner runner;
  const CapturedRun run = RunCaptured(runner, u"/bin/ls", u" /proc/self/fd", 4096, 0);
  ASSERT_EQ(run.status, RunStatus::Finished);
  std::vector<std::string> extra;
  std::istringstream lines(text::ToUtf8(run.output));
  for (std::string line; std::getline(lines, line);) {
    const int fd = std::stoi(line);
    if (fd > 2 && inheritedAnyway.count(fd) == 0) extra.push_back(line);
  }
  // ls itself holds one: the folder it lists.
  EXPECT_EQ(extra.size(), 1u) << "the child's descriptors: " << text::ToUtf8(run.output);
}

TEST(ThreadWorkers, RunsEachWorkerOnItsOwnThreadAndSwallowsWhatItThrows) {
  ThreadWorkers workers;
  std::promise<std::thread::id> ran;
  workers.Start([] { throw std::runtime_error("nobody to tell"); });
  workers.Start([&ran] { ran.set_value(std::this_thread::get_id()); });
  auto id = ran.get_future();
  ASSERT_EQ(id.wait_for(std::chrono::seconds(10)), std::future_status::ready);
  EXPECT_TRUE(id.get() != std::this_thread::get_id());
}

}  // namespace
}  // namespace norvex::sideloader
