// The toolkit's text layout with a fixed-metrics measurer: wrapping the
// longest text a message box reads (999 characters) and a label's text.
// Each measurement stands for one DrawTextW call on Windows, so the number
// of measurements per layout is reported beside the time.
#include <benchmark/benchmark.h>

#include "tests/ui/toolkit/FakeTextMeasurer.h"
#include "ui/toolkit/LabelLayout.h"
#include "ui/toolkit/MessageBoxLayout.h"

namespace shadowpane {
namespace {

// Words of varying length and content, like a real message.
WideString Words(std::size_t length) {
  static const WideChar* const kWords[] = {u"camera", u"is", u"blocked", u"microphone", u"the",
                                           u"device", u"program", u"plugged", u"in", u"again"};
  WideString text;
  for (std::size_t i = 0; text.size() < length; ++i) {
    text += kWords[(i * 7 + i / 10) % 10];
    text += static_cast<WideChar>(u'a' + i % 26);
    text += u' ';
  }
  text.resize(length);
  return text;
}

void BM_MessageTextLayout(benchmark::State& state) {
  const WideString text = Words(static_cast<std::size_t>(state.range(0)));
  testing::FakeTextMeasurer measurer;
  for (auto _ : state) {
    MessageTextLayout layout = LayoutMessageText(text, 310, measurer);
    benchmark::DoNotOptimize(layout);
  }
  state.counters["measures"] = benchmark::Counter(static_cast<double>(measurer.calls) /
                                                  static_cast<double>(state.iterations()));
}
BENCHMARK(BM_MessageTextLayout)->Arg(100)->Arg(300)->Arg(999);

void BM_LabelLayout(benchmark::State& state) {
  const WideString text = Words(200);
  testing::FakeTextMeasurer measurer;
  for (auto _ : state) {
    LabelLayout layout = LayoutLabel(text, 120, 0, measurer);
    benchmark::DoNotOptimize(layout);
  }
}
BENCHMARK(BM_LabelLayout);

}  // namespace
}  // namespace shadowpane
