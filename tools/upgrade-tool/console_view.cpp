// Draws the bar only when its position changes, so a long copy does not flood the terminal.
#include "console_view.h"

#include <algorithm>
#include <cstdio>

#include "console.h"

namespace norvex::tools {

void ConsoleView::EndBar() {
  if (barOpen_) std::fputc('\n', stderr);
  barOpen_ = false;
  shown_ = -1;
}

void ConsoleView::SetTitle(const std::u16string& title) {
  Print(stdout, u"== " + title + u"\n");
  std::fflush(stdout);
}

void ConsoleView::SetStatus(const std::u16string& status) {
  EndBar();
  status_ = status;
  Print(stdout, status + u"\n");
  std::fflush(stdout);
}

void ConsoleView::SetPosition(int position) {
  if (position == shown_) return;
  shown_ = position;
  const int filled = std::clamp(position, 0, 100) / 2;
  std::fprintf(stderr, "\r[%s%s] %3d%%", std::string(filled, '#').c_str(), std::string(50 - filled, ' ').c_str(), position);
  std::fflush(stderr);
  barOpen_ = true;
}

void ConsoleView::UpdateFailed(const std::u16string& text) {
  EndBar();
  outcome_ = Outcome::Failed;
  Print(stdout, u"failed: " + text + u"\n");
}

void ConsoleView::UpdateDone(bool selfUpdate) {
  EndBar();
  outcome_ = Outcome::Done;
  selfUpdate_ = selfUpdate;
  Print(stdout, selfUpdate ? "done (a new updater was staged)\n" : "done\n");
}

void ConsoleView::UpdateRestore(const update::RestoreTexts& texts) {
  EndBar();
  outcome_ = Outcome::Restore;
  restoreTexts_ = texts;
}

}  // namespace norvex::tools
