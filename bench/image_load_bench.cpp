// Opening a 24-megapixel (6000 × 4000) JPEG to pick from: reading and decoding it, and making the
// sRGB image the view shows.
// Jpeg24Mp: a camera's photo with no profile (the colours are sRGB as they stand).
// Jpeg24MpDisplayP3: the same photo with a Display P3 profile, as phones write them: each of its
// distinct colours is converted and gamut mapped once.
// Each reports peak_rss_mib, the process's peak resident memory after its runs: run one at a
// time (--benchmark_filter=Jpeg24Mp/, then =P3) to read each one's own peak.

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QColorSpace>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageWriter>

#include <benchmark/benchmark.h>

#include "ui/pick/image_load.h"

namespace {

// A photo-like picture: smooth gradients with fine detail, so that it has many distinct colours
// (about 1.5 million) and compresses as a photo does.
void WritePhoto(const QString& path, const QColorSpace& space)
{
    QImage image(6000, 4000, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            line[x] = qRgb((x * 255 / 5999 + (x * y) % 7) & 0xFF, (y * 255 / 3999 + x % 5) & 0xFF,
                ((x + y) / 40 + (x ^ y) % 3) & 0xFF);
    }
    if (space.isValid())
        image.setColorSpace(space);
    QImageWriter writer(path, "jpeg");
    writer.setQuality(90);
    writer.write(image);
}

// The photo's file, made by a child process so that making it adds nothing to this process's
// peak memory.
QString Photo(const QColorSpace& space)
{
    const QString path = QStringLiteral("/tmp/tintora-image-bench-%1-%2.jpg")
                             .arg(::getpid())
                             .arg(space.isValid() ? "p3" : "plain");
    const pid_t child = ::fork();
    if (child == 0) {
        WritePhoto(path, space);
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return path;
}

double PeakMib()
{
    rusage usage = {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

void Open(benchmark::State& state, const QColorSpace& space)
{
    const QString file = Photo(space);
    for (auto _ : state) {
        LoadedImage loaded = LoadImageFile(file);
        benchmark::DoNotOptimize(loaded.shown.constBits());
        if (loaded.shown.isNull())
            state.SkipWithError("not loaded");
    }
    state.counters["file_mib"] = QFileInfo(file).size() / 1048576.0;
    state.counters["peak_rss_mib"] = PeakMib();
    QFile::remove(file);
}

void Jpeg24Mp(benchmark::State& state)
{
    Open(state, QColorSpace());
}
BENCHMARK(Jpeg24Mp)->Unit(benchmark::kMillisecond)->Iterations(3);

void Jpeg24MpDisplayP3(benchmark::State& state)
{
    Open(state, QColorSpace(QColorSpace::DisplayP3));
}
BENCHMARK(Jpeg24MpDisplayP3)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

BENCHMARK_MAIN();
