// Reading one colour text, as a paste or --print does, for each kind of notation; and making the
// copy forms of a colour. Each should take microseconds at most.

#include <string>

#include <benchmark/benchmark.h>

#include "colour/colour_forms.h"
#include "colour/colour_text.h"

namespace {

void ReadColourTextOf(benchmark::State& state, const std::string& text)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(ReadColour(text));
}

BENCHMARK_CAPTURE(ReadColourTextOf, hex, std::string("#1E90FF"));
BENCHMARK_CAPTURE(ReadColourTextOf, name, std::string("dodgerblue"));
BENCHMARK_CAPTURE(ReadColourTextOf, rgb, std::string("rgb(30 144 255 / 50%)"));
BENCHMARK_CAPTURE(ReadColourTextOf, hsl, std::string("hsl(209.6, 100%, 55.9%)"));
BENCHMARK_CAPTURE(ReadColourTextOf, oklch, std::string("oklch(65.2% 0.19 253.2)"));
BENCHMARK_CAPTURE(ReadColourTextOf, oklchOutOfGamut, std::string("oklch(70% 0.4 150)"));
BENCHMARK_CAPTURE(ReadColourTextOf, lab, std::string("lab(50% 100 -100)"));
BENCHMARK_CAPTURE(ReadColourTextOf, displayP3, std::string("color(display-p3 1 0 0)"));
BENCHMARK_CAPTURE(
    ReadColourTextOf, declaration, std::string("  background-color: #1e90ff !important;\n"));
BENCHMARK_CAPTURE(ReadColourTextOf, refused, std::string("border: 1px solid red"));

void CopyForms(benchmark::State& state)
{
    int code = 0;
    for (auto _ : state) {
        code = (code + 0x10101 * 7 + 13) & 0xFFFFFF;
        benchmark::DoNotOptimize(ColourForms({ code >> 16, (code >> 8) & 0xFF, code & 0xFF }));
    }
}
BENCHMARK(CopyForms);

} // namespace

BENCHMARK_MAIN();
