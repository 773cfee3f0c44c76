// The device tree through SetupAPI (the set of present devices of all classes, walked by
// index) and the configuration manager (node status, parent), with the ANSI functions, so
// texts arrive in the system's ANSI code page.
#include "win/setupapi_device_tree.h"

#include <cstring>

#include "win/handles.h"
#include "win/windows_api.h"
// After windows_api.h, which includes <windows.h> for them.
#include <cfgmgr32.h>
#include <setupapi.h>

#ifndef _WIN64
static_assert(sizeof(SP_DEVINFO_DATA) == 28, "the 32-bit device information record");
#endif

namespace norvex::native {

namespace {

struct DevInfoTraits {
  static HDEVINFO Invalid() { return INVALID_HANDLE_VALUE; }
  static void Close(HDEVINFO set) { ::SetupDiDestroyDeviceInfoList(set); }
};
using unique_devinfo = win::UniqueResource<HDEVINFO, DevInfoTraits>;

std::string Terminated(const char* text, std::size_t capacity) { return std::string(text, ::strnlen(text, capacity)); }

class SetupApiDeviceSet final : public DeviceSet {
 public:
  explicit SetupApiDeviceSet(unique_devinfo set) : set_(std::move(set)) {}

  bool Select(std::uint32_t index) override {
    device_ = {};
    device_.cbSize = sizeof(SP_DEVINFO_DATA);
    return ::SetupDiEnumDeviceInfo(set_.get(), index, &device_) != FALSE;
  }

  std::optional<std::string> InstanceId() override {
    char id[260] = {};
    if (!::SetupDiGetDeviceInstanceIdA(set_.get(), &device_, id, sizeof id, nullptr)) return std::nullopt;
    return Terminated(id, sizeof id);
  }

  PropertyRead ReadProperty(DeviceProperty property, std::span<char> buffer) override {
    const DWORD code = property == DeviceProperty::Class ? SPDRP_CLASS : SPDRP_DEVICEDESC;
    DWORD required = 0;
    if (::SetupDiGetDeviceRegistryPropertyA(set_.get(), &device_, code, nullptr, reinterpret_cast<BYTE*>(buffer.data()),
                                            static_cast<DWORD>(buffer.size()), &required)) {
      return {PropertyRead::Status::Ok, required};
    }
    if (::GetLastError() == ERROR_INSUFFICIENT_BUFFER) return {PropertyRead::Status::BufferTooSmall, required};
    return {PropertyRead::Status::Failed, 0};
  }

  std::optional<std::uint32_t> NodeStatus() override {
    // Zeroed first: Wine's status call can succeed without writing its outputs.
    ULONG status = 0, problem = 0;
    if (::CM_Get_DevNode_Status(&status, &problem, device_.DevInst, 0) != CR_SUCCESS) return std::nullopt;
    return status;
  }

  std::optional<std::string> ParentInstanceId() override {
    DEVINST parent = 0;
    if (::CM_Get_Parent(&parent, device_.DevInst, 0) != CR_SUCCESS) return std::nullopt;
    ULONG length = 0;
    if (::CM_Get_Device_ID_Size(&length, parent, 0) != CR_SUCCESS || length == 0) return std::nullopt;
    std::string id(length + 1, '\0');
    if (::CM_Get_Device_IDA(parent, id.data(), length + 1, 0) != CR_SUCCESS) return std::nullopt;
    return Terminated(id.data(), id.size());
  }

 private:
  unique_devinfo set_;
  SP_DEVINFO_DATA device_{};
};

}  // namespace

std::unique_ptr<DeviceSet> SetupApiDeviceTree::OpenPresent() const {
  unique_devinfo set(::SetupDiGetClassDevsA(nullptr, nullptr, nullptr, DIGCF_PRESENT | DIGCF_ALLCLASSES));
  if (!set) return nullptr;
  return std::make_unique<SetupApiDeviceSet>(std::move(set));
}

}  // namespace norvex::native
