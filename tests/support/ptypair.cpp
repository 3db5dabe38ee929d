#include "ptypair.h"

#include <QThread>
#include <pty.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

PtyPair::PtyPair()
{
    char name[256] = {};
    if (::openpty(&m_master, &m_slave, name, nullptr, nullptr) != 0) {
        m_master = m_slave = -1;
        return;
    }
    termios raw {};
    ::tcgetattr(m_slave, &raw);
    ::cfmakeraw(&raw);
    ::tcsetattr(m_slave, TCSANOW, &raw);
    m_slaveName = QString::fromLocal8Bit(name);
}

PtyPair::~PtyPair()
{
    hangUp();
    if (m_slave >= 0)
        ::close(m_slave);
}

bool PtyPair::write(const QByteArray &bytes)
{
    return m_master >= 0
        && ::write(m_master, bytes.constData(), std::size_t(bytes.size())) == bytes.size();
}

bool PtyPair::send(const QByteArray &bytes)
{
    if (!write(bytes))
        return false;
    // The bytes reach the slave side through the kernel's line discipline; wait for them.
    int waiting = 0;
    for (int i = 0; i < 1000; ++i) {
        if (::ioctl(m_slave, FIONREAD, &waiting) == 0 && waiting >= bytes.size())
            return true;
        QThread::msleep(1);
    }
    return false;
}

termios PtyPair::line() const
{
    termios line {};
    ::tcgetattr(m_slave, &line);
    return line;
}

void PtyPair::hangUp()
{
    if (m_master >= 0)
        ::close(m_master);
    m_master = -1;
}
