// Bringing the running suite forward, or starting its launcher, once a phone of ours has
// arrived. The suite runs as the installation's own Java runtime; windows and processes are
// reached through ports so the rules run in tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "launch.h"
#include "process_table.h"

namespace norvex::helper {

struct TopLevelWindow {
  std::uintptr_t handle;
  std::uint32_t pid;  // the process that owns it
  bool visible;       // its style carries WS_VISIBLE
};

// The desktop's top-level windows and the three steps that bring one forward.
class WindowList {
 public:
  virtual ~WindowList() = default;
  virtual std::vector<TopLevelWindow> TopLevelWindows() = 0;  // in the system's order
  virtual void Restore(std::uintptr_t window) = 0;            // ShowWindow(SW_RESTORE)
  virtual void MakeForeground(std::uintptr_t window) = 0;     // SetForegroundWindow
  virtual void BringToTop(std::uintptr_t window) = 0;         // BringWindowToTop
};

// True when a process named exactly "javaw.exe" runs the installation's runtime (path compared
// without regard to case); every visible top-level window of the first such process is then
// restored, made foreground and brought to the top.
bool ActivateRunningSuite(const std::u16string& appFolder, ProcessTable& processes, WindowList& windows);

// Starts the launcher of the installation, without arguments, in the installation folder.
void StartSuite(const std::u16string& appFolder, Launcher& launcher);

}  // namespace norvex::helper
