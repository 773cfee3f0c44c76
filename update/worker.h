// The update run: reading and checking the upgrade information, checking every package,
// backing up and applying the entries, and ending with exactly one outcome.
#pragma once

#include "settings.h"
#include "update_texts.h"
#include "update_view.h"
#include "upgrade_info.h"

namespace norvex::update {

// One run from the first position to the outcome; `info` is filled for the window to read.
void UpdateWorker(const UpdaterSettings& settings, UpgradeInfo& info, UpdateView& view, TextSource& texts);

// How far the update phase has come when an entry is applied: T, t, V and u of the run.
struct EntryProgress {
  std::int32_t total = 0;   // T: sum of all sizes
  std::int32_t upTo = 0;    // t: sizes up to and including this entry
  std::int32_t before = 0;  // V: sizes before this entry
};

// Applies one entry to the installation; false means the installation must be restored.
// Sets `selfUpdate` when the entry stages a new updater.
bool ApplyEntry(const UpdaterSettings& settings, const UpgradeEntry& entry, const EntryProgress& progress,
                ProgressSink& view, bool& selfUpdate);

}  // namespace norvex::update
