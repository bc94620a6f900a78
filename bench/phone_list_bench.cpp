// The access-number list in process: loading and filtering lists of 10k to
// 640k rows, so the cost per row can be compared across sizes.
#include <benchmark/benchmark.h>

#include <string>

#include "exchange/access_numbers.h"

namespace {

// A list like the service's: sorted by state and city, a few numbers per city.
std::string MakeList(int rows)
{
    std::string text;
    text.reserve(static_cast<std::size_t>(rows) * 40);
    for (int row = 0; row < rows; ++row) {
        text += "S" + std::to_string(row / 5000) + ",\"City " + std::to_string(row / 8) + "\","
                + std::to_string(200 + row % 800) + ",555" + std::to_string(row % 10000)
                + ",V.90\r\n";
    }
    return text;
}

void LoadAndFilter(benchmark::State& state)
{
    const std::string list = MakeList(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        const auto table = regwiz::exchange::ReadPhoneList(list);
        benchmark::DoNotOptimize(regwiz::exchange::NumbersInAreaCode(table, "212"));
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(list.size()));
}

void StatesAndCities(benchmark::State& state)
{
    const auto table = regwiz::exchange::ReadPhoneList(MakeList(static_cast<int>(state.range(0))));
    for (auto _ : state) {
        const auto states = regwiz::exchange::AccessStates(table);
        benchmark::DoNotOptimize(regwiz::exchange::AccessCities(table, states.back()));
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

} // namespace

BENCHMARK(LoadAndFilter)->RangeMultiplier(4)->Range(10000, 640000)->Unit(benchmark::kMillisecond);
BENCHMARK(StatesAndCities)->RangeMultiplier(4)->Range(10000, 640000)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
