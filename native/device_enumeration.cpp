// The walk over the present devices and the rules that decide what the host sees of each.
#include "device_enumeration.h"

#include <algorithm>

namespace norvex::native {

std::optional<std::string> ReadVariableProperty(DeviceSet& device, DeviceProperty property) {
  std::optional<std::string> buffer;
  PropertyRead read = device.ReadProperty(property, {});
  while (read.status == PropertyRead::Status::BufferTooSmall) {
    buffer.emplace(read.requiredBytes, '\0');
    read = device.ReadProperty(property, *buffer);
  }
  // A first call that succeeds means the property is empty: there is no buffer to return. A
  // failure after growing leaves the last (zero-filled) buffer, as the platform wrote it.
  if (!buffer) return std::nullopt;
  // Registry text normally carries its terminator inside the reported size, but nothing
  // guarantees it: stop at the first zero or at the end of the data, whichever comes first.
  buffer->resize(static_cast<std::size_t>(std::find(buffer->begin(), buffer->end(), '\0') - buffer->begin()));
  return buffer;
}

bool IsAvailable(DeviceSet& device) {
  // Only whether a class buffer results matters, not what it says.
  if (!ReadVariableProperty(device, DeviceProperty::Class)) return false;
  const std::optional<std::uint32_t> status = device.NodeStatus();
  return !status || (*status & kNodeHasProblem) == 0;
}

std::string ParentSegment(std::string_view parentId) {
  const std::size_t slash = parentId.rfind('\\');
  return std::string(slash == std::string_view::npos ? parentId : parentId.substr(slash + 1));
}

namespace {

bool Keeps(DeviceSelection selection, bool available) {
  switch (selection) {
    case DeviceSelection::All:
      return true;
    case DeviceSelection::AvailableOnly:
      return available;
    case DeviceSelection::UnavailableOnly:
      return !available;
  }
  return false;
}

}  // namespace

std::vector<DeviceRecord> EnumerateDevices(const DeviceTree& tree, std::string_view prefix, DeviceSelection selection) {
  std::vector<DeviceRecord> records;
  const std::unique_ptr<DeviceSet> set = tree.OpenPresent();
  if (!set) return records;
  for (std::uint32_t index = 0; set->Select(index); ++index) {
    std::optional<std::string> id = set->InstanceId();
    if (!id) break;  // one unreadable identifier ends the whole walk
    if (!id->starts_with(prefix)) continue;
    const bool available = IsAvailable(*set);
    if (!Keeps(selection, available)) continue;
    const std::optional<std::string> parent = set->ParentInstanceId();
    records.push_back({std::move(*id), ReadVariableProperty(*set, DeviceProperty::Description).value_or(""),
                       parent ? ParentSegment(*parent) : std::string(), available ? "TRUE" : "FALSE"});
  }
  return records;
}

}  // namespace norvex::native
