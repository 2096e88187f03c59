// The audio capture sessions of each watched endpoint, followed on a thread
// of their own. The system tells of new sessions only to a multithreaded
// apartment, and only once the session enumerator of the manager it was
// registered on has been asked for its count; so one thread in the
// multithreaded apartment opens each endpoint's session manager, registers
// there, enumerates there (GetCount asked) at the start and after every
// notice, and keeps the last reading of each endpoint. The system's
// callbacks only wake that thread; the thread only tells the notice (which
// posts). The reader's thread (the window's, a single-threaded apartment)
// makes no audio call: it takes the last reading under a lock.
#pragma once

#include <map>
#include <mutex>
#include <thread>
#include <vector>

#include "usage/UsageSources.h"

namespace shadowpane {

class Win32AudioSessionSource : public AudioSessionSource {
 public:
  Win32AudioSessionSource() = default;
  Win32AudioSessionSource(const Win32AudioSessionSource&) = delete;
  Win32AudioSessionSource& operator=(const Win32AudioSessionSource&) = delete;
  ~Win32AudioSessionSource() override;

  // The endpoint's last reading by the session thread: 1 with its sessions,
  // 0 while it has not been read (or has no such endpoint), a negative COM
  // result when it could not be.
  int ReadSessions(WideView endpointId, std::vector<AudioSessionUse>& sessions) override;
  // Starts the session thread with the first endpoint, and hands it each
  // endpoint once; the notice is told (on that thread) when an endpoint's
  // reading changed. Answers 1, or 0 when the thread could not start.
  int Watch(WideView endpointId, UsageNotice& notice) override;
  // Stops the thread and joins it: every COM reference is released on it,
  // and no notice is told after this returns.
  void StopWatching() override;

 private:
  struct Reading {
    bool answered = false;
    int result = 0;
    std::vector<AudioSessionUse> sessions;
  };
  struct ThreadState;

  void Run();
  // Publishes one endpoint's reading; answers whether it changed.
  bool Publish(const WideString& endpointId, int result, std::vector<AudioSessionUse> sessions);

  std::mutex lock_;                        // guards readings_ and wanted_
  std::map<WideString, Reading> readings_;
  std::vector<WideString> wanted_;         // endpoints the thread has not taken yet
  UsageNotice* notice_ = nullptr;          // set before the thread starts
  std::thread thread_;
  void* wake_ = nullptr;  // HANDLE: an endpoint wanted, or the system told of a change
  void* stop_ = nullptr;  // HANDLE: the thread ends
};

}  // namespace shadowpane
