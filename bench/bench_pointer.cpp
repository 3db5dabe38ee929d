// One pointer move over a chart of 32,000 samples: finding the sample under the pointer, its
// label, and repainting the chart with the marker into an image of the chart's size.
#include "chart/widgets/chartview.h"
#include "recording/samplestore.h"

#include <QCoreApplication>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <benchmark/benchmark.h>
#include <cmath>

namespace {

void BM_PointerMove(benchmark::State &state)
{
    SampleStore store;
    ChartView view(store);
    for (int i = 1; i <= 32000; ++i)
        store.add({i, 128 + 100 * std::sin(i / 500.0), QDate(2026, 3, 14), QTime(10, 5)});
    view.resize(233, 177);
    view.show();
    QImage image(view.size(), QImage::Format_RGB32);
    double x = 2;
    for (auto _ : state) {
        x = x >= 230 ? 2 : x + 0.7;
        const QPointF at(x, 80);
        QMouseEvent move(QEvent::MouseMove, at, view.mapToGlobal(at), Qt::NoButton, {}, {});
        QCoreApplication::sendEvent(&view, &move);
        view.render(&image);
        benchmark::DoNotOptimize(image.bits());
    }
}

} // namespace

BENCHMARK(BM_PointerMove)->Unit(benchmark::kMicrosecond);
