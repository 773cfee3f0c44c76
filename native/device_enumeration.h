// Which devices the host gets to see, and the four texts it gets for each: the walk over the
// present devices, the prefix test, the availability rule and the selection.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "device_tree.h"

namespace norvex::native {

// The four 8-bit texts kept per device, in the order the host object receives them.
struct DeviceRecord {
  std::string id;         // instance identifier
  std::string name;       // description in the ANSI code page; empty when there is none
  std::string psn;        // last segment of the parent's identifier; empty without one
  std::string available;  // "TRUE" or "FALSE"
  bool operator==(const DeviceRecord&) const = default;
};

enum class DeviceSelection : int { All = 0, AvailableOnly = 1, UnavailableOnly = 2 };

// Status flag of a device node that has a problem (its driver is missing or failed).
inline constexpr std::uint32_t kNodeHasProblem = 0x400;

// The selected devices whose identifier begins with `prefix` (byte for byte, case counting;
// empty matches all), in the order of the device set. A selection value outside the three
// named keeps nothing. An empty list when the set cannot be opened.
std::vector<DeviceRecord> EnumerateDevices(const DeviceTree& tree, std::string_view prefix, DeviceSelection selection);

// A variable-size property of the current device: nothing when the property is missing, or
// present but empty (no buffer is ever allocated for it).
std::optional<std::string> ReadVariableProperty(DeviceSet& device, DeviceProperty property);

// Whether the current device counts as available: it has a setup class, and its node reports
// no problem (a status that cannot be read counts as no problem).
bool IsAvailable(DeviceSet& device);

// The text after the last backslash of a parent identifier, or all of it without one.
std::string ParentSegment(std::string_view parentId);

}  // namespace norvex::native
