#include "chart/chartgeometry.h"
#include "chart/rulerscale.h"
#include "chart/samplelistmodel.h"
#include "chart/samplespan.h"
#include "chart/timeaxis.h"
#include "chart/widgets/chartview.h"
#include "chart/widgets/tracepath.h"
#include "chart/windowlayout.h"
#include "common/twips.h"
#include "recording/recordingfile.h"
#include "recording/samplestore.h"
#include "recording/sampletext.h"
#include "recording/workbookfile.h"
#include "testfiles.h"

#include <QAbstractItemModelTester>
#include <QLocale>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>

using namespace ChartGeometry;

namespace {

// Every row of a model, each ended by a line break.
QString rowsOf(const QAbstractItemModel &model)
{
    QString text;
    for (int r = 0; r < model.rowCount(); ++r)
        text += model.index(r, 0).data().toString() + u'\n';
    return text;
}

} // namespace

class TestChart : public QObject
{
    Q_OBJECT

    SampleStore store;
    SampleListModel model {store};
    void record(double value, const char *time)
    {
        store.add({0, value, QDate(2026, 3, 14), QTime::fromString(time)});
    }
    // A viewed sample: a line of a recording file as the program reads it.
    static Sample viewed(const QByteArray &line, int number = 1)
    {
        return RecordingFile::read(line, number).value();
    }
    static QByteArray spreadsheetLine(const Sample &sample, SpreadsheetFile::Format format = {})
    {
        QByteArray line;
        SampleText::appendSpreadsheetLine(line, sample, format);
        return line;
    }

private Q_SLOTS:
    // Inner area 229 × 100 pixels from (2, 2): values bottom..top on rows 101..2, samples
    // first..last on columns 2..230, edge to edge; the centre lines and the rulers' numbers.
    void valuesMapToEdges()
    {
        const QRectF inner(2, 2, 229, 100);
        const QList<std::tuple<double, double, double, double, double>> cases {
            {0, 0, 255, 255, 101},
            {255, 0, 255, 0, 2},
            {300, 0, 255, -45, -15.470588235},
            {274, 19, 274, 0, 2},
            {-1e12, 0, 255, 1e12 + 255, 1e6},
            {50, 0, 100, 127.5, 51.5},
            {-32768, -32768, 32767, 255, 101}};
        for (const auto &[value, bottom, top, userY, pixelY] : cases) {
            const View view {0, 10, bottom, top};
            QCOMPARE(valueY(value, view), userY);
            const QPointF at = toPixel(0, value, view, inner);
            QVERIFY2(std::abs(at.y() - pixelY) < 1e-6, qPrintable(QString::number(at.y(), 'f', 9)));
            QCOMPARE(at.x(), 2.0);
        }
        for (const auto &[index, first, x] :
             {std::tuple {10, 0, 230.0}, {5, 0, 116.0}, {105, 100, 116.0}, {99, 100, -20.8}})
            QCOMPARE(toPixel(index, 0, View {double(first), first + 10.0}, inner).x(), x);
        QCOMPARE(horizontalCentreLine(QRectF(2, 2, 229, 173)), QLineF(2, 88, 230, 88));
        QCOMPARE(verticalCentreLine(QRectF(2, 2, 229, 173)), QLineF(116, 2, 116, 174));
        // The numbers of the main window's rulers (3495 × 255 and 255 × 2655 twips, 2-pixel
        // borders): number 5 of each.
        QCOMPARE(rulerStep(3435), 343.2);
        const QPointF h = horizontalNumberPosition(5, QRectF(3600, 2880, 3495, 255), 3435);
        const QPointF v = verticalNumberPosition(5, QRectF(7200, 120, 255, 2655), 2595);
        QVERIFY(std::abs(h.x() - 5248.296943231) < 1e-6 && h.y() == 3180);
        QVERIFY(std::abs(v.y() - 1348.768786127) < 1e-6 && v.x() == 7500);
    }
    // The main window's chart, 229 columns from x = 2 to 230: the sample nearest the pointer,
    // over the whole recording or a zoomed view.
    void pointerToIndex()
    {
        const QList<std::tuple<int, double, double, double, int>> cases {
            {1, 0, 1, 115, 0},
            {1, 0, 1, 117, 1},
            {32000, 0, 32000, 230, 32000},
            {32000, 0, 32000, 116.33, 16046},
            {32000, 0, 32000, -5, 0},
            {0, 0, 1, 100, 0},
            {32000, 100, 110, 116, 105},
            {32000, 31990, 32000, 300, 32000}};
        for (const auto &[count, first, last, x, index] : cases)
            QVERIFY2(nearestIndex(x, View {first, last}, count, QRectF(2, 2, 229, 173)) == index,
                     qPrintable(QStringLiteral("%1 at %2").arg(count).arg(x)));
        QCOMPARE(nearestIndex(200, View {40, 50}, 100, QRectF(2, 2, 1, 173)), 40); // no width
    }
    // Every point while few, from sample 0 at the bottom left, no stray segment; past two
    // points a column at most four a column; a spike anywhere kept, at every zoom.
    void traceKeepsEverySpike()
    {
        const QRectF inner(2, 2, 229, 173);
        QVERIFY(TracePath::build(SampleStore(), View {}, inner).isEmpty());
        for (const auto &[count, spikeAt, first, last] : {std::tuple {1, 1, 0, 1},
                                                          {400, 200, 0, 400},
                                                          {8000, 1, 0, 8000},
                                                          {32000, 31999, 0, 32000},
                                                          {32000, 8005, 8000, 8010},
                                                          {32000, 20000, 10000, 30000}}) {
            SampleStore store;
            for (int i = 1; i <= count; ++i)
                store.add({0, i == spikeAt ? 255.0 : 100.0});
            const QPolygonF path
                = TracePath::build(store, View {double(first), double(last)}, inner).value(0);
            const int n = last - first;
            QVERIFY(path.size() == n + 1 || (n > 458 && path.size() <= 4 * 229 + 4));
            const auto top = std::min_element(path.begin(), path.end(),
                                              [](QPointF a, QPointF b) { return a.y() < b.y(); });
            QCOMPARE(top->y(), 2.0);
            QVERIFY(std::abs(top->x() - (2 + 228.0 * (spikeAt - first) / n)) <= 1.5);
            QCOMPARE(path.first(), QPointF(2, first == 0 ? 174 : 2 + 155 * 172 / 255.0));
            QVERIFY(qFuzzyCompare(path.last().x(), 230));
        }
    }
    // Zoom around a sample, pan within the ends, follow the newest sample (steps: "z<anchor>:
    // <notches>", "p<samples>", "c<count>").
    void zoomAndPan_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("steps");
        QTest::addColumn<double>("first");
        QTest::addColumn<double>("last"); // whole when first is 0 and last the count
        const auto row = [](const char *name, int count, const char *steps, double f, double l) {
            QTest::newRow(name) << count << QString(steps) << f << l;
        };
        row("a notch in, around the middle", 1000, "z500:1", 100, 900);
        row("ten notches in, at the start", 1000, "z0:10", 0, 1000 / std::pow(1.25, 10));
        row("the narrowest", 1000, "z500:40", 495, 505);
        row("out past the whole", 1000, "z500:1 z300:-5", 0, 1000);
        row("one sample", 1, "z0:3", 0, 1);
        row("pan past the start", 1000, "z500:1 p-500", 0, 800);
        row("pan past the end", 1000, "z500:1 p500", 200, 1000);
        row("no pan of the whole", 1000, "p100", 0, 1000);
        row("the newest followed", 1000, "z1000:1 c1001", 201, 1001);
        row("moved back, stays", 1000, "z500:1 c1001", 100, 900);
        row("the whole grows", 1000, "c1001", 0, 1001);
        row("the limit reached", 31999, "z31999:1 c32000", 6400.8, 32000);
    }
    void zoomAndPan()
    {
        QFETCH(int, count);
        QFETCH(QString, steps);
        SampleSpan span;
        span.showWhole(count);
        for (const QString &step : steps.split(u' ')) {
            const QStringList args = step.mid(1).split(u':');
            if (step.startsWith(u'z'))
                span.zoom(args[0].toDouble(), args[1].toInt());
            else if (step.startsWith(u'p'))
                span.pan(args[0].toDouble());
            else
                span.setCount(count = args[0].toInt());
        }
        QTEST(span.first(), "first");
        QTEST(span.last(), "last");
        QCOMPARE(span.isWhole(), span.first() == 0 && span.last() == count);
    }
    // The height fitted to the samples in view: their lowest and highest, a flat trace between
    // one below and one above.
    void verticalWindow()
    {
        SampleStore store;
        for (const double value : {7.0, 7.0, -32768.0, 32767.0, 5.0, 12.0, 9.0})
            store.add({0, value});
        for (const auto &[from, to, bottom, top] :
             {std::tuple {1, 2, 6, 8}, {1, 4, -32768, 32767}, {5, 7, 5, 12}, {-5, 1, 0, 7}}) {
            const auto [low, high] = store.extremes(from, to);
            const View fitted = fitHeight(View {}, low, high);
            QCOMPARE(std::pair(fitted.bottom, fitted.top), std::pair(double(bottom), double(top)));
        }
        // A recorded value above the vertical window moves it up so that the value sits on its
        // top edge; it never moves down.
        for (const auto &[bottom, value, moved] : {std::tuple {0.0, 274.0, 19.0},
                                                   {19, 274, 19},
                                                   {19, 275, 20},
                                                   {0, 255.5, 0},
                                                   {744, -32768, 744},
                                                   {0, 32767, 32512}})
            QCOMPARE(followValue(bottom, value), moved);
    }
    // Values from 0.001 to 1e6 across a 400-pixel ruler, labels 7 pixels a character: a step
    // of 1, 2 or 5 × 10^n, the finest whose labels do not overlap, every tick in the span.
    void valueTicks_data()
    {
        QTest::addColumn<double>("low");
        QTest::addColumn<double>("high");
        QTest::addColumn<double>("smallest");
        QTest::addColumn<double>("step");
        QTest::newRow("a thousandth") << 20.0 << 20.001 << 0.0 << 0.0002;
        QTest::newRow("one unit") << 0.0 << 1.0 << 0.0 << 0.1;
        QTest::newRow("below zero") << -7.5 << 2.5 << 0.0 << 1.0;
        QTest::newRow("the recorded window") << 0.0 << 255.0 << 0.0 << 20.0;
        QTest::newRow("sample numbers") << 0.0 << 12.0 << 1.0 << 1.0;
        QTest::newRow("a full recording") << 0.0 << 32000.0 << 1.0 << 5000.0;
        QTest::newRow("a million") << -1e6 << 1e6 << 0.0 << 500000.0;
    }
    void valueTicks()
    {
        QFETCH(double, low);
        QFETCH(double, high);
        QFETCH(double, smallest);
        QFETCH(double, step);
        const RulerScale::Width width = [](const QString &text) {
            return 7.0 * text.size();
        };
        const QLocale french(QLocale::French);
        const auto ticks = RulerScale::valueTicks(low, high, 400, width, french, smallest);
        QVERIFY(ticks.size() >= 2);
        QVERIFY2(std::abs(ticks[1].at - ticks[0].at - step) < step * 1e-6,
                 qPrintable(QString::number(ticks[1].at - ticks[0].at)));
        double end = -1e300;
        for (const auto &tick : ticks) {
            QVERIFY(tick.at >= low - 1e-9 && tick.at <= high + 1e-9);
            QCOMPARE(tick.text, french.toString(tick.at, 'f', RulerScale::decimals(step)));
            const double centre = (tick.at - low) * 400 / (high - low);
            QVERIFY2(centre - width(tick.text) / 2 >= end + RulerScale::Gap, qPrintable(tick.text));
            end = centre + width(tick.text) / 2;
        }
    }
    // Times from seconds to years across a 600-pixel ruler: round steps, times of day, dates
    // at midnight, months by name.
    void timeTicks_data()
    {
        QTest::addColumn<QDateTime>("from");
        QTest::addColumn<double>("seconds");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("third");
        const QDateTime at(QDate(2026, 3, 14), QTime(10, 5, 3));
        QTest::newRow("ten seconds") << at << 10.0 << "10:05:04"
                                     << "10:05:08";
        QTest::newRow("five minutes") << at << 300.0 << "10:06"
                                      << "10:08";
        QTest::newRow("over midnight") << at.addSecs(46497) << 14400.0 << "23:00"
                                       << "15/03";
        QTest::newRow("three weeks") << at << 21 * 86400.0 << "16/03"
                                     << "20/03";
        QTest::newRow("four months") << at << 120 * 86400.0 << "avr. 2026"
                                     << "juin 2026";
        QTest::newRow("ten years") << at << 3650 * 86400.0 << "2027"
                                   << "2029";
    }
    void timeTicks()
    {
        QFETCH(QDateTime, from);
        QFETCH(double, seconds);
        const double start = double(from.date().toJulianDay()) * RulerScale::SecondsPerDay
            + from.time().msecsSinceStartOfDay() / 1000.0;
        const RulerScale::Width width = [](const QString &text) {
            return 7.0 * text.size();
        };
        const auto ticks = RulerScale::timeTicks(start, start + seconds, 600, width);
        QVERIFY(ticks.size() >= 3);
        QTEST(ticks[0].text, "first");
        QTEST(ticks[2].text, "third");
        double end = -1e300;
        for (const auto &tick : ticks) {
            QVERIFY(tick.at >= start && tick.at <= start + seconds);
            const double centre = (tick.at - start) * 600 / seconds;
            QVERIFY2(centre - width(tick.text) / 2 >= end + RulerScale::Gap, qPrintable(tick.text));
            end = centre + width(tick.text) / 2;
        }
    }
    // Samples by their time: a 1-s recording with an outage, one resumed after a day, times
    // kept to the second; the gaps where the trace breaks, the sample under a time.
    void timeAxis_data()
    {
        QTest::addColumn<QList<int>>("times"); // seconds after 10:00:00 of samples 1..n
        QTest::addColumn<double>("period");
        QTest::addColumn<QList<int>>("gaps"); // samples after a gap
        QTest::addColumn<double>("at");
        QTest::addColumn<int>("nearest");
        QTest::newRow("steady") << QList<int> {0, 1, 2, 3, 4} << 1.0 << QList<int> {} << 2.4 << 3;
        QTest::newRow("rounded to the second")
            << QList<int> {0, 1, 3, 4, 5, 6} << 1.0 << QList<int> {} << 2.6 << 3;
        QTest::newRow("a 22-s outage")
            << QList<int> {0, 1, 2, 24, 25, 26} << 1.0 << QList<int> {4} << 12.0 << 3;
        QTest::newRow("resumed the next day")
            << QList<int> {0, 60, 120, 86400, 86460} << 60.0 << QList<int> {4} << 86000.0 << 4;
        QTest::newRow("two samples at once")
            << QList<int> {0, 0, 10, 20} << 10.0 << QList<int> {} << -5.0 << 1;
        QTest::newRow("one sample") << QList<int> {0} << 1.0 << QList<int> {} << 100.0 << 1;
    }
    void timeAxis()
    {
        QFETCH(QList<int>, times);
        QFETCH(QList<int>, gaps);
        QFETCH(double, at);
        TimeAxis axis;
        const QDateTime start(QDate(2026, 3, 14), QTime(10, 0));
        for (const int t : times)
            axis.append(start.addSecs(t).date(), start.addSecs(t).time());
        QVERIFY(axis.holds());
        QTEST(axis.period(), "period");
        QList<int> found;
        for (int i = 0; i <= axis.count() + 1; ++i)
            if (axis.gapBefore(i))
                found.append(i);
        QCOMPARE(found, gaps);
        QTEST(axis.nearest(at), "nearest");
        // The mapping and its inverse agree at each sample.
        for (int i = 1; i <= axis.count(); ++i)
            QCOMPARE(axis.at(int(std::lround(axis.indexAt(axis.at(i))))), axis.at(i));
        axis.append({}, {}); // a sample without a date
        QVERIFY(!axis.holds());
    }
    // On the time axis the trace breaks at each outage, and stays at most four points a column.
    void traceBreaksAtGaps()
    {
        const QRectF inner(2, 2, 229, 173);
        for (const auto &[count, outages] : {std::pair(20, 1), {32000, 3}}) {
            SampleStore samples;
            QDateTime at(QDate(2026, 3, 14), QTime(23, 0));
            for (int i = 1; i <= count; ++i) {
                at = at.addSecs(i % (count / (outages + 1)) == 0 && i < count ? 22 : 1);
                samples.add({i, double(i % 7), at.date(), at.time()});
            }
            const TimeAxis axis = ChartView::timeAxisOf(samples);
            const auto lines
                = TracePath::build(samples, View {0, axis.end(), 0, 255, &axis}, inner);
            QCOMPARE(lines.size(), outages + 1);
            qsizetype points = 0;
            for (const QPolygonF &line : lines)
                points += line.size();
            QVERIFY(points == count || (count > 458 && points <= 4 * 230 + 4 * outages));
        }
    }
    // The window at its design size, on a 1280 × 800 screen and maximised on a 1920 × 1080 one:
    // the controls at the bottom left in their place and size, the chart and rulers taking the
    // rest, nothing overlapping, all inside.
    void windowLayout_data()
    {
        QTest::addColumn<QSize>("inside");
        QTest::addColumn<int>("rightRoom");
        QTest::newRow("design") << WindowLayout::smallest() << 0;
        QTest::newRow("1280 × 800") << QSize(1270, 740) << 0;
        QTest::newRow("maximised, labels in units") << QSize(1920, 1030) << 40;
    }
    void windowLayout()
    {
        QFETCH(QSize, inside);
        QFETCH(int, rightRoom);
        const WindowLayout design = WindowLayout::forInside(WindowLayout::smallest());
        const WindowLayout layout = WindowLayout::forInside(inside, rightRoom);
        const int dh = inside.height() - WindowLayout::smallest().height();
        for (const auto &[now, then] : {std::pair(layout.clock, design.clock),
                                        {layout.value, design.value},
                                        {layout.frame, design.frame},
                                        {layout.heading, design.heading}})
            QCOMPARE(now.translated(0, now == layout.heading ? 0 : -dh), then);
        QCOMPARE(layout.list.height() - design.list.height(), dh);
        QCOMPARE(layout.xRuler.top() - layout.chart.bottom(),
                 design.xRuler.top() - design.chart.bottom());
        QCOMPARE(layout.yRuler.right() + 1 + rightRoom,
                 design.yRuler.right() + 1 + inside.width() - WindowLayout::smallest().width());
        // Nothing overlaps more than at the design size, where the heading and the frame stand
        // one pixel over the list's edges.
        const QList<QRect> all = layout.all(), designed = design.all();
        for (int i = 0; i < all.size(); ++i) {
            QVERIFY(QRect(QPoint(), inside).contains(all[i]));
            for (int j = i + 1; j < all.size(); ++j)
                QVERIFY2((all[i] & all[j]).size() == (designed[i] & designed[j]).size(),
                         qPrintable(QStringLiteral("%1 %2").arg(i).arg(j)));
        }
    }
    // The size kept, or the design's when it is below it, larger than the screen, or junk.
    void restoredSize()
    {
        const QSize smallest(526, 280), screen(1280, 800);
        for (const auto &[stored, size] : {std::pair(QSize(900, 600), QSize(900, 600)),
                                           {QSize(1280, 800), QSize(1280, 800)},
                                           {QSize(1281, 600), QSize(526, 600)},
                                           {QSize(900, 801), QSize(900, 280)},
                                           {QSize(525, 0), QSize(526, 280)},
                                           {QSize(-32768, -1), QSize(526, 280)}})
            QCOMPARE(WindowLayout::restoredSize(stored, smallest, screen), size);
    }
    void init() { store.clear(); }

    // Newest first: a recording's rows, values as "#000", a new sample as a row inserted on top;
    // a viewed file's lines as they stand under its first line; the store cleared, no rows.
    void rows()
    {
        QAbstractItemModelTester tester(&model); // begins and ends of changes, rows and data
        QCOMPARE(model.rowCount(), 0);
        record(42, "10:05:00");
        record(-7, "10:05:01");
        QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
        for (const double value : {1234.0, -32768.0})
            record(value, "10:05:02");
        QCOMPARE(inserted.count(), 2);
        QCOMPARE(rowsOf(model),
                 "4 ---- -32768 --- 03-14-2026 --- 10:05:02\n"
                 "3 ---- 1234 --- 03-14-2026 --- 10:05:02\n"
                 "2 ---- -007 --- 03-14-2026 --- 10:05:01\n"
                 "1 ---- 042 --- 03-14-2026 --- 10:05:00\n"
                 "0 ---- 000 ---  --- \n");
        QCOMPARE(model.data(model.index(5, 0)), QVariant()); // past the end, asked of the model
        store.startReading("N°Record;Valeur;Date;Time");
        store.add(viewed("1;5;01-02-2026;03:04:05"));
        store.add(viewed("2;6;x"));
        store.readComplete();
        QCOMPARE(
            rowsOf(model),
            "N°Record;Valeur;Date;Time\n2 ---- 2;6;x\n1 ---- 1;5;01-02-2026;03:04:05\n0 ---- \n");
        QCOMPARE(inserted.count(), 2);
        QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
        store.clear();
        QCOMPARE(std::pair(int(reset.count()), model.rowCount()), std::pair(1, 0));
    }
    // With a pinned sample the label adds the differences: samples, time from their dates and
    // times ("—" without), value. Samples: "value;date;time" each, as a file's lines hold them.
    void deltaReadout_data()
    {
        QTest::addColumn<QStringList>("samples");
        QTest::addColumn<int>("pinned");
        QTest::addColumn<int>("sample");
        QTest::addColumn<QString>("delta");
        const QStringList day {"30;03-14-2026;10:00:00", "90;03-14-2026;16:40:00"};
        const auto row = [](const char *name, const QStringList &samples, int pinned, int sample,
                            const char *delta) {
            QTest::newRow(name) << samples << pinned << sample << QString(delta);
        };
        row("forwards", day, 1, 2, "Δ +1 mesure, +6 h 40 min 00 s, +60");
        row("backwards", day, 2, 1, "Δ -1 mesure, -6 h 40 min 00 s, -60");
        row("itself", day, 2, 2, "Δ 0 mesure, 0 s, 0");
        row("over midnight", {"3.5;12-06-2026;23:59:50", "1;12-07-2026;00:05:05"}, 1, 2,
            "Δ +1 mesure, +5 min 15 s, -2.5");
        row("from sample 0", day, 0, 2, "Δ +2 mesures, —, +90");
        row("days", {"1;12-06-2026;10:00:00", "1;12-09-2026;10:05:01"}, 2, 1,
            "Δ -1 mesure, -3 j 0 h 05 min 01 s, 0");
        row("no date", {"30", "90;12-06-2026;10:00:00"}, 1, 2, "Δ +1 mesure, —, +60");
        row("garbage date", {"30;13-45-2026;9:0", "90;x;y"}, 1, 0, "Δ -1 mesure, —, -30");
    }
    void deltaReadout()
    {
        QFETCH(QStringList, samples);
        QList<Sample> all(1);
        for (int i = 1; i <= samples.size(); ++i)
            all << viewed(QByteArray::number(i) + ';' + samples[i - 1].toLatin1(), i);
        QFETCH(int, pinned);
        QFETCH(int, sample);
        QTEST(SampleText::delta(all[pinned], all[sample]), "delta");
    }
    // The export's lines: number, value with a decimal comma, yyyy-mm-dd hh:mm:ss; a viewed
    // line's fields after the value as they are when they are no date and time.
    void exportLines()
    {
        QCOMPARE(SpreadsheetFile::header(), QByteArray("N\xC2\xB0;Valeur;Date et heure\r\n"));
        QCOMPARE(spreadsheetLine({1, -32768, QDate(2026, 3, 14), QTime(4, 38, 58)}),
                 "1;-32768;2026-03-14 04:38:58\r\n");
        for (const auto &[line, exported] :
             {std::pair("1;3.5;12-06-2026;04:38:58", "1;3,5;2026-12-06 04:38:58\r\n"),
              {"1;7", "1;7;\r\n"},
              {"1;7;02-30-2026;10:00:00;x", "1;7;02-30-2026;10:00:00;x\r\n"},
              {"1;7;\xE9;\xFC", "1;7;\xC3\xA9;\xC3\xBC\r\n"}})
            QCOMPARE(spreadsheetLine(viewed(line)), QByteArray(exported));
        // Where the decimal mark is a point, the fields are parted by commas, and a field that
        // holds one is quoted.
        const SpreadsheetFile::Format english = SpreadsheetFile::formatFor(QLocale("en_US"));
        QCOMPARE(SpreadsheetFile::formatFor(QLocale("fr_FR")).separator, ';');
        QCOMPARE(SpreadsheetFile::header(english),
                 QByteArray("N\xC2\xB0,Valeur,Date et heure\r\n"));
        store.add({1, 0.125, QDate(2026, 12, 6), QTime(4, 38, 58), "1;0,125;12-06-2026;04:38:58"});
        store.add({2, 7.5, {}, {}, "2;7,5;a,b;\"c\""});
        QCOMPARE(spreadsheetLine(store.at(1), english), "1,0.125,2026-12-06 04:38:58\r\n");
        QCOMPARE(spreadsheetLine(store.at(2), english), "2,7.5,\"a,b\",\"\"\"c\"\"\"\r\n");
        // For scripts/check-spreadsheet.sh, which opens them in LibreOffice Calc: on a scale with
        // a unit, a whole recorded value beside them, as a CSV file and as a workbook.
        const QString dir = qEnvironmentVariable("ONDARIS_EXPORT_DIR");
        if (dir.isEmpty())
            return;
        record(250, "04:39:00");
        store.setScaleFrom(1, SensorScale(0, 100, "°C"));
        for (const char *locale : {"fr_FR", "en_US"})
            QVERIFY(SpreadsheetFile::write(dir + u'/' + locale + ".csv", store, 1, 3,
                                           SpreadsheetFile::formatFor(QLocale(locale)), nullptr));
        QVERIFY(WorkbookFile::write(dir + "/classeur.xlsx", store, 1, 3, "essai.csv", nullptr));
    }
    // Samples on a scale other than the identity: the unit in the value's title, quoted with the
    // rest of a field that holds the separator; the recorded value beside the value in units.
    void exportColumns_data()
    {
        QTest::addColumn<SensorScale>("first");
        QTest::addColumn<SensorScale>("second"); // from sample 2 on
        QTest::addColumn<QByteArray>("file"); // "*": a sample's date, time and line end
        const SensorScale identity, celsius(0, 100, "°C");
        const QByteArray scaled = "N°;Valeur (°C);Valeur enregistrée;Date et heure\r\n";
        QTest::newRow("identity") << identity << identity
                                  << QByteArray("N°;Valeur;Date et heure\r\n1;250;*2;500;*");
        QTest::newRow("identity, then a unit")
            << identity << celsius << scaled + "1;250;250;*2;50,0;500;*";
        QTest::newRow("no unit")
            << SensorScale(0, 10) << SensorScale(0, 10)
            << QByteArray("N°;Valeur;Valeur enregistrée;Date et heure\r\n1;2,50;250;*2;5,00;500;*");
        QTest::newRow("two units, one a separator")
            << celsius << SensorScale(0, 100, "%;")
            << QByteArray("N°;\"Valeur (°C, %;)\";Valeur enregistrée;Date et heure\r\n"
                          "1;25,0;250;*2;50,0;500;*");
    }
    void exportColumns()
    {
        QFETCH(SensorScale, first);
        QFETCH(SensorScale, second);
        QFETCH(QByteArray, file);
        record(250, "10:00:00");
        record(500, "10:00:00");
        store.setScaleFrom(1, first);
        store.setScaleFrom(2, second);
        QTemporaryDir dir;
        QVERIFY(SpreadsheetFile::write(dir.filePath("x.csv"), store, 1, 2, {}, nullptr));
        QCOMPARE(TestFiles::read(dir.filePath("x.csv")),
                 file.replace('*', "2026-03-14 10:00:00\r\n"));
    }
};

QTEST_MAIN(TestChart)
#include "tst_chart.moc"
