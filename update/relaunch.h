// What the updater starts and records when it is done: the host, the helper, the installed
// version, and the staged updater's self-replace run.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "launch.h"
#include "settings.h"

namespace norvex::update {

// " -Xms128m -Djava.library.path=.\dlls\ -jar "<dir>Host.jar"": the library path is relative,
// so the host must start in the installation folder.
std::u16string HostParameters(const UpdaterSettings& settings);
void LaunchHost(const UpdaterSettings& settings, Launcher& launcher);
void LaunchHelper(const UpdaterSettings& settings, Launcher& launcher);

// Writing one text value: created or opened with read and write access, REG_SZ, the byte
// count including the terminating zero.
class RegistryWriter {
 public:
  virtual ~RegistryWriter() = default;
  virtual bool WriteText(RegistryRoot root, const std::u16string& subKey, const std::u16string& valueName,
                         const std::u16string& text) = 0;
};
void RecordProductVersion(const std::u16string& displayVersion, RegistryWriter& registry);

// Starting the staged updater with an inheritable handle to this process.
class SelfReplaceStarter {
 public:
  virtual ~SelfReplaceStarter() = default;
  // An inheritable, synchronize-only handle to the current process; nothing when it fails.
  virtual std::optional<std::intptr_t> OpenSelfInheritable() = 0;
  // CreateProcessW with this command line alone, handles inherited.
  virtual bool Start(const std::u16string& commandLine) = 0;
  virtual void CloseSelf(std::intptr_t handle) = 0;
};

inline constexpr std::size_t kMaxSelfReplaceCommandLine = 1023;  // a 1024-character buffer

// "staged" "upd" "language" handle "installed"; nothing when it would not fit the buffer.
std::optional<std::u16string> SelfReplaceCommandLine(const UpdaterSettings& settings, std::intptr_t handle);
void StartSelfReplace(const UpdaterSettings& settings, SelfReplaceStarter& starter);

}  // namespace norvex::update
