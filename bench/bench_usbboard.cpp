// The board's share of one refresh: open, read both inputs (a stale report dropped), close, over
// the scripted transport, so that what is measured is the program's own work.
#include "acquisition/usbboard.h"
#include "fakehidtransport.h"

#include <benchmark/benchmark.h>

namespace {

void BM_BoardPoll(benchmark::State &state)
{
    FakeHidTransport fake;
    UsbBoard board(fake);
    const QByteArray stale = FakeHidTransport::report(4, 1, 1);
    const QByteArray fresh = FakeHidTransport::report(4, 128, 64);
    for (auto _ : state) {
        fake.reports = {stale, fresh};
        fake.timeouts.clear();
        board.ouvre_usb();
        benchmark::DoNotOptimize(board.lit_usb());
    }
}

} // namespace

BENCHMARK(BM_BoardPoll)->Unit(benchmark::kNanosecond);
BENCHMARK_MAIN();
