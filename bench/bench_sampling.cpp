// One sampling step (store, list update, chart paint into an image of the chart's size) as the
// program does it, against the same step done by rebuilding the list and redrawing every segment.
#include "chart/chartview.h"
#include "chart/samplelist.h"
#include "chart/samplelistview.h"
#include "common/twips.h"
#include "recording/loadedlines.h"
#include "recording/measurementbuffer.h"
#include "recording/recordingfile.h"

#include <QImage>
#include <QPainter>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

const QString kDate = QStringLiteral("12-06-2026");
const QString kTime = QStringLiteral("04:38:58");
const QRectF kInner(2, 2, 229, 173);

void fill(MeasurementBuffer &buffer, int n)
{
    buffer.restart();
    for (int i = 1; i <= n; ++i)
        buffer.append((i * 37) % 1000, kDate, kTime);
}

void BM_SamplingStep(benchmark::State &state)
{
    const int n = int(state.range(0));
    MeasurementBuffer buffer;
    fill(buffer, n - 1);
    LoadedLines lines;
    SampleList list(buffer, lines);
    list.showRecording(n - 1);
    SampleListView view(list);
    view.resize(217, 161);
    QImage listImage(217, 161, QImage::Format_RGB32);
    QImage chart(233, 177, QImage::Format_RGB32);
    for (auto _ : state) {
        buffer.append(500, kDate, kTime);
        buffer.followValue(500);
        list.showRecording(n);
        view.listChanged(1);
        view.viewport()->render(&listImage); // the rows in sight, painted
        QPainter painter(&chart);
        ChartView::paintChart(painter, kInner, buffer, n);
        painter.end();
        benchmark::DoNotOptimize(chart.bits());

        state.PauseTiming();
        fill(buffer, 0); // back to n - 1 samples: the buffer keeps its elements
        for (int i = 1; i < n; ++i)
            buffer.appendLoaded(buffer.valeur(i));
        list.showRecording(n - 1);
        state.ResumeTiming();
    }
    state.counters["samples"] = n;
}

// The same step the literal way: the whole list rebuilt by prepending, every segment drawn.
void BM_SamplingStepLiteral(benchmark::State &state)
{
    const int n = int(state.range(0));
    MeasurementBuffer buffer;
    fill(buffer, n);
    QPlainTextEdit list;
    list.resize(217, 161);
    QImage chart(233, 177, QImage::Format_RGB32);
    for (auto _ : state) {
        QString text;
        for (int i = 0; i <= n; ++i)
            text = SampleList::recordingLine(i, buffer) + QStringLiteral("\r\n") + text;
        list.setPlainText(text);
        QPainter painter(&chart);
        painter.fillRect(kInner, Qt::black);
        painter.setPen(QColor(0, 255, 0));
        QPointF from(Twips::fromPixels(kInner.right()), Twips::fromPixels(kInner.bottom()));
        for (int i = 0; i <= n; ++i) {
            const QPointF to(kInner.left() + i * kInner.width() / n,
                             kInner.top() + (255 - buffer.valeur(i)) * kInner.height() / 255);
            painter.drawLine(from, to);
            from = to;
        }
        painter.end();
        benchmark::DoNotOptimize(chart.bits());
    }
    state.counters["samples"] = n;
}

void BM_AppendLine(benchmark::State &state)
{
    const bool sync = state.range(0) != 0;
    QTemporaryDir dir(QDir::currentPath() + "/bench-XXXXXX");
    const QString path = dir.filePath("data_tr.csv");
    const QByteArray line = RecordingFile::sampleLine(1234, 567, kDate, kTime);
    QString error;
    for (auto _ : state) {
        if (!RecordingFile::append(path, line, &error, sync))
            state.SkipWithError(qPrintable(error));
    }
    state.SetLabel(sync ? "with fdatasync" : "without fdatasync");
}

} // namespace

BENCHMARK(BM_SamplingStep)->Arg(1000)->Arg(8000)->Arg(32000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SamplingStepLiteral)
    ->Arg(1000)
    ->Arg(8000)
    ->Arg(32000)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AppendLine)->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);
