#include "hidapitransport.h"

#include <hidapi.h>

void HidapiTransport::Closer::operator()(hid_device_ *device) const
{
    hid_close(device);
}

HidapiTransport::HidapiTransport()
    : m_initialised(hid_init() == 0)
{ }

HidapiTransport::~HidapiTransport()
{
    m_device.reset();
    if (m_initialised)
        hid_exit();
}

bool HidapiTransport::open(quint16 vendorId, quint16 productId)
{
    if (!m_initialised)
        return false;
    m_device.reset(hid_open(vendorId, productId, nullptr));
    return m_device != nullptr;
}

void HidapiTransport::close()
{
    m_device.reset();
}

int HidapiTransport::read(std::span<quint8> buffer, int timeoutMs)
{
    if (!m_device)
        return -1;
    return hid_read_timeout(m_device.get(), buffer.data(), buffer.size(), timeoutMs);
}

int HidapiTransport::write(std::span<const quint8> report)
{
    if (!m_device)
        return -1;
    return hid_write(m_device.get(), report.data(), report.size());
}
