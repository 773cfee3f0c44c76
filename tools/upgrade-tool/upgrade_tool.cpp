// upgrade-tool: makes, inspects and applies upgrade information files with the updater's own
// engine, so fixtures, benchmarks and manual checks exercise exactly what update.exe runs.
#include <json/json.h>

#include <sstream>
#include <vector>

#include "console.h"
#include "console_view.h"
#include "file_system.h"
#include "folder_ops.h"
#include "text.h"
#include "update_texts.h"
#include "upgrade_info.h"
#include "upgrade_info_writer.h"
#include "worker.h"

namespace norvex::tools {
namespace {

using update::CheckResult;

constexpr char kUsage[] =
    "usage:\n"
    "  upgrade-tool pack DESCRIPTION.json INFO_FILE\n"
    "  upgrade-tool inspect INFO_FILE\n"
    "  upgrade-tool apply [--language zh_CN|en_US|zh_TW] INSTALL_DIR INFO_FILE\n"
    "A description is the information's JSON; an entry's \"md5\" is filled in from its package\n"
    "(\"source\" names the local file to digest when \"path\" is the updater's view of it).\n";

int Usage() {
  Print(stderr, std::string_view(kUsage));
  return 2;
}

int Error(const std::string& message) {
  Print(stderr, "upgrade-tool: " + message + "\n");
  return 1;
}

bool WriteFile(const std::u16string& path, const void* bytes, std::size_t count) {
  update::fs::File file = update::fs::File::CreateWrite(path);
  return file.is_open() && file.Write(bytes, count);
}

const char* VerdictName(CheckResult result) {
  switch (result) {
    case CheckResult::CheckOk: return "ok";
    case CheckResult::CheckDamaged: return "damaged";
    case CheckResult::CheckFailed: return "failed";
  }
  return "?";
}

int Pack(const std::u16string& descriptionPath, const std::u16string& infoPath) {
  std::vector<std::uint8_t> description;
  if (!update::ReadWholeFile(descriptionPath, description)) {
    return Error("cannot read " + text::ToUtf8(descriptionPath));
  }
  Json::Value root;
  Json::CharReaderBuilder builder;
  std::string errors;
  std::istringstream in(std::string(description.begin(), description.end()));
  if (!Json::parseFromStream(builder, in, &root, &errors)) return Error("description is not JSON: " + errors);
  if (!root.isObject()) return Error("description must be a JSON object");
  Json::Value& models = root["models"];
  if (!models.isNull() && !models.isArray()) return Error("\"models\" must be an array");
  for (Json::Value& model : models) {
    if (!model.isObject()) return Error("each element of \"models\" must be an object");
    const Json::Value source = model.isMember("source") ? model["source"] : model["path"];
    model.removeMember("source");
    if (model.isMember("md5") || !source.isString()) continue;
    std::string digest;
    if (!update::Md5HexOfFile(text::FromUtf8(source.asString()), digest)) {
      return Error("cannot read package " + source.asString());
    }
    model["md5"] = digest;
  }
  const int lead = root.get("leadByte", 1).asInt();
  root.removeMember("leadByte");
  Json::StreamWriterBuilder writer;
  writer["emitUTF8"] = true;
  const auto bytes = update::EncodeUpgradeInfo(Json::writeString(writer, root), static_cast<std::uint8_t>(lead));
  if (!WriteFile(infoPath, bytes.data(), bytes.size())) return Error("cannot write " + text::ToUtf8(infoPath));
  Print(stdout, "packed " + std::to_string(models.size()) + " entries into " + text::ToUtf8(infoPath) + "\n");
  return 0;
}

int Inspect(const std::u16string& infoPath) {
  std::vector<std::uint8_t> bytes;
  if (!update::ReadWholeFile(infoPath, bytes)) {
    return Error("cannot read " + text::ToUtf8(infoPath) + " (verdict: failed)");
  }
  std::string json;
  CheckResult verdict = update::DecodeUpgradeInfo(bytes.data(), bytes.size(), json);
  update::UpgradeInfo info;
  if (verdict == CheckResult::CheckOk) verdict = update::ParseUpgradeInfo(json, info);
  if (verdict != CheckResult::CheckOk) {
    Print(stdout, std::string("verdict: ") + VerdictName(verdict) + "\n");
    return 1;
  }
  Print(stdout, u"displayVersion: " + info.m_strDisplayVersion + u"\n");
  Print(stdout, "entries: " + std::to_string(info.m_entries.size()) + ", total size " + std::to_string(info.m_nTotalSize) + "\n");
  bool allOk = !info.m_entries.empty();
  for (const auto& entry : info.m_entries) {
    const CheckResult package = update::VerifyPackage(entry);
    allOk = allOk && package == CheckResult::CheckOk;
    Print(stdout, "  code " + std::to_string(entry.m_nOperationCode) + "  size " + std::to_string(entry.m_nSize) +
                      "  " + VerdictName(package) + "  " + text::ToUtf8(entry.m_strFileName) + "  <- " +
                      text::ToUtf8(entry.m_strPath) + "  md5 " + text::ToUtf8(entry.m_strMd5) + "\n");
  }
  if (info.m_entries.empty()) Print(stdout, "no entries: the updater would fail\n");
  Print(stdout, std::string("verdict: ") + (allOk ? "ok" : info.m_entries.empty() ? "failed" : "damaged") + "\n");
  return allOk ? 0 : 1;
}

int Apply(std::vector<std::u16string> args) {
  std::u16string language = u"en_US";
  if (args.size() >= 2 && args[0] == u"--language") {
    language = args[1];
    args.erase(args.begin(), args.begin() + 2);
  }
  if (args.size() != 2) return Usage();
  std::u16string installDir = args[0];
  while (installDir.size() > 1 && (installDir.back() == u'\\' || installDir.back() == u'/')) installDir.pop_back();
  if (!update::fs::Exists(installDir)) return Error("no installation folder " + text::ToUtf8(installDir));
  update::UpdaterSettings settings;
  settings.m_strModuleDir = installDir + u"\\";
  settings.m_strInfoFile = args[1];
  update::SelectLanguage(settings, language);

  ConsoleView view;
  update::UpgradeInfo info;
  update::BuiltInTexts texts;
  update::UpdateWorker(settings, info, view, texts);
  switch (view.outcome()) {
    case Outcome::Done:
      return 0;
    case Outcome::Restore:
      view.SetStatus(view.restoreTexts().m_strRestoring);
      view.SetPosition(0);
      update::RestoreBackup(settings, view);
      view.EndBar();
      Print(stdout, u"restored: " + view.restoreTexts().m_strRestored + u"\n");
      return 3;
    default:
      return 4;
  }
}

}  // namespace

int ToolMain(const std::vector<std::u16string>& args) {
  if (args.size() < 2) return Usage();
  const std::u16string& command = args[1];
  const std::vector<std::u16string> rest(args.begin() + 2, args.end());
  if (command == u"pack" && rest.size() == 2) return Pack(rest[0], rest[1]);
  if (command == u"inspect" && rest.size() == 1) return Inspect(rest[0]);
  if (command == u"apply") return Apply(rest);
  return Usage();
}

}  // namespace norvex::tools
