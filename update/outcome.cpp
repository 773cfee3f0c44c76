// The three outcome handlers. No result is looked at: whatever fails, the window closes.
#include "outcome.h"

#include "file_system.h"
#include "folder_ops.h"

namespace norvex::update {
namespace {

// Every outcome leaves neither the information file nor the downloads behind.
void RemoveDownloads(const UpdaterSettings& settings) {
  fs::DeleteOneFile(settings.m_strInfoFile);
  DeleteFolder(settings.m_strUpgradeDir, true);
}

void AskToStartHost(const OutcomeContext& c, const std::u16string& text) {
  if (c.window.Ask(text, Buttons::OkCancel) == Answer::Ok) LaunchHost(c.settings, c.launcher);
}

}  // namespace

void OnUpdateFailed(const OutcomeContext& c, const std::u16string& text) {
  RemoveDownloads(c.settings);
  AskToStartHost(c, text);
  if (c.settings.m_bHelperStopped) LaunchHelper(c.settings, c.launcher);
}

void OnUpdateDone(const OutcomeContext& c, bool selfUpdate) {
  RemoveDownloads(c.settings);
  if (c.settings.m_bHelperStopped) LaunchHelper(c.settings, c.launcher);
  RecordProductVersion(c.info.m_strDisplayVersion, c.registry);
  LaunchHost(c.settings, c.launcher);
  if (selfUpdate) StartSelfReplace(c.settings, c.selfReplace);
}

void OnUpdateRestore(const OutcomeContext& c, const RestoreTexts& texts) {
  RemoveDownloads(c.settings);
  // The status line keeps the updating text while the box is open.
  c.window.SetStatus(texts.m_strRestoring);
  c.window.Ask(texts.m_strRestoring, Buttons::Ok);
  c.window.SetPosition(0);
  RestoreBackup(c.settings, c.window);
  if (c.settings.m_bHelperStopped) LaunchHelper(c.settings, c.launcher);
  AskToStartHost(c, texts.m_strRestored);
}

}  // namespace norvex::update
