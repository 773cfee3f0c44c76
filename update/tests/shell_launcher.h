// A Launcher for tests of what the updater starts: the process is not elevated, so every start
// goes through ShellOpen, which the test records; the token path always fails.
#pragma once

#include "launch.h"

namespace norvex::update {

class ShellOnlyLauncher : public Launcher {
 public:
  std::optional<std::uint32_t> ElevationType() override { return 1; }
  bool EnableIncreaseQuotaPrivilege() override { return false; }
  std::optional<std::uintptr_t> ShellWindow() override { return std::nullopt; }
  std::uint32_t WindowProcessId(std::uintptr_t) override { return 0; }
  bool DuplicateProcessToken(std::uint32_t) override { return false; }
  bool CanCreateWithToken() override { return false; }
  bool CreateWithToken(const std::u16string&, const std::optional<std::u16string>&, const std::u16string&) override {
    return false;
  }
  void ReleaseShellToken() override {}
};

}  // namespace norvex::update
