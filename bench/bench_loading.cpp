// Viewing a 32,000-line recording written by the program: the whole "Visualiser Enregistrement"
// of the main window, progress window and event handling included, up to the drawn list and chart.
#include "viewer/recordingloader.h"
#include "windowrig.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

QString writeRecording(const QTemporaryDir &dir, int lines)
{
    const QString path = dir.filePath("big.csv");
    TestFiles::write(path, TestFiles::recording(lines, [](int i) { return (i * 37) % 1000; }));
    return path;
}

void BM_ViewRecording(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = writeRecording(dir, int(state.range(0)));
    FakeDialogs dialogs;
    dialogs.viewAnswer = path;
    Instrument instrument(testServices(dir.path()));
    Enregistreur window(instrument, dialogs);
    window.Form_Load();
    window.menuGraphe_Click();
    window.show();
    QCoreApplication::processEvents();
    for (auto _ : state) {
        window.menu_charger_Click();
        window.repaint(); // the list and chart drawn on screen, not just scheduled
    }
    state.counters["bytes"] = double(QFileInfo(path).size());
    state.counters["samples"] = instrument.samples().num_mesure();
}

void BM_ParseOnly(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = writeRecording(dir, int(state.range(0)));
    SampleStore store;
    for (auto _ : state) {
        store.clear();
        benchmark::DoNotOptimize(RecordingLoader::load(path, store, {}));
    }
}

} // namespace

BENCHMARK(BM_ViewRecording)->Arg(32000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ParseOnly)->Arg(32000)->Unit(benchmark::kMillisecond);
