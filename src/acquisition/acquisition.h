#pragma once

#include "seriallink.h"
#include "usbboard.h"

#include <QObject>
#include <memory>

class HidTransport;

// The live reading: the serial sensor, the USB board and the keyboard test value, and the
// scale rule shared by the display and the recording.
class Acquisition : public QObject
{
    Q_OBJECT

public:
    static constexpr double ScaleFactor = 3.921;

    Acquisition(SerialLink::PortLister serialPorts, std::unique_ptr<HidTransport> transport,
                QObject *parent = nullptr);
    ~Acquisition() override;

    // floor(raw × 3.921): a raw 0..255 is shown and recorded as 0..999.
    static int scaled(qint32 raw);

    // One refresh: polls the chosen source into valeur_brute (board: open, read, close).
    void poll(int source);
    // The text of the live value for the chosen source.
    QString displayText(int source) const;
    // The value a sample of the chosen source takes now.
    double sampleValue(int source) const;

    // "+" and "-" move the test value by one, within 16 bits; other characters do nothing.
    void keyPress(int characterCode);
    void resetTest() { m_valeurTest = 0; }

    qint32 valeur_brute() const { return m_valeurBrute; }
    qint32 valeur_voie2() const { return m_valeurVoie2; }
    qint16 valeur_test() const { return m_valeurTest; }

    SerialLink &serial() { return m_serial; }
    UsbBoard &usb() { return m_usb; }

signals:
    // A device failed in a way the user must hear about.
    void deviceProblem(const QString &message);

private:
    std::unique_ptr<HidTransport> m_transport;
    SerialLink m_serial;
    UsbBoard m_usb;
    qint32 m_valeurBrute = 0;
    qint32 m_valeurVoie2 = 0;
    qint16 m_valeurTest = 0;
};
