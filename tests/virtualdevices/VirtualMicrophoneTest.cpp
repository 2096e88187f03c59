// The virtual microphone through Wine's real device enumerator and capture
// graph builder, with its input switch shared between processes.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "tests/virtualdevices/CaptureProbe.h"
#include "tests/virtualdevices/HelperProcess.h"
#include "tests/virtualdevices/MicrophoneInputStore.h"
#include "tests/virtualdevices/VirtualDeviceKeys.h"
#include "tests/virtualdevices/VirtualDeviceRegistry.h"

namespace shadowpane::virtualdevices {
namespace {

BOOL EnableOf(IAMAudioInputMixer* mixer) {
  BOOL on = 2;  // neither TRUE nor FALSE: shows a read that changed nothing
  EXPECT_HRESULT_SUCCEEDED(mixer->get_Enable(&on));
  return on;
}

class VirtualMicrophone : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_HRESULT_SUCCEEDED(com_.result()); }

  // Binds the microphone by name and reaches its input mixer, as the program does.
  HRESULT Open(const std::wstring& name, Ref<IBaseFilter>* filter, InputMixerAccess* access) {
    HRESULT hr = BindDevice(kAudioInputCategory, L"FriendlyName", name, filter);
    return SUCCEEDED(hr) ? access->Open(filter->get()) : hr;
  }

  ComScope com_;
};

TEST_F(VirtualMicrophone, ListedWithItsNameAndWaveInIdBesideTheSystemsOwnInputs) {
  size_t before = ListCategory(kAudioInputCategory).size();
  PluggedDevice mic = PluggedDevice::Microphone(L"Listed Microphone", 7);
  ASSERT_TRUE(mic.ok());

  std::vector<ListedDevice> listed = ListCategory(kAudioInputCategory);
  EXPECT_EQ(listed.size(), before + 1);
  auto found = std::find_if(listed.begin(), listed.end(), [](const ListedDevice& device) {
    return device.friendlyName == L"Listed Microphone";
  });
  ASSERT_NE(found, listed.end());
  EXPECT_TRUE(found->hasWaveInId);
  EXPECT_EQ(found->waveInId, 7u);

  mic.Unplug();
  EXPECT_EQ(ListCategory(kAudioInputCategory).size(), before);
}

TEST_F(VirtualMicrophone, AnalogInputPinSwitchesOffAndOnThroughItsMixer) {
  PluggedDevice mic = PluggedDevice::Microphone(L"Switch Microphone", 0);
  ASSERT_TRUE(mic.ok());
  Ref<IBaseFilter> filter;
  InputMixerAccess access;
  ASSERT_HRESULT_SUCCEEDED(Open(L"Switch Microphone", &filter, &access));

  EXPECT_EQ(EnableOf(access.mixer()), TRUE) << "an input starts switched on";
  ASSERT_HRESULT_SUCCEEDED(access.mixer()->put_Enable(FALSE));
  EXPECT_EQ(EnableOf(access.mixer()), FALSE);
  ASSERT_HRESULT_SUCCEEDED(access.mixer()->put_Enable(TRUE));
  EXPECT_EQ(EnableOf(access.mixer()), TRUE);
  EXPECT_EQ(ReadEnableHistory(mic.clsid()), L"01");
}

TEST_F(VirtualMicrophone, AnotherProcessSeesAndChangesTheSameSwitch) {
  PluggedDevice mic = PluggedDevice::Microphone(L"Shared Microphone", 0);
  ASSERT_TRUE(mic.ok());
  Ref<IBaseFilter> filter;
  InputMixerAccess access;
  ASSERT_HRESULT_SUCCEEDED(Open(L"Shared Microphone", &filter, &access));

  ASSERT_HRESULT_SUCCEEDED(access.mixer()->put_Enable(FALSE));
  EXPECT_EQ(RunHelper(L"set-mic \"Shared Microphone\" 1"), S_OK);
  EXPECT_EQ(EnableOf(access.mixer()), TRUE) << "switched back on by the other process";
  EXPECT_EQ(RunHelper(L"set-mic \"Shared Microphone\" 0"), S_OK);
  EXPECT_EQ(EnableOf(access.mixer()), FALSE);
}

TEST_F(VirtualMicrophone, EachMicrophoneHasItsOwnSwitch) {
  PluggedDevice first = PluggedDevice::Microphone(L"First Microphone", 0);
  PluggedDevice second = PluggedDevice::Microphone(L"Second Microphone", 1);
  ASSERT_TRUE(first.ok() && second.ok());
  Ref<IBaseFilter> firstFilter, secondFilter;
  InputMixerAccess firstAccess, secondAccess;
  ASSERT_HRESULT_SUCCEEDED(Open(L"First Microphone", &firstFilter, &firstAccess));
  ASSERT_HRESULT_SUCCEEDED(Open(L"Second Microphone", &secondFilter, &secondAccess));

  ASSERT_HRESULT_SUCCEEDED(firstAccess.mixer()->put_Enable(FALSE));
  EXPECT_EQ(EnableOf(firstAccess.mixer()), FALSE);
  EXPECT_EQ(EnableOf(secondAccess.mixer()), TRUE);
}

TEST_F(VirtualMicrophone, TheHistoryKeepsTheNewestSwitchesOnceFull) {
  PluggedDevice mic = PluggedDevice::Microphone(L"History Microphone", 0);
  ASSERT_TRUE(mic.ok());
  const size_t writes = kEnableHistoryLength + 50;
  for (size_t i = 0; i < writes; ++i) ASSERT_HRESULT_SUCCEEDED(WriteInputEnabled(mic.clsid(), i % 3 == 0));
  ASSERT_HRESULT_SUCCEEDED(WriteInputEnabled(mic.clsid(), false));
  ASSERT_HRESULT_SUCCEEDED(WriteInputEnabled(mic.clsid(), true));
  std::wstring history = ReadEnableHistory(mic.clsid());
  ASSERT_EQ(history.size(), kEnableHistoryLength);
  EXPECT_EQ(history.substr(history.size() - 2), L"01");
  // The oldest kept write is number writes + 2 - kEnableHistoryLength.
  EXPECT_EQ(history[0], (writes + 2 - kEnableHistoryLength) % 3 == 0 ? L'1' : L'0');
}

TEST_F(VirtualMicrophone, AnUnpluggedMicrophonesFilterReportsFailureNotAState) {
  PluggedDevice mic = PluggedDevice::Microphone(L"Vanishing Microphone", 0);
  ASSERT_TRUE(mic.ok());
  Ref<IBaseFilter> filter;
  InputMixerAccess access;
  ASSERT_HRESULT_SUCCEEDED(Open(L"Vanishing Microphone", &filter, &access));
  mic.Unplug();
  BOOL on = TRUE;
  EXPECT_TRUE(FAILED(access.mixer()->get_Enable(&on)));
  EXPECT_TRUE(FAILED(access.mixer()->put_Enable(FALSE)));
}

}  // namespace
}  // namespace shadowpane::virtualdevices
