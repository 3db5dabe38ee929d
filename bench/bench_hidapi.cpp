// One refresh of the board through the real hidapi-libusb: enumerate and open, read both inputs
// (the stale first report dropped), close, against a K8055 emulated at the usbdevfs level.
// The emulated board answers each poll of the host every 10 ms, as the real one does, so the
// time is mostly the wait for its second report. Run under umockdev-wrapper.
#include "acquisition/hidapitransport.h"
#include "acquisition/usbboard.h"
#include "emulatedk8055.h"

#include <benchmark/benchmark.h>

namespace {

void BM_RealBoardPoll(benchmark::State &state)
{
    EmulatedK8055 emulated;
    if (!emulated.isValid()) {
        state.SkipWithError("needs umockdev-wrapper");
        return;
    }
    emulated.analog1 = 128;
    emulated.analog2 = 64;
    HidapiTransport transport;
    UsbBoard board(transport);
    int failures = 0;
    for (auto _ : state) {
        board.ouvre_usb();
        failures += !board.lit_usb().has_value();
    }
    state.counters["failed_reads"] = failures;
}

} // namespace

BENCHMARK(BM_RealBoardPoll)->Unit(benchmark::kMillisecond)->Iterations(50);
BENCHMARK_MAIN();
