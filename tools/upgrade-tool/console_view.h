// The update run shown on a terminal: status lines on standard output, a progress bar on
// standard error, the outcome as a line of its own.
#pragma once

#include <string>

#include "update_view.h"

namespace norvex::tools {

enum class Outcome { None, Failed, Done, Restore };

class ConsoleView final : public update::UpdateView {
 public:
  void SetTitle(const std::u16string& title) override;
  void SetStatus(const std::u16string& status) override;
  void SetPosition(int position) override;
  void UpdateFailed(const std::u16string& text) override;
  void UpdateDone(bool selfUpdate) override;
  void UpdateRestore(const update::RestoreTexts& texts) override;

  Outcome outcome() const { return outcome_; }
  bool selfUpdate() const { return selfUpdate_; }
  const update::RestoreTexts& restoreTexts() const { return restoreTexts_; }
  void EndBar();

 private:
  std::u16string status_;
  int shown_ = -1;
  bool barOpen_ = false;
  Outcome outcome_ = Outcome::None;
  bool selfUpdate_ = false;
  update::RestoreTexts restoreTexts_;
};

}  // namespace norvex::tools
