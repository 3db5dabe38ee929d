#include "acquisition.h"

#include "hidtransport.h"

#include <cmath>
#include <limits>

Acquisition::Acquisition(SerialLink::PortLister serialPorts,
                         std::unique_ptr<HidTransport> transport, QObject *parent)
    : QObject(parent)
    , m_transport(std::move(transport))
    , m_serial(std::move(serialPorts))
    , m_usb(*m_transport)
{
    connect(&m_serial, &SerialLink::failure, this, &Acquisition::deviceProblem);
    connect(&m_usb, &UsbBoard::boardMissing, this, &Acquisition::deviceProblem);
    m_refresh.setObjectName(QStringLiteral("TimerValActu"));
    m_refresh.setInterval(RefreshPeriodMs);
    connect(&m_refresh, &QTimer::timeout, this, &Acquisition::refresh);
}

Acquisition::~Acquisition() = default;

int Acquisition::scaled(qint32 raw)
{
    return static_cast<int>(std::floor(raw * ScaleFactor));
}

void Acquisition::setSource(SampleSource source)
{
    if (source == SampleSource::Serial) {
        if (!m_serial.isOpen())
            m_serial.ouvre_port();
    } else {
        m_serial.ferme_port();
    }
    if (source == SampleSource::Usb && m_source != source)
        m_usb.armMissingReport();
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

void Acquisition::refresh()
{
    poll();
    emit refreshed();
}

void Acquisition::poll()
{
    if (m_source == SampleSource::Usb) {
        m_usb.ouvre_usb();
        if (const auto reading = m_usb.lit_usb()) {
            m_valeurBrute = reading->analog1;
            m_valeurVoie2 = reading->analog2;
        }
    } else if (m_source == SampleSource::Serial) {
        if (const auto reading = m_serial.lit_port())
            m_valeurBrute = *reading;
    }
}

QString Acquisition::displayText() const
{
    return m_source == SampleSource::Test ? QString::number(m_valeurTest)
                                          : QString::number(scaled(m_valeurBrute));
}

double Acquisition::sampleValue() const
{
    return m_source == SampleSource::Test ? double(m_valeurTest) : double(scaled(m_valeurBrute));
}

void Acquisition::keyPress(int characterCode)
{
    if (characterCode == '+' && m_valeurTest < std::numeric_limits<qint16>::max())
        ++m_valeurTest;
    else if (characterCode == '-' && m_valeurTest > std::numeric_limits<qint16>::min())
        --m_valeurTest;
}
