// Viewing a 32,000-line recording written by the program: the whole "Visualiser Enregistrement"
// of the main window, progress window and event handling included, up to the drawn list and chart.
#include "app/enregistreur.h"
#include "fakedialogs.h"
#include "fakehidtransport.h"
#include "recording/recordingfile.h"
#include "viewer/recordingloader.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

QString writeRecording(const QTemporaryDir &dir, int lines)
{
    QByteArray bytes = RecordingFile::header();
    for (int i = 1; i <= lines; ++i)
        bytes += RecordingFile::sampleLine(i, (i * 37) % 1000, "12-06-2026", "04:38:58");
    const QString path = dir.filePath("big.csv");
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(bytes);
    return path;
}

void BM_ViewRecording(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = writeRecording(dir, int(state.range(0)));
    FakeDialogs dialogs;
    dialogs.viewAnswer = path;
    Enregistreur::Services services;
    services.configPath = dir.filePath("ondaris.cfg");
    services.serialPorts = [port = dir.filePath("no-port")] {
        return QStringList {port};
    };
    services.hidTransport = std::make_unique<FakeHidTransport>();
    services.dialogs = &dialogs;
    Enregistreur window(std::move(services));
    window.Form_Load();
    window.menuGraphe_Click();
    window.show();
    QCoreApplication::processEvents();
    for (auto _ : state) {
        window.menu_charger_Click();
        window.repaint(); // the list and chart drawn on screen, not just scheduled
    }
    state.counters["bytes"] = double(QFileInfo(path).size());
    state.counters["samples"] = window.buffer().num_mesure();
}

void BM_ParseOnly(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = writeRecording(dir, int(state.range(0)));
    MeasurementBuffer buffer;
    LoadedLines lines;
    for (auto _ : state) {
        buffer.restart();
        benchmark::DoNotOptimize(RecordingLoader::load(path, buffer, lines));
    }
}

} // namespace

BENCHMARK(BM_ViewRecording)->Arg(32000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ParseOnly)->Arg(32000)->Unit(benchmark::kMillisecond);
