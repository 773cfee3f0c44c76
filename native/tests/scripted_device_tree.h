// A device tree from a script, for the unit tests and the host-side test build of the library.
// One device per line, five fields separated by '|':
//   identifier | class | description | node status | parent identifier
// "!" as identifier: it cannot be read. "-" as class or description: the property is missing
// (an empty field: present but empty); as status: the status call fails; as parent: none.
// Status is a number (0x400 = has a problem). Blank lines are skipped.
#pragma once

#include <atomic>
#include <memory>
#include <string_view>
#include <vector>

#include "device_tree.h"

namespace norvex::native {

struct ScriptedDevice {
  std::optional<std::string> id;           // nothing: cannot be read
  std::optional<std::string> classData;    // the property's bytes as the registry holds them
  std::optional<std::string> description;  // (text with its terminator); nothing: missing
  std::optional<std::uint32_t> status;     // nothing: the status call fails
  std::optional<std::string> parent;       // nothing: no parent
};

// Throws std::invalid_argument for a malformed line.
std::vector<ScriptedDevice> ParseDeviceScript(std::string_view script);

// Copies share one tree, so sets opened from any copy see the same devices and are counted
// together.
class ScriptedDeviceTree final : public DeviceTree {
 public:
  explicit ScriptedDeviceTree(std::vector<ScriptedDevice> devices, bool opens = true);
  static ScriptedDeviceTree FromScript(std::string_view script) {
    return ScriptedDeviceTree(ParseDeviceScript(script));
  }

  std::unique_ptr<DeviceSet> OpenPresent() const override;
  // Sets opened and not yet released.
  int OpenSets() const { return state_->openSets.load(); }

 private:
  struct State {
    std::vector<ScriptedDevice> devices;
    bool opens;
    std::atomic<int> openSets{0};
  };
  std::shared_ptr<State> state_;
  friend class ScriptedDeviceSet;
};

}  // namespace norvex::native
