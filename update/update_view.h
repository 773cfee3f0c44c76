// What the update worker and the folder operations ask of the progress window, as a port: the
// window in update.exe, a console view in upgrade-tool, a recording view in tests.
#pragma once

#include <string>

namespace norvex::update {

// Receives progress-bar positions (0 to 100). A position always means: move the bar, then
// show the current status text.
class ProgressSink {
 public:
  virtual ~ProgressSink() = default;
  virtual void SetPosition(int position) = 0;
};

struct RestoreTexts {
  std::u16string m_strRestoring;
  std::u16string m_strRestored;
};

class UpdateView : public ProgressSink {
 public:
  virtual void SetTitle(const std::u16string& title) = 0;
  // Sets the status text; it reaches the screen with the next position.
  virtual void SetStatus(const std::u16string& status) = 0;
  // The three outcomes; exactly one ends every run. They return when the window has handled
  // them (the window may restore the backup, ask the user and start programs meanwhile).
  virtual void UpdateFailed(const std::u16string& text) = 0;
  virtual void UpdateDone(bool selfUpdate) = 0;
  virtual void UpdateRestore(const RestoreTexts& texts) = 0;
};

}  // namespace norvex::update
