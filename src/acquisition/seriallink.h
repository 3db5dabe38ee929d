#pragma once

#include <QByteArray>
#include <QObject>
#include <QSerialPort>
#include <optional>

// The serial sensor on one port: 2400 baud, 4-byte frames whose third byte is the reading.
// Nothing is ever sent. Polled from the user-interface thread.
class SerialLink : public QObject
{
    Q_OBJECT

public:
    static constexpr const char *LineSettings = "2400,n,8,1";
    static constexpr qint64 FrameSize = 4;

    // What a poll does with the bytes waiting.
    enum class FrameAction { Wait, TakeOne, TakeNewest, DropAll };
    static FrameAction frameAction(qint64 waiting);
    // Applies the frame rule to the bytes waiting: with a whole frame (or whole frames) they are
    // all taken and the newest frame's reading returned, with a broken count they are all dropped,
    // with fewer than four they stay. The frame taken goes to frame.
    static std::optional<quint8> takeFrame(QByteArray &waiting, QByteArray *frame);

    // The platform's first serial port ("/dev/ttyS0" on Linux).
    static QString firstPortName();

    explicit SerialLink(QString portName, QObject *parent = nullptr);

    const QString &portName() const { return m_portName; }
    bool isOpen() const { return m_port.isOpen(); }

    // Opens the port when closed; a failure is told once through failure().
    void ouvre_port();
    // The reading of the frame waiting, if a whole one is; never leaves the input clogged.
    std::optional<quint8> lit_port();
    void ferme_port();

    const QByteArray &trame_rs232() const { return m_frame; }

    // The French text telling why the port could not be used.
    static QString describeFailure(const QString &portName, QSerialPort::SerialPortError error,
                                   const QString &systemText);

signals:
    void failure(const QString &message);

private:
    void onError(QSerialPort::SerialPortError error);
    void closeAfterFailure(QSerialPort::SerialPortError error);

    QString m_portName;
    QSerialPort m_port;
    QByteArray m_frame;
};
