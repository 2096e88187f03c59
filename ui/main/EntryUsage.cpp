#include "ui/main/EntryUsage.h"

#include "devices/Microphone.h"

namespace shadowpane {
namespace {

constexpr WideChar kUsersSeparator[] = u", ";

WideString DisplayNameOf(SPDEV* device) {
  WideChar name[kNameUnits] = {};
  device->GetDisplayName(name, kMaxNameChars);
  return BoundedString(name, kNameUnits);
}

WideString EndpointOf(SPDEV* device, CaptureServices& services) {
  auto* microphone = static_cast<SPDEVMIC*>(device);
  if (!microphone->EndpointId().empty()) return microphone->EndpointId();
  const int waveInId = microphone->GetWaveInId();
  std::u16string endpoint;
  if (waveInId < 0 || services.WaveInputEndpointId(static_cast<std::uint32_t>(waveInId), &endpoint) != kMmNoError) {
    return WideString();
  }
  return endpoint;
}

}  // namespace

std::vector<UsageDevice> UsageDevicesOf(const DeviceList& list, CaptureServices& services) {
  std::vector<UsageDevice> devices;
  for (SPDEV* device = list.head(); device != nullptr; device = device->next) {
    UsageDevice usage;
    const bool microphone = device->GetKind() == DEVICE_KIND_AUDIO;
    usage.kind = microphone ? UsageKind::Microphone : UsageKind::Camera;
    usage.name = DisplayNameOf(device);
    if (microphone) usage.endpointId = EndpointOf(device, services);
    usage.blocked = DeviceList::IsBlocked(device) != 0 && device->IsSharedBitSet() == 0;
    devices.push_back(std::move(usage));
  }
  return devices;
}

UsersByEntry UsersOfEntries(const UsageMonitor& monitor, const std::vector<UsageDevice>& devices) {
  UsersByEntry users;
  for (const UsageDevice& device : devices) {
    std::vector<WideString> programs = monitor.UsersOf(device, devices);
    if (!programs.empty()) users[device.name] = std::move(programs);
  }
  return users;
}

WideString JoinedUsers(const UsersByEntry& users, const WideString& entry) {
  const auto found = users.find(entry);
  WideString joined;
  if (found == users.end()) return joined;
  for (const WideString& program : found->second) {
    if (!joined.empty()) joined += kUsersSeparator;
    joined += program;
  }
  return joined;
}

}  // namespace shadowpane
