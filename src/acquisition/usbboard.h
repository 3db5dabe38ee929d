#pragma once

#include <QObject>
#include <functional>
#include <optional>
#include <span>

class HidTransport;

// The K8055 USB interface board at card address 3, read for its two analog inputs.
// Every read is bounded in time so the user interface never waits on the board.
class UsbBoard : public QObject
{
    Q_OBJECT

public:
    static constexpr quint16 VendorId = 0x10CF;
    static constexpr int CardAddress = 3;
    static constexpr int ReportSize = 8;
    static constexpr int ReadBudgetMs = 50; // all reads of one poll together
    static constexpr quint8 ReadAnalogCommand = 17;

    static constexpr quint16 productId(int cardAddress) { return quint16(0x5500 + cardAddress); }

    struct Reading
    {
        quint8 analog1 = 0;
        quint8 analog2 = 0;
        friend bool operator==(const Reading &, const Reading &) = default;
    };

    using Clock = std::function<qint64()>; // milliseconds, monotonic

    explicit UsbBoard(HidTransport &transport, Clock clock = steadyMs, QObject *parent = nullptr);

    // Opens the board unless it is open already.
    void ouvre_usb();
    // Reads both analog inputs, then closes the board; nothing when no valid report came.
    std::optional<Reading> lit_usb();
    // The next failed open tells the user, once, that the board is missing.
    void armMissingReport() { m_reportMissing = true; }

signals:
    void boardMissing(const QString &message);

private:
    class Reads;
    // What one poll got: a reading or none, and whether the board failed on the way.
    struct Poll
    {
        std::optional<Reading> reading;
        bool failed = false;
    };

    static qint64 steadyMs();
    Poll readReports();
    Poll askNativeMode(Reads &reads);
    static QString missingMessage();
    static QString lostMessage();

    HidTransport &m_transport;
    Clock m_clock;
    bool m_reportMissing = false;
    bool m_answering = false; // read since the last message: losing it is told
};
