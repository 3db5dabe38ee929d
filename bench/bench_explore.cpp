// Exploring a day's recording of 32,000 samples: one wheel notch or one drag step over the chart,
// each with the chart redrawn into an image of its size; the height fitted to all the samples;
// all of them exported for a spreadsheet.
#include "chart/chartgeometry.h"
#include "chart/widgets/chartview.h"
#include "recording/samplestore.h"
#include "recording/spreadsheetfile.h"

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QWheelEvent>
#include <benchmark/benchmark.h>
#include <cmath>

namespace {

void fill(SampleStore &store)
{
    for (int i = 1; i <= SampleStore::Capacity; ++i)
        store.add({i, std::floor(500 + 400 * std::sin(i / 900.0) + (i % 97 == 0 ? 90 : 0)),
                   QDate(2026, 12, 6), QTime(4, 38, 58)});
}

// The main window's chart over the day, and an image of its size to draw it into.
struct DayChart
{
    SampleStore store;
    ChartView view {store};
    QImage image {233, 177, QImage::Format_RGB32};

    DayChart()
    {
        fill(store); // followed by the chart, as a recording is
        view.resize(image.size());
        view.show();
    }
    void send(QEvent &event) { QCoreApplication::sendEvent(&view, &event); }
    void wheel(int eighths)
    {
        const QPointF at(116, 80);
        QWheelEvent event(at, view.mapToGlobal(at), {}, {0, eighths}, Qt::NoButton, {},
                          Qt::NoScrollPhase, false);
        send(event);
    }
    void draw()
    {
        view.render(&image);
        benchmark::DoNotOptimize(image.bits());
    }
};

void BM_WheelNotch(benchmark::State &state)
{
    DayChart chart;
    int notch = 1;
    for (auto _ : state) {
        // Ten notches in, ten out: from the whole day down to 3,400 samples and back.
        chart.wheel(notch++ % 20 < 10 ? 120 : -120);
        chart.draw();
    }
}

void BM_DragStep(benchmark::State &state)
{
    DayChart chart;
    chart.wheel(5 * 120); // a third of the day in view
    const QPointF middle(116, 80);
    QMouseEvent press(QEvent::MouseButtonPress, middle, chart.view.mapToGlobal(middle),
                      Qt::LeftButton, Qt::LeftButton, {});
    chart.send(press);
    double x = 116;
    for (auto _ : state) {
        x = x <= 20 ? 210 : x - 3;
        const QPointF at(x, 80);
        QMouseEvent move(QEvent::MouseMove, at, chart.view.mapToGlobal(at), Qt::NoButton,
                         Qt::LeftButton, {});
        chart.send(move);
        chart.draw();
    }
}

void BM_FitHeight(benchmark::State &state)
{
    SampleStore store;
    fill(store);
    for (auto _ : state) {
        const auto [low, high] = store.extremes(1, SampleStore::Capacity);
        benchmark::DoNotOptimize(ChartGeometry::fitHeight({}, low, high));
    }
}

void BM_Export(benchmark::State &state)
{
    SampleStore store;
    fill(store);
    QTemporaryDir dir;
    const QString path = dir.filePath("journee-tableur.csv");
    QString error;
    for (auto _ : state) {
        if (!SpreadsheetFile::write(path, store, 1, SampleStore::Capacity, {}, &error))
            state.SkipWithError(qPrintable(error));
    }
    state.counters["bytes"] = double(QFileInfo(path).size());
}

} // namespace

BENCHMARK(BM_WheelNotch)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DragStep)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FitHeight)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Export)->Unit(benchmark::kMillisecond);
