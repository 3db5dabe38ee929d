#pragma once

#include <QSerialPort>
#include <QStringView>
#include <optional>

// Line settings written the classic way, "2400,n,8,1": baud, parity, data bits, stop bits.
struct SerialLineSettings
{
    qint32 baudRate = 2400;
    QSerialPort::Parity parity = QSerialPort::NoParity;
    QSerialPort::DataBits dataBits = QSerialPort::Data8;
    QSerialPort::StopBits stopBits = QSerialPort::OneStop;

    // The settings of a text such as "9600,e,7,2", or nothing when the text is not of that form.
    static std::optional<SerialLineSettings> parse(QStringView text);

    friend bool operator==(const SerialLineSettings &, const SerialLineSettings &) = default;
};
