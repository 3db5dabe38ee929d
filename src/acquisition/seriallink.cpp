#include "seriallink.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QSerialPortInfo>
#include <algorithm>
#include <tuple>

namespace {

// A port that reads nothing although the system said it had data has been hung up or unplugged.
bool isLost(QSerialPort::SerialPortError error)
{
    return error == QSerialPort::ResourceError || error == QSerialPort::ReadError;
}

// Sorting key of a port: its family (0 on-board, 1 ttyUSB, 2 ttyACM, 3 others), the name
// without its number, then the number.
struct PortKey
{
    int family;
    QString stem;
    qint64 number;
    bool operator<(const PortKey &o) const
    {
        return std::tie(family, stem, number) < std::tie(o.family, o.stem, o.number);
    }
};

PortKey portKey(const QString &path)
{
    static const QRegularExpression pattern(QStringLiteral("^(.*?)(\\d*)$"));
    const QString name = QFileInfo(path).fileName();
    const auto match = pattern.match(name);
    const QString stem = match.captured(1);
    const qint64 number = match.captured(2).isEmpty() ? -1 : match.captured(2).toLongLong();
    static const QStringList families {QStringLiteral("ttyS"), QStringLiteral("ttyUSB"),
                                       QStringLiteral("ttyACM")};
    const auto family = families.indexOf(stem);
    return {family < 0 ? int(families.size()) : int(family), stem, number};
}

// The first serial port of those present; empty when there is none.
QString firstPortOf(const QStringList &ports)
{
    if (ports.isEmpty())
        return {};
    return *std::min_element(ports.cbegin(), ports.cend(), [](const QString &a, const QString &b) {
        return portKey(a) < portKey(b);
    });
}

} // namespace

QStringList SerialLink::systemPorts()
{
    QStringList ports;
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts())
        ports << info.systemLocation();
    return ports;
}

SerialFramer::Time SerialLink::steadyNow()
{
    return std::chrono::duration_cast<SerialFramer::Time>(
        std::chrono::steady_clock::now().time_since_epoch());
}

SerialLink::SerialLink(PortLister ports, Clock clock, QObject *parent)
    : QObject(parent)
    , m_ports(std::move(ports))
    , m_clock(std::move(clock))
{
    connect(&m_port, &QSerialPort::readyRead, this, &SerialLink::drain);
    // Errors met while the event loop reads the port are handled once the port's own call is over.
    connect(&m_port, &QSerialPort::errorOccurred, this, &SerialLink::onError, Qt::QueuedConnection);
}

void SerialLink::ouvre_port()
{
    m_wanted = true;
    if (m_port.isOpen())
        return;
    // Asked by the user: the outcome is told again.
    m_told = false;
    tryOpen();
}

void SerialLink::tryOpen()
{
    m_lastTry = m_clock();
    m_portName = m_ports ? firstPortOf(m_ports()) : QString();
    if (m_portName.isEmpty()) {
        tell(describeFailure({}, QSerialPort::DeviceNotFoundError, {}));
        return;
    }
    m_port.setPortName(m_portName);
    m_port.setBaudRate(BaudRate);
    m_port.setParity(Parity);
    m_port.setDataBits(DataBits);
    m_port.setStopBits(StopBits);
    m_port.setFlowControl(QSerialPort::NoFlowControl);
    if (!m_port.open(QIODevice::ReadOnly)) {
        const auto error = m_port.error();
        const QString text = m_port.errorString();
        m_port.clearError();
        tell(describeFailure(m_portName, error, text));
        return;
    }
    // A device without modem lines (a pseudo-terminal) refuses these; it stays usable.
    m_port.setDataTerminalReady(true);
    m_port.setRequestToSend(true);
    // What waited before the open may be any part of a frame.
    m_port.clear(QSerialPort::Input);
    m_port.clearError();
    m_framer.restart(m_clock());
    m_lastFrame.reset();
    m_frameInterval = {}; // perhaps another sensor
    m_waitedFrom = m_clock();
}

std::optional<quint8> SerialLink::lit_port()
{
    if (!m_port.isOpen()) {
        if (m_wanted && m_clock() - m_lastTry >= RetryPeriod)
            tryOpen();
        return std::nullopt;
    }
    // Takes in what the system holds, so a frame that has arrived is counted now.
    m_port.waitForReadyRead(0);
    if (isLost(m_port.error())) {
        lose();
        return std::nullopt;
    }
    drain();
    const SerialFramer::Time now = m_clock();
    const auto trame_rs232 = m_framer.take(now);
    if (!trame_rs232) {
        if (now - m_waitedFrom > silenceLimit())
            tell(tr("Le capteur du port série %1 %2 depuis %3 secondes (éteint, ou son câble "
                    "débranché ?).\nLa valeur affichée est « ---- » et aucune mesure n'est "
                    "enregistrée tant qu'il se tait ; tout reprend dès qu'il envoie de nouveau.")
                     .arg(m_portName,
                          m_lastFrame ? tr("n'envoie plus de mesure")
                                      : tr("n'a envoyé aucune mesure"))
                     .arg(std::chrono::duration_cast<std::chrono::seconds>(now - m_waitedFrom)
                              .count()));
        return std::nullopt;
    }
    if (m_lastFrame)
        m_frameInterval = now - *m_lastFrame;
    m_lastFrame = m_waitedFrom = now;
    m_told = false; // the sensor is back: its next trouble is told
    return (*trame_rs232)[2];
}

bool SerialLink::isFresh() const
{
    return m_port.isOpen() && m_lastFrame && m_clock() - *m_lastFrame <= freshness();
}

SerialFramer::Time SerialLink::freshness() const
{
    if (m_frameInterval == SerialFramer::Time {})
        return SilenceLimit;
    return std::max<SerialFramer::Time>(ShortestFreshness, SlowSensorFactor * m_frameInterval);
}

SerialFramer::Time SerialLink::silenceLimit() const
{
    return std::max<SerialFramer::Time>(SilenceLimit, SlowSensorFactor * m_frameInterval);
}

void SerialLink::drain()
{
    m_framer.feed(m_port.readAll(), m_clock());
}

void SerialLink::ferme_port()
{
    m_wanted = false;
    m_lastFrame.reset();
    if (m_port.isOpen())
        m_port.close();
    m_port.clearError();
}

void SerialLink::onError(QSerialPort::SerialPortError error)
{
    if (isLost(error) && m_port.isOpen())
        lose();
}

void SerialLink::lose()
{
    m_port.close();
    m_lastFrame.reset();
    m_port.clearError();
    m_lastTry = m_clock();
    // The system's text of a hung-up line is whatever its last call left ("File exists"): the
    // reason says it all.
    tell(describeFailure(m_portName, QSerialPort::ResourceError, {}));
}

void SerialLink::tell(const QString &message)
{
    if (m_told)
        return;
    m_told = true;
    emit failure(message);
}

QString SerialLink::describeFailure(const QString &portName, QSerialPort::SerialPortError error,
                                    const QString &systemText)
{
    const QString retry = tr("Ondaris réessaie toutes les 2 secondes tant que la source "
                             "« RS232 com N° » est choisie : la valeur affichée (« ---- » d'ici "
                             "là, sans mesure enregistrée) reprend dès que le capteur répond.");
    if (portName.isEmpty())
        return tr("Aucun port série n'a été trouvé sur cet ordinateur (ni port intégré "
                  "/dev/ttyS*, ni adaptateur USB /dev/ttyUSB* ou /dev/ttyACM*).\nBranchez "
                  "l'adaptateur du capteur. %1")
            .arg(retry);
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
    const QString detail
        = systemText.isEmpty() ? QString() : tr("\n\nDétail du système : %1").arg(systemText);
    return tr("Port série %1 : %2\n%3").arg(portName, reason, retry) + detail;
}
