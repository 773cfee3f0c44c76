// The update worker: reading, checking and update phases with their progress positions, and
// the application of each entry to the installation folder.
#include "worker.h"

#include <cmath>
#include <cstdint>
#include <vector>

#include "file_system.h"
#include "folder_ops.h"
#include "text.h"
#include "zip_archive.h"

namespace norvex::update {
namespace {

// Copies and unpacking of a run whose sizes add up to 0 must not move the bar.
class NoProgress final : public ProgressSink {
 public:
  void SetPosition(int) override {}
};

// Positions are truncated towards zero; values no bar can show are clamped rather than
// overflowing the conversion.
int Trunc(double value) {
  if (!(value > -2147483648.0)) return value != value ? 0 : INT32_MIN;
  if (value >= 2147483647.0) return INT32_MAX;
  return static_cast<int>(std::trunc(value));
}

// Sizes add up in 32 bits and wrap, as the recorded total does.
std::int32_t AddWrapping(std::int32_t a, std::int32_t b) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}

// d = t - V: the entry's own size.
double OwnSize(const EntryProgress& p) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(p.upTo) - static_cast<std::uint32_t>(p.before));
}

// The entry's progress anchors; all divide by T, so they exist only when T is not 0.
struct Anchors {
  int s, h, f, h2;
  explicit Anchors(const EntryProgress& p) {
    const double total = p.total, own = OwnSize(p), before = p.before;
    s = Trunc(before / total * 100);
    h = Trunc(own / total * 50 + before / total * 100);
    f = Trunc(own / total * 100 + s);
    h2 = Trunc(own / total * 50 + h);
  }
};

// Unpacks the entry's archive into the installation folder; `positionOf(j, count)` gives the
// bar position after item j, or -1 for none.
template <typename PositionOf>
bool Unpack(const UpdaterSettings& settings, const UpgradeEntry& entry, ProgressSink& view, PositionOf positionOf) {
  ZipArchive archive;
  if (!archive.Open(entry.m_strPath)) return false;
  const auto count = archive.ItemCount();
  if (!count) return false;
  for (int j = 0; j < *count; ++j) {
    const auto item = archive.ItemAt(j);
    if (!item) return false;
    const std::u16string name = CleanItemName(item->name);
    // An item that would land outside the installation is skipped like one that cannot be
    // written: an archive must never write elsewhere.
    if (!EscapesFolder(name)) archive.Extract(j, settings.m_strModuleDir + name);
    const int position = positionOf(j, *count);
    if (position >= 0) view.SetPosition(position);
  }
  return true;
}

bool ApplyFileEntry(const UpdaterSettings& settings, const UpgradeEntry& entry, const EntryProgress& progress,
                    ProgressSink& view, bool& selfUpdate) {
  const std::u16string target = settings.m_strModuleDir + entry.m_strFileName;
  const std::u16string backup = settings.BackupFolder() + u"\\" + entry.m_strFileName;
  NoProgress still;
  ProgressSink& bar = progress.total != 0 ? view : still;
  const Anchors a = progress.total != 0 ? Anchors(progress) : Anchors(EntryProgress{1, 0, 0});
  const bool isUpdater = text::EqualsNoCase(entry.m_strFileName, settings.m_strUpdaterExe);

  switch (entry.m_nOperationCode) {
    case OperationRemove:
      // The backup's folders are made first, so a file in a sub-folder is backed up too
      // rather than deleted with no copy to restore.
      CreateParentFolders(backup);
      CopyOneFile(target, backup);
      fs::SetReadOnly(target, false);
      fs::DeleteOneFile(target);
      return true;
    case OperationAdd:
    case OperationReplace:
      if (isUpdater) {
        selfUpdate = true;
        fs::CreateFolder(settings.StagingFolder());
        return CopyFileWithProgress(entry.m_strPath, settings.StagingFolder() + u"\\" + settings.m_strUpdaterExe, a.s,
                                    a.f, bar);
      }
      if (entry.m_nOperationCode == OperationAdd) return CopyFileWithProgress(entry.m_strPath, target, a.s, a.f, bar);
      CreateParentFolders(backup);
      return CopyFileWithProgress(target, backup, a.s, a.h, bar) &&
             CopyFileWithProgress(entry.m_strPath, target, a.h, a.h2, bar);
    default:
      return true;
  }
}

bool ApplyFolderEntry(const UpdaterSettings& settings, const UpgradeEntry& entry, const EntryProgress& progress,
                      ProgressSink& view) {
  const std::u16string folderName = entry.m_strFileName.substr(0, entry.m_strFileName.size() - 4);
  // A name that is only ".zip" names the installation itself: backing it up into its own
  // backup folder and deleting it would destroy the installation. Removing it does nothing;
  // replacing it fails (and restores), unpacking into the installation is what it says.
  if (folderName.empty() && entry.m_nOperationCode == OperationRemove) return true;
  if (folderName.empty() && entry.m_nOperationCode == OperationReplace) return false;
  const std::u16string target = settings.m_strModuleDir + folderName;
  const std::u16string backup = settings.BackupFolder() + u"\\" + folderName;
  const bool moves = progress.total != 0;
  const double total = progress.total, own = OwnSize(progress);
  NoProgress still;
  ProgressSink& bar = moves ? view : still;
  const Anchors a = moves ? Anchors(progress) : Anchors(EntryProgress{1, 0, 0});

  switch (entry.m_nOperationCode) {
    case OperationRemove:
      CreateParentFolders(backup);
      CopyFolder(target, backup);
      DeleteFolder(target, true);
      return true;
    case OperationAdd:
      return Unpack(settings, entry, view, [&](int j, int count) {
        return moves ? Trunc(own * (j + 1) / (count * total) * 100 + a.s) : -1;
      });
    case OperationReplace: {
      const int files = CountFiles(target);
      CreateParentFolders(backup);
      int done = 0;
      if (!CopyFolderWithProgress(target, backup, a.s, a.h, &done, files, bar)) return false;
      if (!DeleteFolder(target, true)) return false;
      return Unpack(settings, entry, view, [&](int j, int count) {
        return moves ? Trunc(own / total * 50 * (j + 1) / count + a.h) : -1;
      });
    }
    default:
      return true;
  }
}

}  // namespace

bool ApplyEntry(const UpdaterSettings& settings, const UpgradeEntry& entry, const EntryProgress& progress,
                ProgressSink& view, bool& selfUpdate) {
  if (IsFolderEntry(entry.m_strFileName)) return ApplyFolderEntry(settings, entry, progress, view);
  return ApplyFileEntry(settings, entry, progress, view, selfUpdate);
}

void UpdateWorker(const UpdaterSettings& settings, UpgradeInfo& info, UpdateView& view, TextSource& source) {
  const UpdateTexts texts = ChooseTexts(source, settings.m_nLanguage);
  const auto position = [&](int p) { view.SetPosition(p); };

  // Reading.
  view.SetTitle(texts.title);
  view.SetStatus(texts.reading);
  position(0);
  std::vector<std::uint8_t> bytes;
  if (!ReadWholeFile(settings.m_strInfoFile, bytes)) return view.UpdateFailed(texts.failed);
  position(25);
  std::string json;
  if (DecodeUpgradeInfo(bytes.data(), bytes.size(), json) != CheckResult::CheckOk) {
    return view.UpdateFailed(texts.damaged);
  }
  position(50);
  if (ParseUpgradeInfo(json, info) != CheckResult::CheckOk) return view.UpdateFailed(texts.failed);
  position(75);
  position(100);

  // Checking.
  view.SetStatus(texts.checking);
  position(0);
  const int count = static_cast<int>(info.m_entries.size());
  if (count == 0) return view.UpdateFailed(texts.failed);
  for (int i = 1; i <= count; ++i) {
    if (VerifyPackage(info.m_entries[i - 1]) != CheckResult::CheckOk) return view.UpdateFailed(texts.damaged);
    position(100 * i / count);
  }

  // Updating.
  view.SetStatus(texts.updating);
  position(0);
  DeleteFolder(settings.BackupFolder(), true);
  fs::CreateFolder(settings.BackupFolder());
  bool selfUpdate = false;
  EntryProgress progress{info.m_nTotalSize, 0, 0};
  int u = 0;
  for (const UpgradeEntry& entry : info.m_entries) {
    progress.upTo = AddWrapping(progress.upTo, entry.m_nSize);
    ++u;
    if (!ApplyEntry(settings, entry, progress, view, selfUpdate)) {
      return view.UpdateRestore(RestoreTexts{texts.restoring, texts.restored});
    }
    progress.before = AddWrapping(progress.before, entry.m_nSize);
    position(progress.total != 0 ? Trunc(static_cast<double>(progress.upTo) / progress.total * 100) : u * 100 / count);
  }
  DeleteFolder(settings.BackupFolder(), true);
  view.UpdateDone(selfUpdate);
}

}  // namespace norvex::update
