// One sampling step (store, list update, chart paint into an image of the chart's size) as the
// program does it, against the same step done by rebuilding the list and redrawing every segment;
// both with and without an alarm's limits armed, and the live value's refresh the same way.
#include "chart/samplelistmodel.h"
#include "chart/widgets/chartview.h"
#include "chart/widgets/samplelistview.h"
#include "common/twips.h"
#include "recording/recordingfile.h"
#include "recording/samplestore.h"
#include "recording/sampletext.h"
#include "windowrig.h"

#include <QImage>
#include <QPainter>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

const QDate kDate(2026, 12, 6);
const QTime kTime(4, 38, 58);
const QRectF kInner(2, 2, 229, 173);
const double kBottom = 999 - ChartGeometry::ScaleHeight; // where the values below take the window

// The store holding n recorded samples a second apart, its list shown afresh.
void fill(SampleStore &store, int n)
{
    {
        const QSignalBlocker quiet(store);
        store.clear();
        const int second = kTime.msecsSinceStartOfDay() / 1000;
        for (int i = 1; i <= n; ++i)
            store.add({i, double((i * 37) % 1000), kDate.addDays((second + i) / 86400),
                       kTime.addSecs(i)});
    }
    store.readComplete();
}

// Two limits armed and passed now and then: a tenth of the samples in alarm, the newest among
// them, in 32 periods.
std::vector<AlarmJournal::Period> alarmPeriods(int n)
{
    std::vector<AlarmJournal::Period> periods;
    const QDateTime start(kDate, kTime);
    for (int p = 1; p <= 32; ++p)
        periods.push_back({start.addSecs(qint64(n) * p / 32 - n / 320),
                           p == 32 ? QDateTime() : start.addSecs(qint64(n) * p / 32),
                           p % 2 ? AlarmEvent::Type::High : AlarmEvent::Type::Low});
    return periods;
}

// range(1): 1 for the samples on a scale with decimals and a unit, 0 for the identity;
// range(2): 1 with two limits armed and passed, 0 with none.
void BM_SamplingStep(benchmark::State &state)
{
    const int n = int(state.range(0));
    const SensorScale scale = state.range(1) ? SensorScale(0, 50, "°C") : SensorScale();
    SampleStore store;
    if (state.range(2))
        store.setAlarmPeriods(alarmPeriods(n));
    SampleListModel model(store);
    fill(store, n - 1);
    store.setScaleFrom(1, scale);
    SampleListView view;
    view.setModel(&model);
    view.resize(217, 161);
    QImage listImage(217, 161, QImage::Format_RGB32);
    QImage chart(233, 177, QImage::Format_RGB32);
    const QDateTime last = QDateTime(kDate, kTime).addSecs(n);
    for (auto _ : state) {
        store.add({n, 500, last.date(), last.time()});
        view.viewport()->render(&listImage); // the rows in sight, painted
        QPainter painter(&chart);
        ChartView::paintChart(painter, kInner, store, n,
                              {0, double(n), kBottom, kBottom + ChartGeometry::ScaleHeight});
        painter.end();
        benchmark::DoNotOptimize(chart.bits());

        state.PauseTiming();
        fill(store, n - 1);
        store.setScaleFrom(1, scale);
        state.ResumeTiming();
    }
    state.counters["samples"] = n;
}

// The same step the literal way: the whole list rebuilt by prepending, every segment drawn.
void BM_SamplingStepLiteral(benchmark::State &state)
{
    const int n = int(state.range(0));
    SampleStore store;
    fill(store, n);
    QPlainTextEdit list;
    list.resize(217, 161);
    QImage chart(233, 177, QImage::Format_RGB32);
    for (auto _ : state) {
        QString text;
        for (int i = 0; i <= n; ++i)
            text = QString::number(i) + " ---- "
                + QString::number(store.valeur(i)).rightJustified(3, u'0') + " --- "
                + SampleText::date(kDate) + " --- " + SampleText::time(kTime) + "\r\n" + text;
        list.setPlainText(text);
        QPainter painter(&chart);
        painter.fillRect(kInner, Qt::black);
        painter.setPen(QColor(0, 255, 0));
        QPointF from(Twips::fromPixels(kInner.right()), Twips::fromPixels(kInner.bottom()));
        for (int i = 0; i <= n; ++i) {
            const QPointF to(kInner.left() + i * kInner.width() / n,
                             kInner.top() + (255 - store.valeur(i)) * kInner.height() / 255);
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
    const QByteArray line = RecordingFile::line({1234, 567, kDate, kTime});
    QString error;
    for (auto _ : state) {
        if (!RecordingFile::append(path, line, &error, sync))
            state.SkipWithError(qPrintable(error));
    }
    state.SetLabel(sync ? "with fdatasync" : "without fdatasync");
}

// A refresh of the live value in the window: range(0) 0 with no limit, 1 with two limits armed
// and the value between them, 2 with the value beyond one, the alarm raised and waiting.
void BM_Refresh(benchmark::State &state)
{
    const QByteArray limits = state.range(0) ? "[alarme]\nhaute=3\nbasse=-3\ndelai=0\n" : "";
    WindowRig rig(WindowRig::config(1, 0, 7890), {}, {{"ondaris.ini", limits}});
    rig.window->show();
    for (int i = 0; state.range(0) == 2 && i < 5; ++i)
        rig.core->keyPress('+');
    Acquisition &acquisition = rig.acquisition();
    for (auto _ : state) {
        rig.monotonic += Acquisition::RefreshPeriodMs;
        acquisition.TimerValActu_Timer();
    }
    state.SetLabel(rig.core->alarm().look().text.left(20).toStdString());
}

} // namespace

BENCHMARK(BM_Refresh)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SamplingStep)
    ->ArgsProduct({{1000, 8000, 32000}, {0, 1}, {0, 1}})
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SamplingStepLiteral)
    ->Arg(1000)
    ->Arg(8000)
    ->Arg(32000)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AppendLine)->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);
