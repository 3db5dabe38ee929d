#pragma once

#include "samplesource.h"
#include "seriallink.h"
#include "usbboard.h"

#include <QObject>
#include <QTimer>
#include <memory>

class HidTransport;

// The live reading: the chosen source (the serial sensor, the USB board or the keyboard test
// value), its refresh five times a second, and the scale rule shared by the display and the
// recording. It alone opens and closes the serial port and the board.
class Acquisition : public QObject
{
    Q_OBJECT

public:
    static constexpr double ScaleFactor = 3.921;
    static constexpr int RefreshPeriodMs = 200;

    Acquisition(SerialLink::PortLister serialPorts, std::unique_ptr<HidTransport> transport,
                QObject *parent = nullptr);
    ~Acquisition() override;

    // floor(raw × 3.921): a raw 0..255 is shown and recorded as 0..999.
    static int scaled(qint32 raw);

    // Chooses the source: the serial port opens for the serial sensor (unless open) and closes
    // for the others; changing to the board makes its next failed open tell the user.
    void setSource(SampleSource source);
    SampleSource source() const { return m_source; }
    // Start-up with the stored source: as setSource, and the board is opened at once so that
    // a missing board is told before the first refresh.
    void openStored(SampleSource source);
    // Shut-down: the serial port is closed.
    void close();

    // Starts the refresh timer (TimerValActu), which runs refresh() every RefreshPeriodMs.
    void startRefresh();
    const QTimer &refreshTimer() const { return m_refresh; }
    // One refresh: poll(), then refreshed().
    void refresh();

    // Polls the source into valeur_brute (board: open, read, close).
    void poll();
    // The text of the live value.
    QString displayText() const;
    // The value a sample takes now.
    double sampleValue() const;

    // "+" and "-" move the test value by one, within 16 bits; other characters do nothing.
    void keyPress(int characterCode);
    void resetTest() { m_valeurTest = 0; }

    qint32 valeur_brute() const { return m_valeurBrute; }
    qint32 valeur_voie2() const { return m_valeurVoie2; }
    qint16 valeur_test() const { return m_valeurTest; }

    const SerialLink &serial() const { return m_serial; }

signals:
    // A device failed in a way the user must hear about.
    void deviceProblem(const QString &message);
    // A refresh of the timer has polled the source.
    void refreshed();

private:
    std::unique_ptr<HidTransport> m_transport;
    SerialLink m_serial;
    UsbBoard m_usb;
    QTimer m_refresh;
    SampleSource m_source = SampleSource::Test;
    qint32 m_valeurBrute = 0;
    qint32 m_valeurVoie2 = 0;
    qint16 m_valeurTest = 0;
};
