#include "devices/DeviceList.h"

#include <algorithm>
#include <string>

#include "devices/DeviceText.h"
#include "devices/MicrophonePath.h"

namespace shadowpane {

namespace {

std::u16string DisplayNameOf(SPDEV* device) {
  WideChar buffer[kNameUnits] = {};
  device->GetDisplayName(buffer, kMaxNameChars);
  return BoundedString(buffer, kNameUnits);
}

std::u16string PathOf(SPDEV* device) {
  WideChar buffer[kNameUnits] = {};
  device->GetPath(buffer, kMaxNameChars);
  return BoundedString(buffer, kNameUnits);
}

// "name-n". When that would not fit the 255-character field, the name is
// shortened so the suffix survives: cutting the suffix off would give two
// devices the same display name.
std::u16string SuffixedName(const std::u16string& name, int n) {
  const std::string digits = "-" + std::to_string(n);
  std::u16string suffix(digits.begin(), digits.end());
  const size_t room = static_cast<size_t>(kMaxNameChars) - suffix.size();
  return name.substr(0, room) + suffix;
}

}  // namespace

DeviceList::DeviceList(ProfileFile* profileFile) : profileFile_(profileFile) {}

DeviceList::~DeviceList() {
  while (head_ != nullptr) DestroyDevice(head_);
}

int DeviceList::IsBlocked(SPDEV* device) { return device->IsBlockedBitSet(); }

std::uint32_t DeviceList::ListItemDataOf(SPDEV* device) {
  const int blocked = IsBlocked(device);
  std::uint32_t data = MakeListItemData(blocked, device->GetKind());
  if (blocked != 0 && device->IsSharedBitSet() != 0) data |= kListItemHeldButShared;
  if ((data & kListItemHeldButShared) != 0 && (device->HoldRisks() & kHoldRiskTalking) != 0) data |= kListItemTalking;
  return data;
}

int DeviceList::AllBlocked() const {
  for (SPDEV* device = head_; device != nullptr; device = device->next) {
    if (!IsBlocked(device)) return 0;
  }
  return 1;
}

SPDEV* DeviceList::FindByDisplayName(const WideChar* text) const {
  const int length = BoundedLength(text, kNameUnits);
  if (length == 0) return nullptr;
  const std::u16string wanted(text, static_cast<size_t>(length));
  for (SPDEV* device = head_; device != nullptr; device = device->next) {
    if (DisplayNameOf(device) == wanted) return device;
  }
  return nullptr;
}

SPDEV* DeviceList::FindByPath(const WideChar* text) const {
  const int length = BoundedLength(text, kNameUnits);
  if (length == 0) return nullptr;
  const std::u16string wanted(text, static_cast<size_t>(length));
  for (SPDEV* device = head_; device != nullptr; device = device->next) {
    if (PathOf(device) == wanted) return device;
  }
  return nullptr;
}

bool DeviceList::Contains(const SPDEV* device) const {
  if (device == nullptr) return false;
  for (SPDEV* d = head_; d != nullptr; d = d->next) {
    if (d == device) return true;
  }
  return false;
}

int DeviceList::Count() const {
  int count = 0;
  for (SPDEV* d = head_; d != nullptr; d = d->next) ++count;
  return count;
}

bool DeviceList::NameTaken(const std::u16string& name) const {
  return linkedNames_.count(name) != 0;
}

SPDEV* DeviceList::LinkDevice(SPDEV* device) {
  if (device == nullptr) return nullptr;
  const std::u16string name = DisplayNameOf(device);

  // The lowest free candidate among: the name cut to 250 characters, then
  // name-1, name-2, ... name-9998. The hint skips suffixes already known
  // taken; it stays valid while no device leaves the list.
  std::u16string candidate = name.substr(0, kDisplayNameBaseChars);
  if (NameTaken(candidate)) {
    auto hint = lowestFreeSuffixHint_.find(name);
    int n = hint != lowestFreeSuffixHint_.end() ? hint->second : 1;
    for (;; ++n) {
      if (n > kMaxDisplayNameSuffix) {
        lowestFreeSuffixHint_[name] = n;
        delete device;
        return nullptr;
      }
      candidate = SuffixedName(name, n);
      if (!NameTaken(candidate)) break;
    }
    lowestFreeSuffixHint_[name] = n + 1;
  }

  if (candidate != name) device->SetDisplayName(candidate.c_str());
  device->SetFriendlyName(name.c_str());
  ++linkedNames_[DisplayNameOf(device)];
  device->next = head_;
  head_ = device;
  return device;
}

void DeviceList::NotifyPluggedIn(SPDEV* device) { device->PostNotify(DEVICE_PLUGGED_IN); }

void DeviceList::ForgetName(SPDEV* device) {
  auto it = linkedNames_.find(DisplayNameOf(device));
  if (it != linkedNames_.end() && --it->second == 0) linkedNames_.erase(it);
  // A freed name may be lower than any hint: start those searches over.
  lowestFreeSuffixHint_.clear();
}

void DeviceList::DestroyDevice(SPDEV* device) {
  for (SPDEV** link = &head_; *link != nullptr; link = &(*link)->next) {
    if (*link == device) {
      *link = device->next;
      device->next = nullptr;
      ForgetName(device);
      delete device;
      return;
    }
  }
}

void DeviceList::DestroyDeviceList() {
  if (profileFile_ != nullptr) {
    SaveProfile(*this);
    profileFile_->Close();
  }
  while (head_ != nullptr) {
    SPDEV* device = head_;
    head_ = device->next;
    device->next = nullptr;
    ForgetName(device);
    delete device;
  }
  audioCount = 0;
}

void DeviceList::KeepBlocked(const std::u16string& path) {
  if (path.empty()) return;
  keptBlocked_.erase(std::remove(keptBlocked_.begin(), keptBlocked_.end(), path), keptBlocked_.end());
  keptBlocked_.insert(keptBlocked_.begin(), path);
}

bool DeviceList::BlockNotSaved(const std::u16string& path) const {
  return !path.empty() && std::find(blocksNotSaved.begin(), blocksNotSaved.end(), path) != blocksNotSaved.end();
}

void DeviceList::DropOldestKeptBlocks() {
  if (keptBlocked_.size() > kMaxKeptBlockedRecords) keptBlocked_.resize(kMaxKeptBlockedRecords);
}

bool DeviceList::TakeKeptBlock(const std::u16string& path, bool microphone) {
  if (path.empty()) return false;
  auto found = std::find(keptBlocked_.begin(), keptBlocked_.end(), path);
  std::int64_t number = 0;
  std::u16string name;
  if (found == keptBlocked_.end() && microphone && ParseMicrophonePath(path, &number, &name)) {
    found = std::find_if(keptBlocked_.begin(), keptBlocked_.end(), [&](const std::u16string& kept) {
      std::int64_t keptNumber = 0;
      std::u16string keptName;
      return ParseMicrophonePath(kept, &keptNumber, &keptName) && keptName == name;
    });
  }
  if (found == keptBlocked_.end()) return false;
  keptBlocked_.erase(found);
  return true;
}

int SaveProfile(DeviceList& list) {
  ProfileFile* file = list.profileFile();
  if (file == nullptr) return 0;
  if (!file->IsOpen() && !file->OpenForWriting()) return 0;

  const size_t count = static_cast<size_t>(list.Count()) + list.keptBlocked().size();
  std::vector<std::uint8_t> image(ProfileImageSize(count));
  EncodeProfileHeader(image.data());
  std::uint8_t* record = image.data() + kProfileHeaderSize;
  for (SPDEV* device = list.head(); device != nullptr; device = device->next) {
    WideChar path[kNameUnits] = {};
    device->GetPath(path, kMaxNameChars);
    const std::u16string saved = BoundedString(path, kNameUnits);
    EncodeProfileRecord(record, saved, DeviceList::IsBlocked(device) != 0 && !list.BlockNotSaved(saved));
    record += kProfileRecordSize;
  }
  for (const std::u16string& path : list.keptBlocked()) {
    EncodeProfileRecord(record, path, true);
    record += kProfileRecordSize;
  }

  if (!file->WriteImage(image.data(), image.size())) {
    // The next save reopens and truncates.
    file->Close();
    return 0;
  }
  return 1;
}

int LoadProfile(ProfileFile& file, std::vector<ProfileRecord>& records) {
  records.clear();
  std::vector<std::uint8_t> image;
  if (!file.ReadImage(image, kMaxProfileBytes)) return 0;
  return DecodeProfile(image.data(), image.size(), records);
}

}  // namespace shadowpane
