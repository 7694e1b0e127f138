// How long reading a weight and computing a BMI take: a typical weight, and the
// megabyte-long texts that must still be read in one linear pass.
#include <benchmark/benchmark.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "calc/Bmi.h"

namespace ponderix::calc {
namespace {

constexpr std::size_t Megabyte = 1 << 20;

void ParseWeightOfATypicalWeight(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(ParseWeight("140"));
    }
}

// A megabyte of digits lies far beyond a double's range: the reader must see
// that without building the number.
void ParseWeightOfAMegabyteOfDigits(benchmark::State& state) {
    const std::string text(Megabyte, '7');
    for (auto _ : state) {
        try {
            benchmark::DoNotOptimize(ParseWeight(text));
        } catch (const OverflowError&) {
        }
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(Megabyte));
}

void ParseWeightOfAMegabyteOfSpaces(benchmark::State& state) {
    const std::string text(Megabyte, ' ');
    for (auto _ : state) {
        benchmark::DoNotOptimize(ParseWeight(text));
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(Megabyte));
}

void ComputeBmiOfATypicalWeight(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(ComputeBmi("140", WeightUnit::Pounds, 20));
    }
}

BENCHMARK(ParseWeightOfATypicalWeight);
BENCHMARK(ParseWeightOfAMegabyteOfDigits)->Unit(benchmark::kMillisecond);
BENCHMARK(ParseWeightOfAMegabyteOfSpaces)->Unit(benchmark::kMillisecond);
BENCHMARK(ComputeBmiOfATypicalWeight);

}  // namespace
}  // namespace ponderix::calc

BENCHMARK_MAIN();
