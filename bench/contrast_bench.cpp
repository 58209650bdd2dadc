// The contrast work a pair of colours costs.
// SuggestAllLevels: the suggestions for both colours of a pair at every level (ten searches),
// over a fixed set of random pairs, one pair an iteration.
// SimulateAllVisions: one colour as each of the four visions sees it, at severity 1 and 0.5.

#include <random>
#include <vector>

#include <benchmark/benchmark.h>

#include "colour/colour_vision.h"
#include "colour/contrast_suggestions.h"

namespace {

std::vector<Rgb> RandomColours(std::size_t count)
{
    std::mt19937 generator(27);
    std::uniform_int_distribution<int> component(0, 255);
    std::vector<Rgb> colours(count);
    for (Rgb& colour : colours) {
        colour = { component(generator), component(generator), component(generator) };
    }
    return colours;
}

void SuggestAllLevels(benchmark::State& state)
{
    const std::vector<Rgb> colours = RandomColours(256);
    std::size_t i = 0;
    for (auto _ : state) {
        const Rgb first = colours[i % colours.size()];
        const Rgb second = colours[(i + 1) % colours.size()];
        for (const ContrastLevel level : AllContrastLevels) {
            benchmark::DoNotOptimize(SuggestContrast(first, second, level));
            benchmark::DoNotOptimize(SuggestContrast(second, first, level));
        }
        i += 2;
    }
}
BENCHMARK(SuggestAllLevels)->Unit(benchmark::kMillisecond);

void SimulateAllVisions(benchmark::State& state)
{
    const std::vector<Rgb> colours = RandomColours(256);
    std::size_t i = 0;
    for (auto _ : state) {
        const Rgb colour = colours[i++ % colours.size()];
        for (const VisionKind kind :
            { VisionKind::Protan, VisionKind::Deutan, VisionKind::Tritan, VisionKind::Achroma }) {
            benchmark::DoNotOptimize(SimulateVision(colour, kind));
            benchmark::DoNotOptimize(SimulateVision(colour, kind, 0.5));
        }
    }
}
BENCHMARK(SimulateAllVisions);

} // namespace

BENCHMARK_MAIN();
