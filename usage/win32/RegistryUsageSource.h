// The system's usage records in the registry, read from both roots (the
// user's and, on some versions, the machine's) and followed with
// RegNotifyChangeKeyValue on a watcher thread: no polling. The watcher
// only tells the notice; the reading happens on the reader's thread.
#pragma once

#include <atomic>
#include <thread>

#include "usage/UsageSources.h"

namespace shadowpane {

// Under HKCU and HKLM; the kind's key holds one key per packaged program
// and "NonPackaged" one per desktop program.
constexpr wchar_t kConsentStoreKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\CapabilityAccessManager\\ConsentStore";
constexpr wchar_t kCameraUsageKeyName[] = L"webcam";
constexpr wchar_t kMicrophoneUsageKeyName[] = L"microphone";
constexpr wchar_t kLastUsedTimeStartValue[] = L"LastUsedTimeStart";
constexpr wchar_t kLastUsedTimeStopValue[] = L"LastUsedTimeStop";

class RegistryUsageSource : public UsageRecordSource {
 public:
  RegistryUsageSource() = default;
  RegistryUsageSource(const RegistryUsageSource&) = delete;
  RegistryUsageSource& operator=(const RegistryUsageSource&) = delete;
  ~RegistryUsageSource() override;

  int ReadRecords(UsageKind kind, std::vector<UsageRecord>& records) override;
  // Answers once every key is watched, so no change after it is missed.
  int StartWatching(UsageNotice& notice) override;
  void StopWatching() override;

 private:
  void Watch(void* armed);

  std::thread watcher_;
  void* stop_ = nullptr;  // HANDLE of the event that ends the watcher
  UsageNotice* notice_ = nullptr;
};

}  // namespace shadowpane
