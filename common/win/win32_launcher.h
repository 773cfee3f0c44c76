// The real Launcher: tokens, the shell window, CreateProcessWithTokenW looked up at run time.
#pragma once

#include "launch.h"
#include "win/handles.h"

namespace norvex::win {

class Win32Launcher final : public Launcher {
 public:
  std::optional<std::uint32_t> ElevationType() override;
  void ShellOpen(const std::u16string& program, const std::u16string& parameters, const std::u16string& folder) override;
  bool EnableIncreaseQuotaPrivilege() override;
  std::optional<std::uintptr_t> ShellWindow() override;
  std::uint32_t WindowProcessId(std::uintptr_t window) override;
  bool DuplicateProcessToken(std::uint32_t pid) override;
  bool CanCreateWithToken() override;
  bool CreateWithToken(const std::u16string& program, const std::optional<std::u16string>& commandLine,
                       const std::u16string& folder) override;
  void ReleaseShellToken() override;

 private:
  unique_handle shellProcess_;
  unique_handle shellToken_;
  unique_handle primaryToken_;
};

}  // namespace norvex::win
