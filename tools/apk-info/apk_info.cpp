// apk-info: prints what the installer would show about a package, as one JSON object, using the
// installer's own engine and aapt; for checks by hand and for tests of the engine end to end.
#include <json/json.h>

#include <filesystem>
#include <memory>
#include <random>

#include "console.h"
#include "file_access.h"
#include "inspection.h"
#include "tables.h"
#include "text.h"
#include "tool_runner.h"

#ifdef _WIN32
#include "win/win32_tool_runner.h"
#else
#include "posix/posix_tool_runner.h"
#endif

namespace norvex::tools {
namespace {

using namespace sideloader;

constexpr char kUsage[] = "usage: apk-info [--aapt PATH] FILE\n";

int Error(const std::u16string& message) {
  Print(stderr, u"apk-info: " + message + u"\n");
  return 1;
}

// Sends every run to the chosen aapt and keeps the last output, so a file aapt cannot read is
// told apart from a package without the keys.
class ChosenAapt final : public ToolRunner {
 public:
  ChosenAapt(ToolRunner& inner, std::u16string aapt) : inner_(inner), aapt_(std::move(aapt)) {}
  CapturedBytes Capture(const std::u16string&, const std::u16string& commandLine, std::size_t chunkBytes,
                        unsigned pauseMs) override {
    CapturedBytes run = inner_.Capture(aapt_, commandLine, chunkBytes, pauseMs);
    lastOutput = DecodeToolOutput(run.bytes);
    return run;
  }
  bool StartAndWait(const std::u16string& tool, const std::u16string& commandLine, unsigned waitMs) override {
    return inner_.StartAndWait(tool, commandLine, waitMs);
  }
  std::u16string lastOutput;

 private:
  ToolRunner& inner_;
  std::u16string aapt_;
};

class CollectedMessages final : public PackageMessages {
 public:
  void ShowMessage(const std::u16string& text) override { shown.push_back(text); }
  std::vector<std::u16string> shown;
};

// A fresh work folder of our own, removed at the end.
class WorkFolder {
 public:
  WorkFolder() {
    std::random_device seed;
    path_ = std::filesystem::temp_directory_path() / ("apk-info-" + std::to_string(seed()));
    std::filesystem::create_directories(path_);
  }
  ~WorkFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  WorkFolder(const WorkFolder&) = delete;
  WorkFolder& operator=(const WorkFolder&) = delete;
  std::u16string Path() const {
    const std::u8string utf8 = path_.u8string();
    return text::FromUtf8(std::string(utf8.begin(), utf8.end())) + u"\\";
  }

 private:
  std::filesystem::path path_;
};

std::u16string DefaultAapt(const std::u16string& program) {
#ifdef _WIN32
  const std::size_t slash = program.find_last_of(u"\\/");
  return (slash == std::u16string::npos ? std::u16string() : program.substr(0, slash + 1)) + u"adb\\aapt.exe";
#else
  (void)program;
  return u"/usr/bin/aapt";
#endif
}

std::string Utf8(const std::u16string& s) { return text::ToUtf8(s); }

}  // namespace

int ToolMain(const std::vector<std::u16string>& args) {
  std::u16string aapt = DefaultAapt(args.empty() ? std::u16string() : args[0]);
  std::u16string file;
  for (std::size_t i = 1; i < args.size(); ++i) {
    if (args[i] == u"--aapt" && i + 1 < args.size()) {
      aapt = args[++i];
    } else if (file.empty() && !args[i].starts_with(u"--")) {
      file = args[i];
    } else {
      Print(stderr, std::string_view(kUsage));
      return 2;
    }
  }
  if (file.empty()) {
    Print(stderr, std::string_view(kUsage));
    return 2;
  }

  CPackageInfo package;
  WorkFolder work;
  package.m_strTempFolder = work.Path();
  package.m_strWorkCopy = package.m_strTempFolder + u"nvApkInstall.apk";
  package.m_strPackagePath = file;
  CollectedMessages messages;
  if (files::IsFolder(file)) return Error(file + u": is a folder, not a package");
  if (!files::OpenedLength(file)) return Error(file + u": cannot be opened");
  if (!CheckPackageFile(package, messages)) return Error(file + u": not an APK (the name does not end in .apk)");

#ifdef _WIN32
  sideloader::win::Win32ToolRunner platform;
#else
  PosixToolRunner platform;
#endif
  ChosenAapt runner(platform, aapt);
  BuiltInTexts texts;
  InspectionContext context{runner, texts, messages};
  if (!InspectPackage(package, context)) {
    return Error(file + u": cannot be inspected: " + (messages.shown.empty() ? u"" : messages.shown.back()) +
                 u" (aapt: " + aapt + u")");
  }
  if (runner.lastOutput.find(u"package:") == std::u16string::npos) {
    return Error(file + u": not an APK: aapt says: " + runner.lastOutput);
  }
  ReadInstallLocation(package, runner);

  Json::Value record(Json::objectValue);
  record["displayName"] = Utf8(package.m_strDisplayName);
  record["versionName"] = Utf8(package.m_strVersionName);
  record["fileSize"] = Json::UInt(package.m_nFileSize);
  record["sizeText"] = Utf8(FormatSize(package.m_nFileSize));
  record["sdkLevel"] = Json::Int(package.m_nSdkLevel);
  record["platformName"] = Utf8(PlatformName(package.m_nSdkLevel));
  Json::Value permissions(Json::arrayValue);
  for (const PermissionEntry& entry : package.m_permissions) {
    Json::Value item(Json::objectValue);
    item["label"] = Utf8(entry.strLabel);
    item["description"] = Utf8(entry.strDescription);
    permissions.append(item);
  }
  record["permissions"] = permissions;
  record["hasIcon"] = package.m_bHasIcon;
  record["installLocation"] = Json::Int(package.m_nInstallLocation);
  Json::StreamWriterBuilder writer;
  writer["emitUTF8"] = true;
  writer["indentation"] = "  ";
  Print(stdout, Json::writeString(writer, record) + "\n");
  return 0;
}

}  // namespace norvex::tools
