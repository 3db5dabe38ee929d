#include "seriallinesettings.h"

#include <QList>

std::optional<SerialLineSettings> SerialLineSettings::parse(QStringView text)
{
    const QList<QStringView> parts = text.split(u',');
    if (parts.size() != 4)
        return std::nullopt;

    SerialLineSettings s;
    bool ok = false;
    s.baudRate = parts[0].trimmed().toInt(&ok);
    if (!ok || s.baudRate <= 0)
        return std::nullopt;

    const QStringView parity = parts[1].trimmed();
    if (parity.size() != 1)
        return std::nullopt;
    switch (parity.front().toLower().unicode()) {
    case u'n':
        s.parity = QSerialPort::NoParity;
        break;
    case u'e':
        s.parity = QSerialPort::EvenParity;
        break;
    case u'o':
        s.parity = QSerialPort::OddParity;
        break;
    case u'm':
        s.parity = QSerialPort::MarkParity;
        break;
    case u's':
        s.parity = QSerialPort::SpaceParity;
        break;
    default:
        return std::nullopt;
    }

    const int bits = parts[2].trimmed().toInt(&ok);
    if (!ok || bits < 5 || bits > 8)
        return std::nullopt;
    s.dataBits = static_cast<QSerialPort::DataBits>(bits);

    const QStringView stop = parts[3].trimmed();
    if (stop == u"1")
        s.stopBits = QSerialPort::OneStop;
    else if (stop == u"1.5")
        s.stopBits = QSerialPort::OneAndHalfStop;
    else if (stop == u"2")
        s.stopBits = QSerialPort::TwoStop;
    else
        return std::nullopt;
    return s;
}
