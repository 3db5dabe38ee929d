#include "acquisition.h"

#include "hidtransport.h"

#include <QLocale>
#include <limits>
#include <utility>

Acquisition::Acquisition(SerialLink::PortLister serialPorts,
                         std::unique_ptr<HidTransport> transport, SerialLink::Clock serialClock,
                         QObject *parent)
    : QObject(parent)
    , m_transport(std::move(transport))
    , m_serial(std::move(serialPorts), std::move(serialClock))
    , m_usb(*m_transport)
{
    connect(&m_serial, &SerialLink::failure, this, &Acquisition::tell);
    connect(&m_usb, &UsbBoard::boardMissing, this, &Acquisition::tell);
    m_refresh.setObjectName(QStringLiteral("TimerValActu"));
    m_refresh.setInterval(RefreshPeriodMs);
    connect(&m_refresh, &QTimer::timeout, this, &Acquisition::TimerValActu_Timer);
}

Acquisition::~Acquisition() = default;

void Acquisition::setSource(SampleSource source)
{
    if (source == SampleSource::Serial) {
        if (!m_serial.isOpen())
            m_serial.ouvre_port();
    } else {
        m_serial.ferme_port();
    }
    if (source == SampleSource::Usb && m_source != source) {
        m_usb.armMissingReport();
        m_boardRead = false; // read from the next refresh on
    }
    m_source = source;
}

void Acquisition::openStored(SampleSource source)
{
    setSource(source);
    if (source == SampleSource::Usb) {
        m_usb.armMissingReport();
        m_usb.ouvre_usb();
    }
}

void Acquisition::close()
{
    m_serial.ferme_port();
}

void Acquisition::startRefresh()
{
    m_refresh.start();
}

void Acquisition::tell(const QString &message)
{
    if (m_polling)
        m_toTell.append(message);
    else
        emit deviceProblem(message);
}

void Acquisition::TimerValActu_Timer()
{
    m_polling = true;
    if (m_source == SampleSource::Usb) {
        m_usb.ouvre_usb();
        const auto reading = m_usb.lit_usb();
        m_boardRead = reading.has_value();
        if (reading)
            m_valeurBrute = reading->analog1;
    } else if (m_source == SampleSource::Serial) {
        if (const auto reading = m_serial.lit_port())
            m_valeurBrute = *reading;
    }
    m_polling = false;
    emit refreshed();
    // Told once the live value shows what the problem means, as the message may wait for the
    // user's answer.
    for (const QString &message : std::exchange(m_toTell, {}))
        emit deviceProblem(message);
}

bool Acquisition::isFresh() const
{
    switch (m_source) {
    case SampleSource::Serial:
        return m_serial.isFresh();
    case SampleSource::Usb:
        return m_boardRead;
    case SampleSource::Test:
        break;
    }
    return true;
}

QString Acquisition::displayText() const
{
    const auto value = sampleValue();
    // In the session's locale, Qt's default one.
    return value ? m_scale.text(*value, QLocale()) : QStringLiteral("----");
}

std::optional<double> Acquisition::sampleValue() const
{
    if (!isFresh())
        return std::nullopt;
    return m_source == SampleSource::Test ? double(m_valeurTest)
                                          : double(SensorScale::recorded(m_valeurBrute));
}

void Acquisition::keyPress(int characterCode)
{
    if (characterCode == '+' && m_valeurTest < std::numeric_limits<qint16>::max())
        ++m_valeurTest;
    else if (characterCode == '-' && m_valeurTest > std::numeric_limits<qint16>::min())
        --m_valeurTest;
}
