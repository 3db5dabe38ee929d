#pragma once

#include "recording/measurementbuffer.h"
#include "recording/recorder.h"

// Runs a recording's sampling ticks, each at the moment it is due on the test's clock, until
// n more samples are stored or the recording stops.
inline void runSamples(Recorder &recorder, const MeasurementBuffer &buffer, qint64 &clock, int n)
{
    const int target = buffer.num_mesure() + n;
    while (recorder.isRecording() && buffer.num_mesure() < target) {
        clock = recorder.schedule().nextTickAt();
        recorder.tick();
    }
}
