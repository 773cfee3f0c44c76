// What the window does with each of the worker's three outcomes: clean up the downloaded
// material, ask the user, restore the backup and start the suite again, in a fixed order.
#pragma once

#include "relaunch.h"
#include "settings.h"
#include "update_view.h"
#include "upgrade_info.h"

namespace norvex::update {

enum class Buttons { OkCancel, Ok };
enum class Answer { Ok, Cancel };

// The window as the outcome handlers use it.
class OutcomeWindow : public ProgressSink {
 public:
  // A message box with the program's caption and the exclamation icon.
  virtual Answer Ask(const std::u16string& text, Buttons buttons) = 0;
  // Sets the status text; it shows with the next position.
  virtual void SetStatus(const std::u16string& status) = 0;
};

struct OutcomeContext {
  const UpdaterSettings& settings;
  const UpgradeInfo& info;
  OutcomeWindow& window;
  Launcher& launcher;
  RegistryWriter& registry;
  SelfReplaceStarter& selfReplace;
};

void OnUpdateFailed(const OutcomeContext& context, const std::u16string& text);
void OnUpdateDone(const OutcomeContext& context, bool selfUpdate);
void OnUpdateRestore(const OutcomeContext& context, const RestoreTexts& texts);

}  // namespace norvex::update
