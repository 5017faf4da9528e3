// A whole 90-second game of the model at 60 frames a second, with no player and no
// picture. Reports the time per game and, as "frame", the time per frame.
//
//   build/world_bench --benchmark_min_time=2

#include <benchmark/benchmark.h>

#include "base/random.h"
#include "game/world.h"

namespace {
constexpr int FRAMES_PER_GAME = 5400;  // 90 s at 60 Hz
constexpr double FRAME_TIME = 1.0 / 60;

void WholeGame(benchmark::State& state) {
  CWorld world;
  const unsigned seed = static_cast<unsigned>(state.range(0));
  for (auto _ : state) {
    SeedRandom(seed);
    world.Reset(10, 10);
    for (int frame = 0; frame < FRAMES_PER_GAME; ++frame) world.Advance(FRAME_TIME);
    benchmark::DoNotOptimize(world.score);
  }
  state.counters["frame"] =
      benchmark::Counter(static_cast<double>(state.iterations()) * FRAMES_PER_GAME,
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// A different seed every game, so the figure is not one game's luck.
void WholeGameSeeds(benchmark::State& state) {
  CWorld world;
  unsigned seed = 1;
  for (auto _ : state) {
    SeedRandom(seed++);
    world.Reset(10, 10);
    for (int frame = 0; frame < FRAMES_PER_GAME; ++frame) world.Advance(FRAME_TIME);
    benchmark::DoNotOptimize(world.score);
  }
  state.counters["frame"] =
      benchmark::Counter(static_cast<double>(state.iterations()) * FRAMES_PER_GAME,
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
}  // namespace

BENCHMARK(WholeGame)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(WholeGameSeeds)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
