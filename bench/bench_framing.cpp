// The serial framing against a simulated sensor: 10,000 frames for each period, delivery and
// clock drift, polled every 200 ms. Reports the frames taken that were never sent (must be 0)
// and the share of refreshes that got a fresh frame when one had completed since the last.
#include "acquisition/serialframer.h"
#include "simulatedsensor.h"

#include <benchmark/benchmark.h>

namespace {

void BM_Framing(benchmark::State &state)
{
    SimulatedSensor sensor(quint32(state.range(0) * 7 + state.range(1) * 3 + state.range(2)));
    sensor.periodMs = double(state.range(0)) / 10;
    sensor.delivery = SimulatedSensor::Delivery(state.range(1));
    sensor.driftPpm = double(state.range(2));
    const int frames = 10000;
    sensor.send(0, frames, 7000);
    FramerRun r;
    for (auto _ : state) {
        SerialFramer framer;
        framer.restart(SerialFramer::Time(0));
        r = FramerRun::run(sensor, framer, frames * sensor.periodMs * 1000 + 1e6, 1000 + 37);
        benchmark::DoNotOptimize(r);
    }
    state.counters["frames"] = double(sensor.sent().size());
    state.counters["polls"] = double(r.counters.size());
    state.counters["wrong"] = r.wrong;
    state.counters["fresh_pct"] = r.due ? 100.0 * r.fresh / r.due : 0;
}

void periods(benchmark::internal::Benchmark *b)
{
    b->ArgNames({"period_x10ms", "delivery", "ppm"});
    for (const long period : {330, 499, 1003, 2000, 10000, 100000})
        for (const long delivery : {0, 1, 2})
            for (const long drift : {-100, 100})
                b->Args({period, delivery, drift});
    b->Iterations(1)->Unit(benchmark::kMillisecond);
}

} // namespace

BENCHMARK(BM_Framing)->Apply(periods);
BENCHMARK_MAIN();
