// Speed of the plain-metafile player on files whose object table is full
// and whose records each look at it (tests/fuzz/LargeInputs.h): the time
// per byte stays the same as the file grows.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <span>
#include <string>

#include "platform/gdi/Gdi.h"
#include "platform/gdi/Wmf.h"
#include "tests/fuzz/LargeInputs.h"

namespace {

void PlayFullObjectTable(benchmark::State& state) {
  const std::string bytes = fuzz::large::FullObjectTableMetafile(static_cast<uint32_t>(state.range(0)));
  const plat::HBitmap bitmap = plat::createBitmap(64, 64, 32);
  const plat::Hdc dc = plat::createCompatibleDc(0);
  plat::selectObject(dc, bitmap);
  const std::span<const uint8_t> span(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
  for (auto _ : state) benchmark::DoNotOptimize(plat::playMetaFile(dc, span, plat::Rect{0, 0, 50, 40}));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes.size()));
  plat::deleteDc(dc);
  plat::deleteObject(bitmap);
}
BENCHMARK(PlayFullObjectTable)->Arg(50000)->Arg(200000)->Arg(800000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
