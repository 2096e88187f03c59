// The DirectShow class, interface, category and media-type identifiers the
// capture services use, each defined once here (the MinGW import libraries
// lack some of them).
#pragma once

#include <guiddef.h>

namespace shadowpane {

extern const GUID kClsidSystemDeviceEnum;
extern const GUID kIidICreateDevEnum;
extern const GUID kClsidVideoInputDeviceCategory;
extern const GUID kClsidAudioInputDeviceCategory;
extern const GUID kIidIPropertyBag;
extern const GUID kIidIBaseFilter;
extern const GUID kClsidFilterGraph;
extern const GUID kIidIGraphBuilder;
extern const GUID kClsidCaptureGraphBuilder2;
extern const GUID kIidICaptureGraphBuilder2;
extern const GUID kIidIMediaControl;
extern const GUID kIidIMediaEventEx;
extern const GUID kClsidNullRenderer;
extern const GUID kPinCategoryCapture;
extern const GUID kMediaTypeVideo;
extern const GUID kMediaTypeAnalogAudio;
extern const GUID kIidIAMAudioInputMixer;

}  // namespace shadowpane
