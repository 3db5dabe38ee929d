// GLib before Qt: GLib's headers use "signals" as a name, which Qt defines as a keyword.
// clang-format off
#include <umockdev.h>
// clang-format on
#include "emulatedk8055.h"

#include <cerrno>
#include <cstddef>
#include <cstring>
#include <linux/usbdevice_fs.h>
#include <sys/ioctl.h>

namespace {

constexpr const char *kNode = "/dev/bus/usb/001/002";
constexpr const char *kSysPath = "/sys/devices/usb1/1-1";
constexpr auto kReportPeriod = std::chrono::milliseconds(10);

usbdevfs_urb *urbOf(UMockdevIoctlData *data)
{
    return reinterpret_cast<usbdevfs_urb *>(data->data);
}

} // namespace

EmulatedK8055::EmulatedK8055()
{
    m_testbed = umockdev_testbed_new();
    m_handler = umockdev_ioctl_base_new();
    g_signal_connect(m_handler, "handle-ioctl", G_CALLBACK(&EmulatedK8055::onIoctl), this);
    plug();
}

EmulatedK8055::~EmulatedK8055()
{
    unplug();
    g_object_unref(m_handler);
    g_object_unref(m_testbed);
}

void EmulatedK8055::plug()
{
    if (m_plugged)
        return;
    GError *error = nullptr;
    // The device as umockdev-record writes it: 10cf:5503, one HID interface, endpoints 0x81
    // and 0x01 of 8 bytes.
    m_plugged = umockdev_testbed_add_from_file(m_testbed, ONDARIS_K8055_DEVICE, &error)
        && umockdev_testbed_attach_ioctl(m_testbed, kNode, m_handler, &error);
    if (error) {
        qWarning("umockdev: %s", error->message);
        g_error_free(error);
    }
}

void EmulatedK8055::unplug()
{
    if (!m_plugged)
        return;
    umockdev_testbed_detach_ioctl(m_testbed, kNode, nullptr);
    umockdev_testbed_remove_device(m_testbed, kSysPath);
    m_plugged = false;
    std::lock_guard lock(m_mutex);
    for (UMockdevIoctlData *urb : std::as_const(m_pending) + m_cancelled)
        g_object_unref(urb);
    m_pending.clear();
    m_cancelled.clear();
}

QList<QByteArray> EmulatedK8055::written() const
{
    std::lock_guard lock(m_mutex);
    return m_written;
}

int EmulatedK8055::onIoctl(UMockdevIoctlBase *, UMockdevIoctlClient *client, void *self)
{
    return static_cast<EmulatedK8055 *>(self)->handle(client);
}

bool EmulatedK8055::handle(UMockdevIoctlClient *client)
{
    std::lock_guard lock(m_mutex);
    const gulong request = umockdev_ioctl_client_get_request(client);
    UMockdevIoctlData *arg = umockdev_ioctl_client_get_arg(client);
    const auto done = [&](long result, int error) {
        umockdev_ioctl_client_complete(client, result, error);
        return true;
    };
    switch (request) {
    case USBDEVFS_GET_CAPABILITIES: {
        UMockdevIoctlData *caps = umockdev_ioctl_data_resolve(arg, 0, sizeof(guint32), nullptr);
        *reinterpret_cast<guint32 *>(caps->data) = 0;
        return done(0, 0);
    }
    case USBDEVFS_GETDRIVER:
        return done(-1, ENODATA); // no kernel driver bound
    case USBDEVFS_CLAIMINTERFACE:
        m_staleDue = true;
        m_asked = false;
        return done(0, 0);
    case USBDEVFS_RELEASEINTERFACE:
    case USBDEVFS_SETINTERFACE:
    case USBDEVFS_CLEAR_HALT:
        return done(0, 0);
    case USBDEVFS_SUBMITURB: {
        UMockdevIoctlData *urb = umockdev_ioctl_data_resolve(arg, 0, sizeof(usbdevfs_urb), nullptr);
        if (!urb)
            return done(-1, EFAULT);
        if (urbOf(urb)->endpoint == 0 || urbOf(urb)->type != USBDEVFS_URB_TYPE_INTERRUPT)
            return done(-1, EPIPE); // no control or bulk requests on this board
        g_object_ref(urb);
        m_pending.append(urb);
        return done(0, 0);
    }
    case USBDEVFS_DISCARDURB: {
        const gulong address = *reinterpret_cast<gulong *>(arg->data);
        for (qsizetype i = 0; i < m_pending.size(); ++i) {
            if (m_pending[i]->client_addr == address) {
                urbOf(m_pending[i])->status = -ENOENT;
                urbOf(m_pending[i])->actual_length = 0;
                m_cancelled.append(m_pending.takeAt(i));
                return done(0, 0);
            }
        }
        return done(-1, EINVAL);
    }
    case USBDEVFS_REAPURB:
    case USBDEVFS_REAPURBNDELAY: {
        UMockdevIoctlData *urb = nullptr;
        if (!m_cancelled.isEmpty()) {
            urb = m_cancelled.takeFirst();
        } else {
            const auto now = std::chrono::steady_clock::now();
            for (qsizetype i = 0; i < m_pending.size() && !urb; ++i) {
                usbdevfs_urb *u = urbOf(m_pending[i]);
                UMockdevIoctlData *buffer = umockdev_ioctl_data_resolve(
                    m_pending[i], offsetof(usbdevfs_urb, buffer), gsize(u->buffer_length), nullptr);
                u = urbOf(m_pending[i]);
                if (!buffer)
                    continue;
                if (!(u->endpoint & 0x80)) {
                    // An output report: its first byte is the command.
                    m_written.append(
                        QByteArray(reinterpret_cast<const char *>(buffer->data), u->buffer_length));
                    if (u->buffer_length > 0 && buffer->data[0] == 17)
                        m_asked = true;
                    u->actual_length = u->buffer_length;
                } else {
                    const bool answers
                        = now - m_lastReport >= kReportPeriod && u->buffer_length >= 8;
                    if (!answers)
                        continue;
                    const bool native = nativeMode;
                    quint8 report[8] = {0, quint8(native ? 30 : 4), analog1, analog2};
                    if (m_staleDue || (native && !m_asked))
                        report[2] = report[3] = 0xEE; // what it read long ago, or not asked for
                    else if (native)
                        m_asked = false;
                    m_staleDue = false;
                    std::memcpy(buffer->data, report, sizeof report);
                    u->actual_length = sizeof report;
                    m_lastReport = now;
                }
                u->status = 0;
                urb = m_pending.takeAt(i);
            }
        }
        if (!urb)
            return done(-1, EAGAIN);
        UMockdevIoctlData *out = umockdev_ioctl_data_resolve(arg, 0, sizeof(void *), nullptr);
        umockdev_ioctl_data_set_ptr(out, 0, urb);
        g_object_unref(urb);
        return done(0, 0);
    }
    default:
        return false;
    }
}
