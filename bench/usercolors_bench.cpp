// Start-up and delete with many stored user colours, on Qt's offscreen platform.
// StartUp/N: creating the window, which loads N stored colours into the list and the drop-down;
// StartUpShown/N also shows it and handles its first events.
// Delete/N: the delete command on the first of N stored colours (question answered with Yes),
// which rewrites the settings file and reloads the list.
// Register/N: the register command with N colours stored (the file grows by one per run).

#include <cstdio>
#include <fstream>
#include <memory>
#include <string>

#include <QApplication>

#include <benchmark/benchmark.h>

#include "ui/boxes_p.h"
#include "ui/unit1.h"

namespace {

// The settings file the window reads: named after this program, beside it.
std::string SettingsPath()
{
    static const std::string path = [] {
        TForm1 form;
        return form.IniBrel1->Path();
    }();
    return path;
}

void StoreColours(const std::string& path, int count)
{
    std::string text = "[Usercolor]\r\nUsercolcnt=" + std::to_string(count) + "\r\n";
    for (int i = 1; i <= count; ++i) {
        char entry[40];
        std::snprintf(entry, sizeof entry, "%d=%06X colour %d\r\n", i, i * 97 % 0x1000000, i);
        text += entry;
    }
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

void StartUp(benchmark::State& state)
{
    const std::string path = SettingsPath();
    StoreColours(path, static_cast<int>(state.range(0)));
    for (auto _ : state) {
        auto form = std::make_unique<TForm1>();
        benchmark::DoNotOptimize(form.get());
        state.PauseTiming();
        form.reset();
        state.ResumeTiming();
    }
    std::remove(path.c_str());
}
BENCHMARK(StartUp)->Arg(0)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// The same, until the shown window has handled its first events (layout and first paint).
void StartUpShown(benchmark::State& state)
{
    const std::string path = SettingsPath();
    StoreColours(path, static_cast<int>(state.range(0)));
    for (auto _ : state) {
        auto form = std::make_unique<TForm1>();
        form->show();
        QApplication::processEvents();
        state.PauseTiming();
        form.reset();
        QApplication::processEvents();
        state.ResumeTiming();
    }
    std::remove(path.c_str());
}
BENCHMARK(StartUpShown)->Arg(0)->Arg(10000)->Unit(benchmark::kMillisecond);

void Delete(benchmark::State& state)
{
    const std::string path = SettingsPath();
    BoxAnswerHook() = [](const BoxRequest&) { return idYes; };
    for (auto _ : state) {
        state.PauseTiming();
        StoreColours(path, static_cast<int>(state.range(0)));
        auto form = std::make_unique<TForm1>();
        form->ComboBox2->setCurrentIndex(0);
        state.ResumeTiming();
        RunHandler([&] { form->Button5Click(form->Button5); });
        state.PauseTiming();
        if (form->ComboBox2->ItemCount() != state.range(0) - 1) {
            state.SkipWithError("the delete did not happen");
        }
        form.reset();
        state.ResumeTiming();
    }
    BoxAnswerHook() = nullptr;
    std::remove(path.c_str());
}
BENCHMARK(Delete)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void Register(benchmark::State& state)
{
    const std::string path = SettingsPath();
    StoreColours(path, static_cast<int>(state.range(0)));
    auto form = std::make_unique<TForm1>();
    CurrentHex = "336699";
    form->ComboBox2->SetText("sea");
    for (auto _ : state) {
        RunHandler([&] { form->Button4Click(form->Button4); });
    }
    if (UserColorCount != state.range(0) + static_cast<std::int64_t>(state.iterations())) {
        state.SkipWithError("the register did not happen");
    }
    form.reset();
    CurrentHex.clear();
    std::remove(path.c_str());
}
BENCHMARK(Register)->Arg(0)->Arg(1000)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
