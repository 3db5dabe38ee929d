#pragma once

#include "serialframer.h"

#include <QObject>
#include <QSerialPort>
#include <QStringList>
#include <functional>
#include <optional>

// The serial sensor on the machine's first serial port: 2400 baud, 4-byte frames whose third
// byte is the reading. Nothing is ever sent. While the serial source is chosen, a port that is
// missing or lost is tried again every 2 seconds, silently. Its reading is fresh while whole
// frames keep coming; a port that is missing, lost or silent is told once until frames come
// again.
class SerialLink : public QObject
{
    Q_OBJECT

public:
    // The sensor's line: 2400 baud, no parity, 8 data bits, 1 stop bit.
    static constexpr qint32 BaudRate = 2400;
    static constexpr QSerialPort::Parity Parity = QSerialPort::NoParity;
    static constexpr QSerialPort::DataBits DataBits = QSerialPort::Data8;
    static constexpr QSerialPort::StopBits StopBits = QSerialPort::OneStop;
    static constexpr std::chrono::seconds RetryPeriod {2};
    // A sensor is told silent when no whole frame came within this time, or within
    // SlowSensorFactor times the interval between its last two frames when that is longer.
    static constexpr std::chrono::seconds SilenceLimit {5};
    static constexpr int SlowSensorFactor = 3;
    // Its reading stays fresh SlowSensorFactor times that interval, never less than this, once
    // two frames have shown it; SilenceLimit until then.
    static constexpr std::chrono::seconds ShortestFreshness {1};

    using PortLister = std::function<QStringList()>; // device paths of the ports present now
    using Clock = std::function<SerialFramer::Time()>; // monotonic

    // The serial ports the system reports as present (Qt leaves out ttyS nodes without
    // hardware).
    static QStringList systemPorts();
    static SerialFramer::Time steadyNow();

    explicit SerialLink(PortLister ports = systemPorts, Clock clock = steadyNow,
                        QObject *parent = nullptr);

    bool isOpen() const { return m_port.isOpen(); }

    // Opens the first serial port when closed: on-board UARTs (ttyS*) first, then USB adapters
    // (ttyUSB*, ttyACM*), then the others, each by number. A failure is told through failure().
    void ouvre_port();
    // The reading of the newest whole frame received since the last call. While the port is
    // wanted but closed, tries it again every RetryPeriod.
    std::optional<quint8> lit_port();
    // Closes the port and stops trying it.
    void ferme_port();
    // The port is open and the last reading came from a frame received within the limit.
    bool isFresh() const;

signals:
    void failure(const QString &message);

private:
    void tryOpen();
    void drain();
    void onError(QSerialPort::SerialPortError error);
    void lose();
    void tell(const QString &message);
    SerialFramer::Time silenceLimit() const;
    SerialFramer::Time freshness() const;
    // The French text telling why the port could not be used.
    static QString describeFailure(const QString &portName, QSerialPort::SerialPortError error,
                                   const QString &systemText);

    PortLister m_ports;
    Clock m_clock;
    QString m_portName; // opened last, or tried last
    QSerialPort m_port;
    SerialFramer m_framer;
    bool m_wanted = false; // the serial source is chosen
    bool m_told = false; // the current trouble has been told; cleared when frames come again
    SerialFramer::Time m_lastTry {};
    std::optional<SerialFramer::Time> m_lastFrame; // since the port was opened
    SerialFramer::Time m_waitedFrom {}; // the last frame, or the open when none came since
    SerialFramer::Time m_frameInterval {}; // between the sensor's last two frames; 0: unknown
};
