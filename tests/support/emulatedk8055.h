#pragma once

#include <QByteArray>
#include <QList>
#include <atomic>
#include <chrono>
#include <mutex>

struct _UMockdevTestbed;
struct _UMockdevIoctlBase;
struct _UMockdevIoctlClient;
struct _UMockdevIoctlData;

// A K8055 board at card address 3 emulated at the usbdevfs level (umockdev), so that the real
// hidapi-libusb reaches it: a USB device 10cf:5503 with one HID interface and interrupt IN and
// OUT endpoints of 8 bytes. Like the board, it answers the host's polls with an input report
// every 10 ms; the first report after the interface is claimed is an old one. A K8055N in its
// native mode sends status 30 and zeros until it is asked for its analog values (command 17).
// Needs the test to run under umockdev-wrapper.
class EmulatedK8055
{
public:
    EmulatedK8055();
    ~EmulatedK8055();
    EmulatedK8055(const EmulatedK8055 &) = delete;
    EmulatedK8055 &operator=(const EmulatedK8055 &) = delete;

    bool isValid() const { return m_plugged; } // umockdev took the device: run under its wrapper

    // What the board reads on its analog inputs; read by umockdev's thread, hence atomic.
    std::atomic<quint8> analog1 {0};
    std::atomic<quint8> analog2 {0};
    std::atomic<bool> nativeMode {false};

    void unplug();
    void plug();
    // The output reports the host wrote, without report id.
    QList<QByteArray> written() const;

private:
    static int onIoctl(_UMockdevIoctlBase *, _UMockdevIoctlClient *client, void *self);
    bool handle(_UMockdevIoctlClient *client);

    _UMockdevTestbed *m_testbed = nullptr;
    _UMockdevIoctlBase *m_handler = nullptr;
    bool m_plugged = false;

    mutable std::mutex m_mutex; // the ioctls are answered on umockdev's own thread
    bool m_asked = false; // native mode: command 17 came, values are due
    bool m_staleDue = false;
    std::chrono::steady_clock::time_point m_lastReport {};
    QList<_UMockdevIoctlData *> m_pending; // URBs submitted, not yet reaped
    QList<_UMockdevIoctlData *> m_cancelled; // URBs discarded, to be reaped as such
    QList<QByteArray> m_written;
};
