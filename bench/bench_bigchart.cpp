// The chart drawn over 32,000 samples at 1920 × 1080 and at today's size (233 × 177), on the
// sample axis and the time axis: a new sample, a wheel notch, a drag step and the pointer's
// label, each a whole repaint into an image; and a resize of the main window redrawn.
#include "chart/widgets/chartview.h"
#include "recording/samplestore.h"
#include "windowrig.h"

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QWheelEvent>
#include <benchmark/benchmark.h>
#include <cmath>

namespace {

enum Gesture { NewSample, WheelNotch, DragStep, PointerLabel };

// A recording of 1-s samples with an outage of 22 s every 4,000.
void fill(SampleStore &store, int count)
{
    QDateTime at(QDate(2026, 3, 14), QTime(10, 5));
    for (int i = 1; i <= count; ++i) {
        at = at.addSecs(i % 4000 == 0 ? 22 : 1);
        store.add({i, 128 + 100 * std::sin(i / 500.0), at.date(), at.time()});
    }
}

void send(QWidget &w, QEvent::Type type, QPointF at, Qt::MouseButton button, Qt::MouseButtons held)
{
    QMouseEvent event(type, at, w.mapToGlobal(at), button, held, {});
    QCoreApplication::sendEvent(&w, &event);
}

void BM_Chart(benchmark::State &state)
{
    const auto gesture = Gesture(state.range(0));
    const QSize size = state.range(1) ? QSize(1920, 1080) : QSize(233, 177);
    const bool byTime = state.range(2);
    SampleStore store;
    fill(store, gesture == NewSample ? 31000 : 32000);
    ChartView view(store);
    view.resize(size);
    view.setTimeAxis(byTime);
    view.show();
    QImage image(view.size(), QImage::Format_RGB32);
    const double middle = size.width() / 2.0;
    if (gesture == WheelNotch || gesture == DragStep) { // zoomed in, so that a drag pans
        QWheelEvent in({middle, 80}, view.mapToGlobal(QPointF(middle, 80)), {}, {0, 240},
                       Qt::NoButton, {}, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(&view, &in);
    }
    if (gesture == DragStep)
        send(view, QEvent::MouseButtonPress, {middle, 80}, Qt::LeftButton, Qt::LeftButton);
    double x = middle;
    int notch = 1;
    QDateTime at(QDate(2026, 3, 15), QTime(0, 0));
    for (auto _ : state) {
        switch (gesture) {
        case NewSample:
            if (store.isFull()) {
                state.PauseTiming();
                store.clear();
                fill(store, 31000);
                state.ResumeTiming();
            }
            at = at.addSecs(1);
            store.add({store.num_mesure() + 1, 100, at.date(), at.time()});
            break;
        case WheelNotch: {
            notch = -notch; // in and out again, never at the end of the zoom
            QWheelEvent wheel({middle, 80}, view.mapToGlobal(QPointF(middle, 80)), {},
                              {0, 120 * notch}, Qt::NoButton, {}, Qt::NoScrollPhase, false);
            QCoreApplication::sendEvent(&view, &wheel);
            break;
        }
        case DragStep:
            x = x > middle + 200 ? middle - 200 : x + 7;
            send(view, QEvent::MouseMove, {x, 80}, Qt::NoButton, Qt::LeftButton);
            break;
        case PointerLabel:
            x = x >= size.width() - 3 ? 2 : x + 0.7;
            send(view, QEvent::MouseMove, {x, 80}, Qt::NoButton, Qt::NoButton);
            break;
        }
        view.render(&image);
        benchmark::DoNotOptimize(image.bits());
    }
}

// The main window over 32,000 samples, resized between 1280 × 800 and 1920 × 1080, then
// painted whole.
void BM_WindowResize(benchmark::State &state)
{
    WindowRig rig(WindowRig::config(1, 0, 7890));
    const QString file = rig.dir.filePath("vue.csv");
    TestFiles::write(file, TestFiles::recording(32000, [](int i) { return (i * 37) % 1000; }));
    rig.core->view(file, {});
    rig.window->show();
    QImage image(QSize(1920, 1080), QImage::Format_RGB32);
    bool big = false;
    for (auto _ : state) {
        big = !big;
        rig.window->resize(big ? QSize(1920, 1080) : QSize(1280, 800));
        QCoreApplication::sendPostedEvents();
        rig.window->render(&image);
        benchmark::DoNotOptimize(image.bits());
    }
}

void gestures(benchmark::internal::Benchmark *b)
{
    b->ArgNames({"gesture", "big", "time"});
    for (int gesture : {NewSample, WheelNotch, DragStep, PointerLabel})
        for (int big : {0, 1})
            for (int time : {0, 1})
                b->Args({gesture, big, time});
}

} // namespace

BENCHMARK(BM_Chart)->Apply(gestures)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_WindowResize)->Unit(benchmark::kMillisecond);
