// The scripted device tree: parsing its script and answering like the platform would,
// including the size dance of variable-size properties.
#include "scripted_device_tree.h"

#include <algorithm>
#include <stdexcept>
#include <string>

namespace norvex::native {

namespace {

std::vector<std::string_view> Split(std::string_view text, char separator) {
  std::vector<std::string_view> parts;
  for (std::size_t start = 0;;) {
    const std::size_t end = text.find(separator, start);
    parts.push_back(text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
    if (end == std::string_view::npos) return parts;
    start = end + 1;
  }
}

std::optional<std::string> Text(std::string_view field, std::string_view absent) {
  if (field == absent) return std::nullopt;
  return std::string(field);
}

// Registry text holds its terminator; an empty property holds nothing at all.
std::optional<std::string> Property(std::string_view field) {
  if (field == "-") return std::nullopt;
  return field.empty() ? std::string() : std::string(field) + '\0';
}

std::optional<std::uint32_t> Status(std::string_view field, std::string_view line) {
  if (field == "-") return std::nullopt;
  const std::string digits(field);
  std::size_t used = 0;
  unsigned long value = 0;
  try {
    value = std::stoul(digits, &used, 0);
  } catch (const std::exception&) {
    used = 0;
  }
  if (digits.empty() || used != digits.size()) throw std::invalid_argument("bad status in: " + std::string(line));
  return static_cast<std::uint32_t>(value);
}

}  // namespace

std::vector<ScriptedDevice> ParseDeviceScript(std::string_view script) {
  std::vector<ScriptedDevice> devices;
  for (std::string_view line : Split(script, '\n')) {
    if (line.empty()) continue;
    const std::vector<std::string_view> f = Split(line, '|');
    if (f.size() != 5) throw std::invalid_argument("need 5 fields: " + std::string(line));
    devices.push_back({Text(f[0], "!"), Property(f[1]), Property(f[2]), Status(f[3], line), Text(f[4], "-")});
  }
  return devices;
}

class ScriptedDeviceSet final : public DeviceSet {
 public:
  explicit ScriptedDeviceSet(std::shared_ptr<ScriptedDeviceTree::State> state) : state_(std::move(state)) {
    ++state_->openSets;
  }
  ~ScriptedDeviceSet() override { --state_->openSets; }

  bool Select(std::uint32_t index) override {
    current_ = index < state_->devices.size() ? &state_->devices[index] : nullptr;
    return current_ != nullptr;
  }
  std::optional<std::string> InstanceId() override { return Current().id; }
  PropertyRead ReadProperty(DeviceProperty property, std::span<char> buffer) override {
    const std::optional<std::string>& data =
        property == DeviceProperty::Class ? Current().classData : Current().description;
    if (!data) return {PropertyRead::Status::Failed, 0};
    const auto size = static_cast<std::uint32_t>(data->size());
    if (buffer.size() < data->size()) return {PropertyRead::Status::BufferTooSmall, size};
    std::copy(data->begin(), data->end(), buffer.begin());
    return {PropertyRead::Status::Ok, size};
  }
  std::optional<std::uint32_t> NodeStatus() override { return Current().status; }
  std::optional<std::string> ParentInstanceId() override { return Current().parent; }

 private:
  const ScriptedDevice& Current() const {
    if (!current_) throw std::logic_error("no device selected");
    return *current_;
  }
  std::shared_ptr<ScriptedDeviceTree::State> state_;
  const ScriptedDevice* current_ = nullptr;
};

ScriptedDeviceTree::ScriptedDeviceTree(std::vector<ScriptedDevice> devices, bool opens)
    : state_(std::make_shared<State>()) {
  state_->devices = std::move(devices);
  state_->opens = opens;
}

std::unique_ptr<DeviceSet> ScriptedDeviceTree::OpenPresent() const {
  if (!state_->opens) return nullptr;
  return std::make_unique<ScriptedDeviceSet>(state_);
}

}  // namespace norvex::native
