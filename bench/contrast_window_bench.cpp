// How long the contrast window takes to open: from its shortcut pressed in the main window's HEX
// box until the window has painted itself once. The first opening (nothing of the window built
// before) and the later ones (closed, so built anew) are reported apart.
//
//   bench_contrast_window [runs, default 20]
//
// Run it on the platform to be measured, e.g. on a private X server:
//   xvfb-run -a -s "-screen 0 1280x1024x24" build/release/bench/bench_contrast_window

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <QApplication>
#include <QElapsedTimer>
#include <QtTest>

#include "ui/contrast/contrast_window.h"
#include "ui/text.h"
#include "ui/unit1.h"

namespace {

// Notes the window's first paint.
class PaintWatch : public QObject
{
public:
    bool painted = false;

    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) {
            painted = true;
        }
        return false;
    }
};

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

} // namespace

int main(int argc, char* argv[])
{
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
    QApplication application(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    InstallQtTranslations();

    TForm1 form;
    form.show();
    if (!QTest::qWaitForWindowExposed(&form)) {
        std::fprintf(stderr, "the main window was not shown\n");
        return 2;
    }

    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
        form.activateWindow();
        if (!QTest::qWaitForWindowActive(&form)) {
            std::fprintf(stderr, "the main window did not become active\n");
            return 2;
        }
        PaintWatch watch;
        QElapsedTimer timer;
        timer.start();
        QTest::keyClick(form.Edit1, Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
        auto* window = form.findChild<ContrastWindow*>();
        if (!window) {
            std::fprintf(stderr, "the shortcut opened no window\n");
            return 2;
        }
        window->installEventFilter(&watch);
        if (!QTest::qWaitFor([&watch] { return watch.painted; }, 5000)) {
            std::fprintf(stderr, "the window was not painted\n");
            return 2;
        }
        // The paint event has been handled once the loop turns again.
        QCoreApplication::processEvents();
        times.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
        window->removeEventFilter(&watch);
        window->close();
        if (!QTest::qWaitFor([&form] { return !form.findChild<ContrastWindow*>(); }, 5000)) {
            std::fprintf(stderr, "the window did not close\n");
            return 2;
        }
    }

    std::printf("platform %s\n", qPrintable(QGuiApplication::platformName()));
    std::printf("first opening: %.1f ms\n", times.front());
    if (times.size() > 1) {
        const std::vector<double> later(times.begin() + 1, times.end());
        std::printf("later openings: median %.1f ms, slowest %.1f ms (%zu runs)\n", Median(later),
            *std::max_element(later.begin(), later.end()), later.size());
    }
    return 0;
}
