#include "seriallink.h"

#include "seriallinesettings.h"

#include <QFileInfo>

namespace {

// A port that reads nothing although the system said it had data has been hung up or unplugged.
bool isLost(QSerialPort::SerialPortError error)
{
    return error == QSerialPort::ResourceError || error == QSerialPort::ReadError;
}

} // namespace

SerialLink::FrameAction SerialLink::frameAction(qint64 waiting)
{
    if (waiting < FrameSize)
        return FrameAction::Wait;
    if (waiting == FrameSize)
        return FrameAction::TakeOne;
    return waiting % FrameSize == 0 ? FrameAction::TakeNewest : FrameAction::DropAll;
}

std::optional<quint8> SerialLink::takeFrame(QByteArray &waiting, QByteArray *frame)
{
    switch (frameAction(waiting.size())) {
    case FrameAction::Wait:
        return std::nullopt;
    case FrameAction::DropAll:
        waiting.clear();
        return std::nullopt;
    case FrameAction::TakeOne:
    case FrameAction::TakeNewest:
        break;
    }
    const QByteArray newest = waiting.right(FrameSize);
    waiting.clear();
    if (frame)
        *frame = newest;
    return static_cast<quint8>(newest[2]);
}

QString SerialLink::firstPortName()
{
#ifdef Q_OS_WIN
    return QStringLiteral("COM1");
#else
    return QStringLiteral("/dev/ttyS0");
#endif
}

SerialLink::SerialLink(QString portName, QObject *parent)
    : QObject(parent)
    , m_portName(std::move(portName))
{
    m_port.setPortName(m_portName);
    // Errors met while the event loop reads the port are handled once the port's own call is over.
    connect(&m_port, &QSerialPort::errorOccurred, this, &SerialLink::onError, Qt::QueuedConnection);
}

void SerialLink::ouvre_port()
{
    if (m_port.isOpen())
        return;
    const auto line = SerialLineSettings::parse(QString::fromLatin1(LineSettings));
    Q_ASSERT(line);
    m_port.setPortName(m_portName);
    m_port.setBaudRate(line->baudRate);
    m_port.setParity(line->parity);
    m_port.setDataBits(line->dataBits);
    m_port.setStopBits(line->stopBits);
    m_port.setFlowControl(QSerialPort::NoFlowControl);
    if (!m_port.open(QIODevice::ReadOnly)) {
        const auto error = m_port.error();
        const QString text = m_port.errorString();
        m_port.clearError();
        emit failure(describeFailure(m_portName, error, text));
        return;
    }
    // A device without modem lines (a pseudo-terminal) refuses these; it stays usable.
    m_port.setDataTerminalReady(true);
    m_port.setRequestToSend(true);
    m_port.clearError();
}

std::optional<quint8> SerialLink::lit_port()
{
    if (!m_port.isOpen())
        return std::nullopt;
    // Takes in what the system holds, so the count below is what is really waiting.
    m_port.waitForReadyRead(0);
    if (isLost(m_port.error())) {
        closeAfterFailure(QSerialPort::ResourceError);
        return std::nullopt;
    }
    if (frameAction(m_port.bytesAvailable()) == FrameAction::Wait)
        return std::nullopt;
    QByteArray waiting = m_port.readAll();
    return takeFrame(waiting, &m_frame);
}

void SerialLink::ferme_port()
{
    if (m_port.isOpen())
        m_port.close();
    m_port.clearError();
}

void SerialLink::onError(QSerialPort::SerialPortError error)
{
    if (isLost(error) && m_port.isOpen())
        closeAfterFailure(QSerialPort::ResourceError);
}

void SerialLink::closeAfterFailure(QSerialPort::SerialPortError error)
{
    const QString text = m_port.errorString();
    m_port.close();
    m_port.clearError();
    emit failure(describeFailure(m_portName, error, text));
}

QString SerialLink::describeFailure(const QString &portName, QSerialPort::SerialPortError error,
                                    const QString &systemText)
{
    QString reason;
    switch (error) {
    case QSerialPort::DeviceNotFoundError:
        reason = tr("Le port n'existe pas sur cet ordinateur.");
        break;
    case QSerialPort::PermissionError:
    case QSerialPort::OpenError: {
        const QFileInfo device(portName);
        if (device.exists() && !(device.isReadable() && device.isWritable()))
            reason
                = tr("Vous n'avez pas le droit d'utiliser ce port : votre compte doit "
                     "appartenir au groupe propriétaire du port (par exemple « %1 »), puis "
                     "il faut fermer la session et la rouvrir.")
                      .arg(device.group().isEmpty() ? QStringLiteral("dialout") : device.group());
        else
            reason = tr("Le port est déjà utilisé par un autre programme.");
        break;
    }
    case QSerialPort::ResourceError:
        reason = tr("Le port a disparu pendant son utilisation (adaptateur USB débranché ?).");
        break;
    default:
        reason = tr("Le port ne peut pas être utilisé.");
        break;
    }
    return tr("Port série %1 : %2\nLa valeur affichée n'est plus mise à jour. Choisissez de "
              "nouveau « RS232 com N° » dans les réglages pour réessayer.\n\nDétail du "
              "système : %3")
        .arg(portName, reason, systemText);
}
