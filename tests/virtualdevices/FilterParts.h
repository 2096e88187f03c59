// Pieces both virtual filters share: the module's object count (for
// DllCanUnloadNow), media type copies owned by COM's task allocator, and the
// two enumerators a filter with a single pin of a single type needs.
#pragma once

#include <windows.h>
#include <dshow.h>

namespace shadowpane::virtualdevices {

// Live objects and server locks of the DLL.
void ModuleAddRef();
void ModuleRelease();
bool ModuleInUse();

// Deep copy of a media type into *target (format block included).
HRESULT CopyMediaType(AM_MEDIA_TYPE* target, const AM_MEDIA_TYPE& source);
// Frees the format block and the unknown of a media type, not the type itself.
void FreeMediaTypeContents(AM_MEDIA_TYPE& type);
// A CoTaskMemAlloc'ed copy, as IEnumMediaTypes::Next hands out; null on failure.
AM_MEDIA_TYPE* NewMediaTypeCopy(const AM_MEDIA_TYPE& source);

// IEnumPins over exactly one pin.
class SinglePinEnum final : public IEnumPins {
 public:
  SinglePinEnum(IPin* pin, ULONG position);
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
  STDMETHODIMP_(ULONG) AddRef() override;
  STDMETHODIMP_(ULONG) Release() override;
  STDMETHODIMP Next(ULONG count, IPin** pins, ULONG* fetched) override;
  STDMETHODIMP Skip(ULONG count) override;
  STDMETHODIMP Reset() override;
  STDMETHODIMP Clone(IEnumPins** out) override;

 private:
  ~SinglePinEnum();
  LONG refs_ = 1;
  IPin* pin_;
  ULONG position_;
};

// IEnumMediaTypes over exactly one media type.
class SingleTypeEnum final : public IEnumMediaTypes {
 public:
  SingleTypeEnum(const AM_MEDIA_TYPE& type, ULONG position);
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
  STDMETHODIMP_(ULONG) AddRef() override;
  STDMETHODIMP_(ULONG) Release() override;
  STDMETHODIMP Next(ULONG count, AM_MEDIA_TYPE** types, ULONG* fetched) override;
  STDMETHODIMP Skip(ULONG count) override;
  STDMETHODIMP Reset() override;
  STDMETHODIMP Clone(IEnumMediaTypes** out) override;

 private:
  ~SingleTypeEnum();
  LONG refs_ = 1;
  AM_MEDIA_TYPE type_ = {};
  ULONG position_;
};

// IBaseFilter for a filter with one pin named pinName: the IMediaFilter state
// machine, the graph's clock, the graph that holds the filter, pin lookup.
// A subclass owns the pin and hooks the state changes it cares about.
class SinglePinFilter : public IBaseFilter {
 public:
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
  STDMETHODIMP_(ULONG) AddRef() override;
  STDMETHODIMP_(ULONG) Release() override;

  STDMETHODIMP GetClassID(CLSID* clsid) override;
  STDMETHODIMP Stop() override;
  STDMETHODIMP Pause() override;
  STDMETHODIMP Run(REFERENCE_TIME start) override;
  STDMETHODIMP GetState(DWORD timeout, FILTER_STATE* state) override;
  STDMETHODIMP SetSyncSource(IReferenceClock* clock) override;
  STDMETHODIMP GetSyncSource(IReferenceClock** clock) override;
  STDMETHODIMP EnumPins(IEnumPins** pins) override;
  STDMETHODIMP FindPin(LPCWSTR id, IPin** pin) override;
  STDMETHODIMP QueryFilterInfo(FILTER_INFO* info) override;
  STDMETHODIMP JoinFilterGraph(IFilterGraph* graph, LPCWSTR name) override;
  STDMETHODIMP QueryVendorInfo(LPWSTR* info) override;

  const CLSID& clsid() const { return clsid_; }
  CRITICAL_SECTION& lock() { return lock_; }
  // Read under lock().
  FILTER_STATE state() const { return state_; }

 protected:
  SinglePinFilter(const CLSID& clsid, const wchar_t* pinName);
  virtual ~SinglePinFilter();
  virtual IPin* OwnPin() = 0;
  // Called under lock() when the filter leaves the stopped state; a failure
  // keeps it stopped.
  virtual HRESULT OnStreamStarting() { return S_OK; }
  // Called under lock() when the filter stops.
  virtual void OnStreamStopped() {}

 private:
  LONG refs_ = 1;
  CLSID clsid_;
  const wchar_t* pinName_;
  CRITICAL_SECTION lock_;
  FILTER_STATE state_ = State_Stopped;
  IReferenceClock* clock_ = nullptr;  // owned reference
  IFilterGraph* graph_ = nullptr;     // not owned: the graph owns the filter
  WCHAR name_[MAX_FILTER_NAME] = {};
};

// The IPin answers every pin of ours gives alike.
HRESULT FillPinInfo(PIN_INFO* info, IBaseFilter* filter, PIN_DIRECTION direction, const wchar_t* name);
HRESULT CopyPinId(LPWSTR* id, const wchar_t* name);

}  // namespace shadowpane::virtualdevices
