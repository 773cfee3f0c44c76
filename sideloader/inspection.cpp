// Reading a package: the folders, the check of a handed-over file, the work copy, the aapt
// runs and the rules that pick values out of their output. Only the keys named here are read
// from aapt's text; the rest of its wording may change between SDK releases.
#include "inspection.h"

#include <cstdio>

#include "file_access.h"
#include "icon.h"
#include "tables.h"
#include "text.h"

namespace norvex::sideloader {
namespace {

constexpr std::size_t kAaptChunk = 4095;
constexpr unsigned kBadgingPauseMs = 200;
constexpr unsigned kLocationPauseMs = 10;
constexpr std::size_t kCopyChunk = 1024;
constexpr std::size_t kLocalAppDataBytes = 260 * sizeof(char16_t);

std::u16string Quoted(const std::u16string& path) { return u"\"" + path + u"\""; }

// Where the file name begins. Paths from the command line and from drops may use either
// separator, so both count.
std::size_t NameStart(const std::u16string& path) {
  const std::size_t slash = path.find_last_of(u"\\/");
  return slash == std::u16string::npos ? 0 : slash + 1;
}

}  // namespace

void SetupFolders(CPackageInfo& package, const std::u16string& executablePath, RegistryReader& registry) {
  package.m_strAppFolder = executablePath.substr(0, NameStart(executablePath));
  std::u16string base = ReadLocalAppData(registry, kLocalAppDataBytes);
  base = base.empty() ? package.m_strAppFolder : base + u"\\NorvexTool\\";
  files::CreateFolder(base);
  package.m_strTempFolder = base + u"IstallTemp\\";
  files::CreateFolder(package.m_strTempFolder);
  package.m_strWorkCopy = package.m_strTempFolder + u"nvApkInstall.apk";
}

bool CheckPackageFile(CPackageInfo& package, PackageMessages& messages) {
  const std::u16string& path = package.m_strPackagePath;
  if (files::IsFolder(path)) {
    messages.ShowMessage(u"不能传输文件夹!");
    return false;
  }
  const std::optional<std::uint64_t> length = files::OpenedLength(path);
  if (!length) return false;
  const std::u16string name = path.substr(NameStart(path));
  const std::size_t dot = name.rfind(u'.');
  const std::u16string extension = text::AsciiUpper(dot == std::u16string::npos ? name : name.substr(dot + 1));
  package.m_strDisplayName = name;
  if (extension == u"APK") {
    package.m_bIsPackage = true;
    package.m_nFileSize = static_cast<std::uint32_t>(*length);
    package.m_bFileGiven = true;
    package.m_strDisplayName.resize(name.size() >= 4 ? name.size() - 4 : 0);
    return true;
  }
  messages.ShowMessage(u"文件类型不对!");
  package.m_bIsPackage = false;
  return false;
}

bool CopyToWorkCopy(const CPackageInfo& package) {
  return files::CopyInChunks(package.m_strPackagePath, package.m_strWorkCopy, kCopyChunk);
}

std::u16string AaptPath(const CPackageInfo& package) { return package.m_strAppFolder + u"adb\\aapt.exe"; }

bool InspectPackage(CPackageInfo& package, InspectionContext& context) {
  if (!IsLoaded(package)) return false;
  if (!CopyToWorkCopy(package)) {
    context.messages.ShowMessage(package.m_strWorkCopy + u"创建失败");
    return false;
  }
  const CapturedRun run = RunCaptured(context.runner, AaptPath(package),
                                      u" dump badging " + Quoted(package.m_strWorkCopy), kAaptChunk, kBadgingPauseMs);
  if (run.status == RunStatus::NoPipe) {
    context.messages.ShowMessage(u"Error On CreatePipe()");
    return false;
  }
  if (run.status == RunStatus::NotStarted) {
    context.messages.ShowMessage(u"Error on CreateProcess()");
    return false;
  }
  package.m_strVersionName = ParseVersionName(run.output);
  package.m_nSdkLevel = text::WideToInt(ParseSdkVersion(run.output));
  ParsePermissions(run.output, package, context.texts);
  ExtractIcon(run.output, package);
  return true;
}

void ReadInstallLocation(CPackageInfo& package, ToolRunner& runner) {
  package.m_nInstallLocation = Unset;
  const CapturedRun run =
      RunCaptured(runner, AaptPath(package), u" l -a " + Quoted(package.m_strWorkCopy), kAaptChunk, kLocationPauseMs);
  if (run.status != RunStatus::Finished) return;
  const std::u16string& out = run.output;
  const std::size_t attribute = out.find(u"android:installLocation(");
  if (attribute == std::u16string::npos) return;
  const std::size_t equals = out.find(u'=', attribute);
  if (equals == std::u16string::npos) return;
  const std::size_t hex = out.find(u")0x", equals);
  if (hex == std::u16string::npos || hex + 3 >= out.size()) return;
  switch (out[hex + 3]) {
    case u'0':
      package.m_nInstallLocation = Auto;
      break;
    case u'1':
      package.m_nInstallLocation = InternalOnly;
      break;
    case u'2':
      package.m_nInstallLocation = PreferExternal;
      break;
    default:
      break;
  }
}

std::u16string FormatSize(std::uint32_t n) {
  char buffer[64];
  if (n < 1024u) {
    std::snprintf(buffer, sizeof buffer, "%u B", n);
  } else if (n < 1048576u) {
    std::snprintf(buffer, sizeof buffer, "%.2f KB", n / 1024.0);
  } else if (n < 1073741824u) {
    std::snprintf(buffer, sizeof buffer, "%.2f MB", n / 1048576.0);
  } else {
    std::snprintf(buffer, sizeof buffer, "%.2f GB", n / 1073741824.0);
  }
  return text::FromUtf8(buffer);
}

std::u16string QuotedValueAfter(std::u16string_view text, std::size_t position) {
  const std::size_t open = text.find(u'\'', position);
  if (open == std::u16string_view::npos) return {};
  const std::size_t close = text.find(u'\'', open + 1);
  if (close == std::u16string_view::npos) return {};
  return std::u16string(text.substr(open + 1, close - open - 1));
}

std::u16string ParseVersionName(std::u16string_view text) {
  const std::size_t at = text.find(u"versionName");
  return at == std::u16string_view::npos ? std::u16string() : QuotedValueAfter(text, at);
}

std::u16string ParseSdkVersion(std::u16string_view text) {
  const std::size_t at = text.find(u"sdkVersion");
  return at == std::u16string_view::npos ? std::u16string(u"1000000") : QuotedValueAfter(text, at);
}

void ParsePermissions(std::u16string_view text, CPackageInfo& package, TextSource& texts) {
  // The search starts at 10 and steps on by 10: aapt's text begins with the longer package line,
  // and two hits of the 16-character keyword cannot lie closer than that, so none is missed.
  for (std::size_t at = text.find(u"uses-permission:", 10); at != std::u16string_view::npos;
       at = text.find(u"uses-permission:", at + 10)) {
    AddPermission(QuotedValueAfter(text, at), package, texts);
  }
}

int CountOccurrences(std::u16string_view text, std::u16string_view word) {
  int count = 0;
  for (std::size_t at = text.find(word, 1); at != std::u16string_view::npos; at = text.find(word, at + 1)) ++count;
  return count;
}

}  // namespace norvex::sideloader
