// The user's lock on the record of muted endpoints, as Wine's kernel
// objects have it: one mutex per user that excludes a second holder until
// the first lets go, and a mutex of that name someone else made first
// (another owner, or a DACL that shuts the user out) is not used.
#include "devices/win32/Win32MutedEndpointsLock.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <sddl.h>

#include <atomic>
#include <string>
#include <thread>

namespace shadowpane {
namespace {

TEST(MutedEndpointsLockWineTest, OneHolderAtATime) {
  Win32MutedEndpointsLock first;
  Win32MutedEndpointsLock second;
  ASSERT_TRUE(first.Available());
  ASSERT_TRUE(second.Available());
  ASSERT_TRUE(first.Lock());
  // The mutex is a thread's: another thread waits its bound and is refused.
  std::atomic<int> taken{-1};
  std::thread other([&] {
    const bool locked = second.Lock();
    taken = locked ? 1 : 0;
    if (locked) second.Unlock();
  });
  other.join();
  EXPECT_EQ(taken, 0) << "held by the first";
  first.Unlock();
  std::thread after([&] {
    const bool locked = second.Lock();
    taken = locked ? 1 : 0;
    if (locked) second.Unlock();
  });
  after.join();
  EXPECT_EQ(taken, 1);
}

TEST(MutedEndpointsLockWineTest, AMutexSomeoneElseMadeUnderItsNameIsNotUsed) {
  const std::wstring name = kMutedEndpointsLockPrefix + CurrentUserSid();
  ASSERT_FALSE(CurrentUserSid().empty());
  // Another owner (the administrators' group), and a DACL without the user.
  for (const wchar_t* descriptorText : {L"O:BAD:P(A;;GA;;;WD)", L"D:P"}) {
    SCOPED_TRACE(std::string(descriptorText, descriptorText + wcslen(descriptorText)));
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(descriptorText, SDDL_REVISION_1, &descriptor,
                                                                     nullptr));
    SECURITY_ATTRIBUTES attributes{sizeof attributes, descriptor, FALSE};
    HANDLE squatter = CreateMutexW(&attributes, FALSE, name.c_str());
    LocalFree(descriptor);
    if (squatter == nullptr) GTEST_SKIP() << "this prefix refuses such a mutex: " << GetLastError();
    Win32MutedEndpointsLock lock;
    EXPECT_FALSE(lock.Available());
    EXPECT_FALSE(lock.Lock());
    CloseHandle(squatter);
  }
  Win32MutedEndpointsLock afterwards;
  EXPECT_TRUE(afterwards.Available()) << "once it is gone, the user's own is made";
}

}  // namespace
}  // namespace shadowpane
