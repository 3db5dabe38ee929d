#pragma once

#include <QByteArray>
#include <QString>
#include <termios.h>

// A pseudo-terminal: the program opens slaveName() as its serial port; the test writes the
// sensor's bytes into the master side, and may hang it up.
class PtyPair
{
public:
    PtyPair();
    ~PtyPair();
    PtyPair(const PtyPair &) = delete;
    PtyPair &operator=(const PtyPair &) = delete;

    const QString &slaveName() const { return m_slaveName; }
    // The line settings the program gave the port.
    termios line() const;
    // Writes bytes as the sensor would; false unless all are written.
    bool write(const QByteArray &bytes);
    // Writes bytes and waits until the slave side can read them; false after a second without.
    bool send(const QByteArray &bytes);
    // Closes the master side, as an unplugged adapter would.
    void hangUp();

private:
    int m_master = -1;
    int m_slave = -1;
    QString m_slaveName;
};
