// The user colours' store on its own, without the window.
// RegisterDamagedCount/N: the register on a file whose stored count is damaged (above
// MaxUserColors) and whose section holds N entries: the store looks for the highest numbered
// entry under the write lock before it adds one. Each run stores the damaged file anew.

#include <string>

#include <benchmark/benchmark.h>

#include "settings/inibrel.h"
#include "settings/usercolor_store.h"
#include "tests/support/ini_on_file.h"
#include "tests/support/scratch_dir.h"

namespace {

void RegisterDamagedCount(benchmark::State& state)
{
    const ScratchDir scratch("usercolor_store_bench_");
    const std::string path = scratch.File("Tintora.ini");
    const auto entries = static_cast<int>(state.range(0));
    std::string damaged = "[Usercolor]\r\nUsercolcnt=2000000000\r\n";
    for (int i = 1; i <= entries; ++i)
        damaged += std::to_string(i) + "=FF8000 colour " + std::to_string(i) + "\r\n";
    TIniBrel ini(nullptr);
    IniOn(ini, path);
    for (auto _ : state) {
        state.PauseTiming();
        WriteBytes(path, damaged);
        state.ResumeTiming();
        if (RegisterUserColor(ini, "336699sea") != entries + 1)
            state.SkipWithError("the register did not store the colour after the entries");
    }
}
BENCHMARK(RegisterDamagedCount)->Arg(2)->Arg(1000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
