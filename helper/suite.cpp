// Detecting the installation's running suite and bringing it forward, or starting it.
#include "suite.h"

#include "text.h"

namespace norvex::helper {

bool ActivateRunningSuite(const std::u16string& appFolder, ProcessTable& processes, WindowList& windows) {
  const std::u16string runtime = appFolder + u"jre\\bin\\javaw.exe";
  for (const ProcessEntry& process : processes.List()) {
    if (process.exeName != u"javaw.exe") continue;  // exact: case counts here
    const auto image = processes.FirstModulePath(process.pid);
    if (!image || !text::EqualsNoCase(*image, runtime)) continue;
    for (const TopLevelWindow& window : windows.TopLevelWindows()) {
      if (window.pid != process.pid || !window.visible) continue;
      windows.Restore(window.handle);
      windows.MakeForeground(window.handle);
      windows.BringToTop(window.handle);
    }
    return true;
  }
  return false;
}

void StartSuite(const std::u16string& appFolder, Launcher& launcher) {
  StartNonElevated(launcher, appFolder + u"VantrelZURadu.exe", u"", appFolder);
}

}  // namespace norvex::helper
