#pragma once

#include "recording/recorder.h"
#include "recording/samplestore.h"

#include <QTimer>

// A recorder's clock that moves only when the test moves ms; the wall clock shows start when ms
// is zero.
inline Recorder::Clock testClock(const qint64 &ms, const QDateTime &start, qint64 zero = 0)
{
    return {[&ms] { return ms; },
            [&ms, start, zero] {
                return start.addMSecs(ms - zero);
            }};
}

// Runs a recording's sampling ticks as its timer would, the test's clock moved on to each, until
// n more samples are stored or the recording stops.
inline void runSamples(Recorder &recorder, const SampleStore &samples, qint64 &clock, int n)
{
    const auto *timer1 = recorder.findChild<QTimer *>("Timer1");
    const int target = samples.num_mesure() + n;
    while (recorder.isRecording() && samples.num_mesure() < target) {
        clock += timer1->interval();
        recorder.Timer1_Timer();
    }
}
