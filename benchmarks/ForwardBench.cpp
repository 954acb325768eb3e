// Speed of CALCLOTEM: one model's curve over 1e-4..1 s (52 times) for each
// component and 1, 3, 5 and 10 layers, and a 50-member suite's worth of
// calls. Target: a 5-layer model in 1 ms or less on one core.
#include <benchmark/benchmark.h>

#include <string_view>
#include <vector>

#include "VOZUVar/MessageBoxes.h"
#include "engine/CalcLotem.h"
#include "engine/SoundingHandler.h"
#include "engine/SuiteSettings.h"

namespace {

void Silence(std::string_view, std::string_view) {}

// Alternating resistivities over thicknesses growing with depth.
void MakeModel(SoundingRecord& rec, int32_t layers) {
  SoundingRecord partner;
  rec.Data.NPoints = 52;
  rec.Data.NCurves = 3;
  rec.Data.NDataCols = 1;
  rec.Model.NLayers = layers;
  rec.Model.ValuesPerLayer = 1;
  rec.Model.NParams = 2 * layers - 1;
  ALLOCSOUND(rec, partner);
  for (int32_t k = 1; k <= layers; ++k) rec.Model.Value(k) = (k % 2 == 1) ? 100.0f : 10.0f;
  for (int32_t k = 1; k < layers; ++k) rec.Model.Value(layers + k) = 50.0f * static_cast<float>(k);
}

void Arrange(int32_t component) {
  SuiteSettingsRecord& s = SuiteSettings();
  s.IComponent = component;
  s.IDisplay = component == 3 ? 4 : 3;
  s.Offset = 1000.0f;
  s.TxRxAngle = 60.0f;
  s.AbStart = 1.0e-4f;
  s.AbEnd = 1.0f;
}

void BM_Calclotem(benchmark::State& state) {
  SetWinMsgHook(Silence);
  const auto component = static_cast<int32_t>(state.range(0));
  const auto layers = static_cast<int32_t>(state.range(1));
  SoundingRecord rec;
  MakeModel(rec, layers);
  Arrange(component);
  for (auto _ : state) {
    CALCLOTEM(rec);
    benchmark::DoNotOptimize(rec.Synthetics.Data.data());
  }
  state.SetLabel(component == 1 ? "Ex" : component == 2 ? "Ey" : "Hz");
}
BENCHMARK(BM_Calclotem)
    ->ArgsProduct({{3, 1, 2}, {1, 3, 5, 10}})
    ->ArgNames({"component", "layers"})
    ->Unit(benchmark::kMillisecond);

// A suite of 50 members varying the top-layer resistivity of a 3-layer model.
void BM_Suite50(benchmark::State& state) {
  SetWinMsgHook(Silence);
  SoundingRecord rec;
  MakeModel(rec, 3);
  Arrange(3);
  for (auto _ : state) {
    for (int32_t k = 1; k <= 50; ++k) {
      rec.Model.Value(1) = 2.0f * static_cast<float>(k);
      CALCLOTEM(rec);
    }
    benchmark::DoNotOptimize(rec.Synthetics.Data.data());
  }
}
BENCHMARK(BM_Suite50)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
