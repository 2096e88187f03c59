// The DirectShow objects of the capture services: each wraps one COM
// reference in a ComRef and makes exactly the call its operation names.
#pragma once

#include <dshow.h>

#include "devices/CaptureServices.h"
#include "devices/win32/ComRef.h"

namespace shadowpane {

// Every CaptureFilter the Win32 services hand out is one of these.
class Win32CaptureFilter : public CaptureFilter {
 public:
  explicit Win32CaptureFilter(ComRef<IBaseFilter> filter) : filter_(std::move(filter)) {}
  IBaseFilter* Get() const { return filter_.Get(); }
  HResult GetState(std::uint32_t timeoutMs, FilterState* state) override;

 private:
  ComRef<IBaseFilter> filter_;
};

// The filter behind a CaptureFilter of these services.
IBaseFilter* FilterOf(CaptureFilter& filter);

class Win32FilterGraph : public FilterGraph {
 public:
  explicit Win32FilterGraph(ComRef<IGraphBuilder> graph) : graph_(std::move(graph)) {}
  IGraphBuilder* Get() const { return graph_.Get(); }
  HResult AddFilter(CaptureFilter& filter, const WideChar* name) override;
  HResult QueryMediaControl(std::unique_ptr<MediaControl>* control) override;
  HResult QueryMediaEvent(std::unique_ptr<MediaEvent>* events) override;

 private:
  ComRef<IGraphBuilder> graph_;
};

class Win32CaptureGraphBuilder : public CaptureGraphBuilder {
 public:
  explicit Win32CaptureGraphBuilder(ComRef<ICaptureGraphBuilder2> builder)
      : builder_(std::move(builder)) {}
  HResult SetFiltergraph(FilterGraph& graph) override;
  HResult FindPin(CaptureFilter& filter, PinDirection direction, PinCategory category,
                  MediaType type, std::unique_ptr<CapturePin>* pin) override;
  HResult RenderStream(CapturePin& source, CaptureFilter& sink) override;

 private:
  ComRef<ICaptureGraphBuilder2> builder_;
};

}  // namespace shadowpane
