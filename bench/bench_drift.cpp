// A real 60-sample recording at the 1-second option, on the real timers and clock: how far each
// sample lands from start + 10 ms + (k - 1) s. Takes one minute.
#include "acquisition/acquisition.h"
#include "fakehidtransport.h"
#include "recording/recorder.h"
#include "recording/samplestore.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <cmath>

namespace {

void BM_SixtySamplesAtOneSecond(benchmark::State &state)
{
    QTemporaryDir dir;
    Acquisition acquisition({}, std::make_unique<FakeHidTransport>());
    SampleStore store;
    QElapsedTimer clock;
    clock.start();
    const Recorder::Plan plan {1000, 1, dir.filePath("data_tr.csv")};
    Recorder recorder(
        store, [&] { return acquisition.sampleValue(); },
        Recorder::Clock {[&] { return clock.elapsed(); },
                         [] {
                             return QDateTime::currentDateTime();
                         }});
    for (auto _ : state) {
        QList<qint64> at;
        QObject::connect(&store, &SampleStore::grew, [&] { at << clock.nsecsElapsed(); });
        const qint64 start = clock.nsecsElapsed();
        recorder.start(plan);
        while (at.size() < 60)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        recorder.stop();
        double worst = 0, sum = 0;
        for (int k = 1; k <= at.size(); ++k) {
            const double due = start + 10e6 + (k - 1) * 1e9;
            const double offMs = (at[k - 1] - due) / 1e6;
            worst = std::max(worst, std::abs(offMs));
            sum += offMs;
        }
        state.counters["worst_ms"] = worst;
        state.counters["mean_ms"] = sum / at.size();
        state.counters["last_ms"] = (at.last() - (start + 10e6 + 59e9)) / 1e6;
    }
}

} // namespace

BENCHMARK(BM_SixtySamplesAtOneSecond)->Iterations(1)->Unit(benchmark::kSecond);

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
