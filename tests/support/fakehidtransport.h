#pragma once

#include "acquisition/hidtransport.h"

#include <QByteArray>
#include <QList>
#include <algorithm>
#include <functional>
#include <utility>

// A scripted board: each read takes the next scripted report (an empty one, or none left, is
// a timeout, a null one an error); the answers come only after the next write, as a board's
// answer to a command does; writes and the timeouts asked for are recorded. A queued report is
// read at once; a read that times out waits its whole timeout on the board's clock.
class FakeHidTransport final : public HidTransport
{
public:
    bool present = true;
    bool writeFails = false;
    QList<QByteArray> reports;
    QList<QByteArray> answers;
    QList<QByteArray> written;
    QList<int> timeouts;
    int opens = 0;
    int closes = 0;
    qint64 nowMs = 0;
    const std::function<qint64()> clock {[this] { // the board's, for UsbBoard
        return nowMs;
    }};

    bool open(quint16, quint16) override
    {
        ++opens;
        m_open = present;
        return m_open;
    }
    void close() override
    {
        if (m_open)
            ++closes;
        m_open = false;
    }
    bool isOpen() const override { return m_open; }
    int read(std::span<quint8> buffer, int timeoutMs) override
    {
        timeouts.append(timeoutMs);
        const QByteArray report = reports.isEmpty() ? QByteArray("") : reports.takeFirst();
        if (report.isNull())
            return -1;
        if (report.isEmpty()) {
            nowMs += timeoutMs;
            return 0;
        }
        const auto n = std::min<qsizetype>(report.size(), qsizetype(buffer.size()));
        std::copy_n(report.constData(), n, reinterpret_cast<char *>(buffer.data()));
        return int(n);
    }
    int write(std::span<const quint8> report) override
    {
        written.append(
            QByteArray(reinterpret_cast<const char *>(report.data()), qsizetype(report.size())));
        if (writeFails)
            return -1;
        reports += std::exchange(answers, {});
        return int(report.size());
    }

    // An 8-byte input report with the given status byte and analog inputs.
    static QByteArray report(quint8 status, quint8 analog1, quint8 analog2)
    {
        QByteArray r(8, '\0');
        r[1] = char(status);
        r[2] = char(analog1);
        r[3] = char(analog2);
        return r;
    }

private:
    bool m_open = false;
};
