#pragma once

#include "hidtransport.h"

#include <memory>

struct hid_device_;

// HidTransport over hidapi's libusb backend. Holds the library initialised for its lifetime.
class HidapiTransport final : public HidTransport
{
public:
    HidapiTransport();
    ~HidapiTransport() override;
    HidapiTransport(const HidapiTransport &) = delete;
    HidapiTransport &operator=(const HidapiTransport &) = delete;

    bool open(quint16 vendorId, quint16 productId) override;
    void close() override;
    bool isOpen() const override { return m_device != nullptr; }
    int read(std::span<quint8> buffer, int timeoutMs) override;
    int write(std::span<const quint8> report) override;

private:
    struct Closer
    {
        void operator()(hid_device_ *device) const;
    };
    bool m_initialised = false;
    std::unique_ptr<hid_device_, Closer> m_device;
};
