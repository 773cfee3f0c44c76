// The relaunch steps; every result is ignored by the callers, so none is reported here.
#include "relaunch.h"

namespace norvex::update {

std::u16string HostParameters(const UpdaterSettings& settings) {
  return u" -Xms128m -Djava.library.path=.\\dlls\\ -jar \"" + settings.m_strModuleDir + u"Host.jar\"";
}

void LaunchHost(const UpdaterSettings& settings, Launcher& launcher) {
  StartNonElevated(launcher, settings.m_strModuleDir + u"jre\\bin\\javaw.exe", HostParameters(settings),
                   settings.m_strModuleDir);
}

void LaunchHelper(const UpdaterSettings& settings, Launcher& launcher) {
  StartNonElevated(launcher, settings.m_strModuleDir + settings.m_strHelperExe, u"", settings.m_strModuleDir);
}

void RecordProductVersion(const std::u16string& displayVersion, RegistryWriter& registry) {
  registry.WriteText(RegistryRoot::CurrentUser, u"Software\\Norvex\\NorvexTool", u"ProductVersion", displayVersion);
}

std::optional<std::u16string> SelfReplaceCommandLine(const UpdaterSettings& settings, std::intptr_t handle) {
  const std::u16string staged = settings.StagingFolder() + u"\\" + settings.m_strUpdaterExe;
  const std::string number = std::to_string(handle);
  const std::u16string line = u"\"" + staged + u"\" \"" + settings.m_strModeUpd + u"\" \"" + settings.m_strLanguage +
                              u"\" " + std::u16string(number.begin(), number.end()) + u" \"" +
                              settings.m_strModuleDir + settings.m_strUpdaterExe + u"\"";
  // A cut-off line would name the wrong file as the one to replace; better not to start at all.
  if (line.size() > kMaxSelfReplaceCommandLine) return std::nullopt;
  return line;
}

void StartSelfReplace(const UpdaterSettings& settings, SelfReplaceStarter& starter) {
  const auto self = starter.OpenSelfInheritable();
  if (!self) return;
  if (const auto line = SelfReplaceCommandLine(settings, *self)) starter.Start(*line);
  starter.CloseSelf(*self);
}

}  // namespace norvex::update
