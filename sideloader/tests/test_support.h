// Shared pieces of the installer's tests: a real temporary folder, packages made at test time
// with the real aapt, small PNG pictures, and recording fakes of the ports.
#pragma once

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "inspection.h"
#include "install_flow.h"
#include "package_info.h"
#include "posix/posix_tool_runner.h"
#include "registry.h"
#include "text.h"

namespace norvex::sideloader::testing {

namespace stdfs = std::filesystem;

inline std::string ReadBytes(const stdfs::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return "<missing>";
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

inline void WriteBytes(const stdfs::path& file, const std::string& bytes) {
  stdfs::create_directories(file.parent_path());
  std::ofstream(file, std::ios::binary) << bytes;
}

class TempDir {
 public:
  TempDir() {
    std::string pattern = (stdfs::temp_directory_path() / "norvex-sideloader-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) ADD_FAILURE() << "mkdtemp failed";
    root_ = pattern;
  }
  ~TempDir() {
    std::error_code ignored;
    stdfs::remove_all(root_, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const stdfs::path& root() const { return root_; }
  // A folder inside, the way the installer spells folders: with a trailing separator.
  std::u16string Folder(const std::string& relative) const {
    stdfs::create_directories(root_ / relative);
    return text::FromUtf8((root_ / relative).string()) + u"\\";
  }

 private:
  stdfs::path root_;
};

// A PNG of w x h pixels of one colour, so each test picture has its own bytes.
inline std::string MakePng(unsigned w, unsigned h, unsigned char r, unsigned char g, unsigned char b) {
  const auto be32 = [](std::uint32_t v) {
    return std::string{static_cast<char>(v >> 24), static_cast<char>(v >> 16), static_cast<char>(v >> 8),
                       static_cast<char>(v)};
  };
  const auto chunk = [&](const std::string& type, const std::string& data) {
    const std::string body = type + data;
    const auto crc = ::crc32(0, reinterpret_cast<const Bytef*>(body.data()), static_cast<uInt>(body.size()));
    return be32(static_cast<std::uint32_t>(data.size())) + body + be32(static_cast<std::uint32_t>(crc));
  };
  std::string raw;
  for (unsigned y = 0; y < h; ++y) {
    raw += '\0';
    for (unsigned x = 0; x < w; ++x)
      raw += std::string{static_cast<char>(r), static_cast<char>(g), static_cast<char>(b)};
  }
  uLongf size = compressBound(static_cast<uLong>(raw.size()));
  std::string packed(size, '\0');
  ::compress(reinterpret_cast<Bytef*>(packed.data()), &size, reinterpret_cast<const Bytef*>(raw.data()),
             static_cast<uLong>(raw.size()));
  packed.resize(size);
  const std::string header = be32(w) + be32(h) + std::string{8, 2, 0, 0, 0};
  return std::string("\x89PNG\r\n\x1a\n", 8) + chunk("IHDR", header) + chunk("IDAT", packed) + chunk("IEND", "");
}

// Describes one package for `aapt package`.
struct PackageRecipe {
  std::string label = "Demo";
  std::string versionName = "1.0";
  std::optional<int> minSdk = 8;
  std::optional<std::string> installLocation;  // manifest word, e.g. "preferExternal"
  std::vector<std::string> permissions;
  // Drawable folder -> file content of "icon.png"; or an XML icon.
  std::vector<std::pair<std::string, std::string>> icons;
  bool xmlIcon = false;
};

// Builds the package with the real aapt into `apk`; false (with the tool's output as a test
// failure) when aapt refuses it.
inline bool BuildPackage(const PackageRecipe& recipe, const stdfs::path& work, const stdfs::path& apk) {
  const stdfs::path src = work / "src";
  stdfs::remove_all(src);
  std::ostringstream manifest;
  manifest << "<manifest xmlns:android=\"http://schemas.android.com/apk/res/android\" package=\"com.norvex.demo\""
           << " android:versionCode=\"1\" android:versionName=\"" << recipe.versionName << "\"";
  if (recipe.installLocation) manifest << " android:installLocation=\"" << *recipe.installLocation << "\"";
  manifest << ">\n";
  if (recipe.minSdk) manifest << "<uses-sdk android:minSdkVersion=\"" << *recipe.minSdk << "\"/>\n";
  for (const std::string& permission : recipe.permissions) {
    manifest << "<uses-permission android:name=\"" << permission << "\"/>\n";
  }
  manifest << "<application android:label=\"@string/app_name\"";
  if (!recipe.icons.empty() || recipe.xmlIcon) manifest << " android:icon=\"@drawable/icon\"";
  manifest << "/>\n</manifest>\n";
  WriteBytes(src / "AndroidManifest.xml", manifest.str());
  WriteBytes(src / "res/values/strings.xml",
             "<resources><string name=\"app_name\">" + recipe.label + "</string></resources>\n");
  for (const auto& [folder, png] : recipe.icons) WriteBytes(src / "res" / folder / "icon.png", png);
  if (recipe.xmlIcon) {
    WriteBytes(src / "res/drawable/icon.xml",
               "<shape xmlns:android=\"http://schemas.android.com/apk/res/android\"><solid "
               "android:color=\"#ff0000\"/></shape>\n");
  }
  stdfs::create_directories(apk.parent_path());
  const std::string command = "aapt package -f -M '" + (src / "AndroidManifest.xml").string() + "' -S '" +
                              (src / "res").string() + "' -I " NORVEX_FRAMEWORK_RES " -F '" + apk.string() + "' >'" +
                              (work / "aapt.log").string() + "' 2>&1";
  if (std::system(command.c_str()) != 0) {
    ADD_FAILURE() << "aapt package failed:\n" << ReadBytes(work / "aapt.log");
    return false;
  }
  return true;
}

class MapRegistry final : public RegistryReader {
 public:
  std::optional<std::u16string> value;
  std::optional<std::u16string> ReadText(RegistryRoot, std::u16string_view, std::u16string_view, std::size_t) override {
    return value;
  }
};

class RecordedMessages final : public PackageMessages {
 public:
  std::vector<std::u16string> shown;
  void ShowMessage(const std::u16string& text) override { shown.push_back(text); }
};

// A test over the program's folders set up the way the program sets them up, inside a
// temporary folder: "app" holds the program with the real aapt as adb\aapt.exe, "data" stands
// for the user's Local AppData; aapt runs for real.
class ProgramFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    stdfs::create_directories(dir.root() / "app/adb");
    stdfs::create_symlink("/usr/bin/aapt", dir.root() / "app/adb/aapt.exe");
    stdfs::create_directories(dir.root() / "data");
    registry.value = text::FromUtf8((dir.root() / "data").string());
    SetupFolders(package, text::FromUtf8((dir.root() / "app/sideloader.exe").string()), registry);
  }

  TempDir dir;
  MapRegistry registry;
  CPackageInfo package;
  RecordedMessages messages;
  PosixToolRunner runner;
  BuiltInTexts texts;
};

// Records what the window would show, in order: "box:…", "status:…", "enable:0/1".
class RecordingView final : public InstallerView {
 public:
  std::vector<std::u16string> events;
  void SetStatus(const std::u16string& text) override { events.push_back(u"status:" + text); }
  void EnableInstall(bool enabled) override { events.push_back(enabled ? u"enable:1" : u"enable:0"); }
  void ShowPrompt(const std::u16string& text) override { events.push_back(u"box:" + text); }
};

class QueuedWorkers final : public WorkerStarter {
 public:
  int started = 0;
  void Start(std::function<void()> worker) override {
    ++started;
    queue_.push_back(std::move(worker));
  }
  // Runs the started workers and the ones they start, one after another.
  void Drain() {
    while (!queue_.empty()) {
      auto next = std::move(queue_.front());
      queue_.pop_front();
      next();
    }
  }

 private:
  std::deque<std::function<void()>> queue_;
};

class ListedProcesses final : public ProcessTable {
 public:
  std::vector<ProcessEntry> entries;
  std::vector<ProcessEntry> List() override { return entries; }
  std::optional<std::u16string> FirstModulePath(std::uint32_t) override { return std::nullopt; }
  bool Terminate(std::uint32_t, std::uint32_t) override { return false; }
};

}  // namespace norvex::sideloader::testing
