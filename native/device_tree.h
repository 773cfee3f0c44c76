// The device tree as the enumeration sees it: a set of present devices walked by index, and
// per device the few facts the availability rule and the records need. Production reads
// Windows' SetupAPI and configuration manager (win/); tests script a tree.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>

namespace norvex::native {

// The registry properties of a device that the enumeration reads.
enum class DeviceProperty { Class, Description };

// The outcome of one property read, as the platform reports it: the data fit and were
// written; the buffer was too small (requiredBytes says how large it must be); or another
// failure (the property is not there).
struct PropertyRead {
  enum class Status { Ok, BufferTooSmall, Failed } status = Status::Failed;
  std::uint32_t requiredBytes = 0;
};

// One opened set of present devices; released when destroyed.
class DeviceSet {
 public:
  virtual ~DeviceSet() = default;
  // Makes the device at this index the current one; false when the set holds no such device.
  virtual bool Select(std::uint32_t index) = 0;
  // The current device's instance identifier; nothing when it cannot be read.
  virtual std::optional<std::string> InstanceId() = 0;
  // One call of the platform's property read into `buffer` (which may be empty).
  virtual PropertyRead ReadProperty(DeviceProperty property, std::span<char> buffer) = 0;
  // The device node's status flags; nothing when the status call fails.
  virtual std::optional<std::uint32_t> NodeStatus() = 0;
  // The parent node's instance identifier; nothing when there is no parent or its identifier
  // cannot be read.
  virtual std::optional<std::string> ParentInstanceId() = 0;
};

class DeviceTree {
 public:
  virtual ~DeviceTree() = default;
  // The set of present devices of all classes; null when it cannot be opened.
  virtual std::unique_ptr<DeviceSet> OpenPresent() const = 0;
};

}  // namespace norvex::native
