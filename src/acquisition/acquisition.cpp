#include "acquisition.h"

#include "hidtransport.h"
#include "settings/settings.h"

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
}

Acquisition::~Acquisition() = default;

int Acquisition::scaled(qint32 raw)
{
    return static_cast<int>(std::floor(raw * ScaleFactor));
}

void Acquisition::poll(int source)
{
    if (source == int(SampleSource::Usb)) {
        m_usb.ouvre_usb();
        if (const auto reading = m_usb.lit_usb()) {
            m_valeurBrute = reading->analog1;
            m_valeurVoie2 = reading->analog2;
        }
    } else if (source == int(SampleSource::Serial)) {
        if (const auto reading = m_serial.lit_port())
            m_valeurBrute = *reading;
    }
}

QString Acquisition::displayText(int source) const
{
    return source == int(SampleSource::Test) ? QString::number(m_valeurTest)
                                             : QString::number(scaled(m_valeurBrute));
}

double Acquisition::sampleValue(int source) const
{
    return source == int(SampleSource::Test) ? double(m_valeurTest) : double(scaled(m_valeurBrute));
}

void Acquisition::keyPress(int characterCode)
{
    if (characterCode == '+' && m_valeurTest < std::numeric_limits<qint16>::max())
        ++m_valeurTest;
    else if (characterCode == '-' && m_valeurTest > std::numeric_limits<qint16>::min())
        --m_valeurTest;
}
