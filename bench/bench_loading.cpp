#include "recording/recordingscales.h"
#include "settings/configfile.h"
// Viewing a 32,000-line recording written by the program: the whole "Visualiser Enregistrement"
// of the main window, progress window and event handling included, up to the drawn list and chart;
// and taking up again a recording of as many samples, interrupted.
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
    if (state.range(1)) // read on a scale kept for it
        RecordingScales::keep(path, TestFiles::samples(1, 1, [](int) { return 37; }).trimmed(),
                              SensorScale(0, 50, "°C"), nullptr);
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

// A recording interrupted after range(0) samples taken up again at the next start: its note
// found, its samples read back from the file into the list and the chart, both drawn.
void BM_ResumeRecording(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = writeRecording(dir, int(state.range(0)));
    TestFiles::write(dir.filePath("ondaris.cfg"),
                     ConfigFile::encode(Settings {path, 1, 0, Settings::WideWidth}));
    const QByteArray note = "Ondaris : enregistrement en cours\n27\n" + path.toUtf8() + '\n'
        + TestFiles::samples(1, 1, [](int) { return 37; }).trimmed() + '\n';
    for (auto _ : state) {
        state.PauseTiming();
        TestFiles::write(dir.filePath("ondaris.reprise"), note);
        FakeDialogs dialogs;
        Instrument instrument(testServices(dir.path()));
        Enregistreur window(instrument, dialogs);
        window.show();
        state.ResumeTiming();
        window.Form_Load();
        instrument.answerResume(true);
        window.repaint();
        state.PauseTiming();
        if (instrument.samples().num_mesure() != state.range(0))
            state.SkipWithError("not resumed");
        state.ResumeTiming();
    }
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

BENCHMARK(BM_ViewRecording)->Args({32000, 0})->Args({32000, 1})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ResumeRecording)->Arg(32000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ParseOnly)->Arg(32000)->Unit(benchmark::kMillisecond);
