// The real RegistryWriter: the current user's hive, created when missing.
#pragma once

#include "relaunch.h"

namespace norvex::update {

class Win32RegistryWriter final : public RegistryWriter {
 public:
  bool WriteText(RegistryRoot root, const std::u16string& subKey, const std::u16string& valueName,
                 const std::u16string& text) override;
};

class Win32SelfReplaceStarter final : public SelfReplaceStarter {
 public:
  std::optional<std::intptr_t> OpenSelfInheritable() override;
  bool Start(const std::u16string& commandLine) override;
  void CloseSelf(std::intptr_t handle) override;
};

}  // namespace norvex::update
