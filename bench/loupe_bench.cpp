// The picking view's redraw for one move of the pointer over a 4K frame: the parts of the window
// under the loupe's old and new places are painted again from the frame, and the loupe on top.

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include "ui/pick/loupe.h"
#include "ui/pick/pick_sample.h"
#include "ui/pick/pick_view_p.h"

namespace {

QImage FourKFrame()
{
    QImage frame(3840, 2160, QImage::Format_RGB32);
    for (int y = 0; y < frame.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(frame.scanLine(y));
        for (int x = 0; x < frame.width(); ++x)
            line[x] = qRgb(x & 255, y & 255, (x >> 8) | ((y >> 8) << 4));
    }
    return frame;
}

void BM_LoupeRedrawPerMove(benchmark::State& state)
{
    const QImage frame = FourKFrame();
    QImage window(frame.size(), QImage::Format_RGB32);
    const CanvasLayout layout { frame.rect(), QPointF(), 1.0 };
    LoupeContent loupe;
    loupe.image = &frame;
    loupe.cell = static_cast<int>(state.range(0));
    QPoint point(1000, 1000);
    QRect old;
    for (auto _ : state) {
        // A move of a few pixels, as the pointer makes.
        point += QPoint(3, 2);
        if (point.x() > 3000)
            point = QPoint(1000, 1000);
        loupe.point = point;
        loupe.colour = SampleAverage(frame, point, loupe.sample);
        QPainter painter(&window);
        const QRect now(point + QPoint(24, 24), LoupeSize(loupe, painter.fontMetrics()));
        for (const QRect& dirty : { old, now }) {
            if (!dirty.isEmpty())
                PaintPickCanvas(
                    painter, dirty, layout, frame, dirty == now ? &loupe : nullptr, now.topLeft());
        }
        old = now;
        benchmark::DoNotOptimize(window.constBits());
    }
}
BENCHMARK(BM_LoupeRedrawPerMove)->Arg(4)->Arg(10)->Arg(30)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    // Text needs the application's fonts; nothing is shown.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
