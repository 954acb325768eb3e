// Speed of the suite work: a 50-member suite of a 3-layer model at 42 times,
// Hz with early, late and all-time apparent resistivity (the member loop,
// the ranges, the scaling and the labels), and a 1000-member suite.
// Targets on one core: 50 members under 15 ms, 1000 members under 300 ms.
#include <benchmark/benchmark.h>

#include <string_view>

#include "VOZUVar/MessageBoxes.h"
#include "engine/ModelSuite.h"
#include "engine/SoundingHandler.h"
#include "engine/SuiteResults.h"
#include "engine/SuiteSettings.h"

namespace {

void Silence(std::string_view, std::string_view) {}

void DefineSuite(int32_t members) {
  ResetSoundings();
  ResetSuiteResults();
  ResetSuiteSettings();
  SoundingRecord& base = SuiteBaseModel().Primary;
  SoundingRecord partner;
  base.Data.NPoints = 1;
  base.Data.NCurves = 1;
  base.Data.NDataCols = 1;
  base.Data.NCurveSets = 1;
  base.Model.NLayers = 3;
  base.Model.ValuesPerLayer = 1;
  base.Model.NParams = 5;
  ALLOCSOUND(base, partner);
  const float values[] = {100.0f, 10.0f, 1000.0f, 100.0f, 200.0f};
  for (int32_t k = 1; k <= 5; ++k) base.Model.Value(k) = values[k - 1];
  SuiteSettingsRecord& s = SuiteSettings();
  s.NSuite = members;
  s.ISuiteType = 1;  // the second layer's resistivity, 1..members ohm-m
  s.ILayer = 2;
  s.IComponent = 3;
  s.IDisplay = 6;
  for (int32_t k = 0; k < members; ++k) s.VParam[static_cast<size_t>(k)] = 1.0f + static_cast<float>(k);
}

void BM_ModelSuite(benchmark::State& state) {
  SetWinMsgHook(Silence);  // "Too many labels" beyond the 50th
  const auto members = static_cast<int32_t>(state.range(0));
  DefineSuite(members);
  for (auto _ : state) {
    if (ComputeSuite() != kSuiteComputed) state.SkipWithError("suite refused");
    benchmark::DoNotOptimize(SuiteResults().SuiteCurves.data());
  }
  state.counters["times"] = SuiteResults().SuiteNT;
  SetWinMsgHook(nullptr);
}
BENCHMARK(BM_ModelSuite)->Arg(50)->Arg(1000)->ArgName("members")->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
