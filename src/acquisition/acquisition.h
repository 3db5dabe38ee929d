#pragma once

#include "common/sensorscale.h"
#include "samplesource.h"
#include "seriallink.h"
#include "usbboard.h"

#include <QObject>
#include <QStringList>
#include <QTimer>
#include <memory>
#include <optional>

class HidTransport;

// The live reading: the chosen source (the serial sensor, the USB board or the keyboard test
// value), its refresh five times a second, and the scale rule shared by the display and the
// recording. It alone opens and closes the serial port and the board.
class Acquisition : public QObject
{
    Q_OBJECT

public:
    static constexpr int RefreshPeriodMs = 200;

    Acquisition(SerialLink::PortLister serialPorts, std::unique_ptr<HidTransport> transport,
                SerialLink::Clock serialClock = SerialLink::steadyNow, QObject *parent = nullptr);
    ~Acquisition() override;

    // Chooses the source: the serial port opens for the serial sensor (unless open) and closes
    // for the others; changing to the board makes its next failed open tell the user.
    void setSource(SampleSource source);
    // Start-up with the stored source: as setSource, and the board is opened at once so that
    // a missing board is told before the first refresh.
    void openStored(SampleSource source);
    // Shut-down: the serial port is closed.
    void close();

    // Starts the refresh timer (TimerValActu), which runs TimerValActu_Timer every 200 ms.
    void startRefresh();
    // The refresh: polls the chosen source into valeur_brute (board: open, read, close), then
    // tells refreshed().
    void TimerValActu_Timer();

    // The reading is fresh: the serial sensor's frames keep coming, the board's last read
    // succeeded, or the source is the test value.
    bool isFresh() const;
    // The text of the live value on the scale: the sample's value as people read it; "----"
    // while the reading is not fresh.
    QString displayText() const;
    // The value a sample takes now: the scale rule's recorded value of valeur_brute, or the test
    // value; none while the reading is not fresh.
    std::optional<double> sampleValue() const;
    // The scale the live value is read on; the identity until the owner sets one.
    void setScale(const SensorScale &scale) { m_scale = scale; }

    // "+" and "-" move the test value by one, within 16 bits; other characters do nothing.
    void keyPress(int characterCode);
    void resetTest() { m_valeurTest = 0; }

signals:
    // A device failed in a way the user must hear about.
    void deviceProblem(const QString &message);
    // A refresh of the timer has polled the source.
    void refreshed();

private:
    void tell(const QString &message);

    std::unique_ptr<HidTransport> m_transport;
    SerialLink m_serial;
    UsbBoard m_usb;
    QTimer m_refresh {this};
    SampleSource m_source = SampleSource::Test;
    qint32 m_valeurBrute = 0;
    bool m_boardRead = false; // the board's last read gave a reading
    bool m_polling = false;
    QStringList m_toTell; // what the poll under way found to tell
    qint16 m_valeurTest = 0;
    SensorScale m_scale;
};
