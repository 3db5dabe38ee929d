#pragma once

#include <QtGlobal>
#include <span>

// One HID device, opened by vendor and product id. Reports carry no report id on input;
// output reports start with the report id byte (0 for this board).
class HidTransport
{
public:
    virtual ~HidTransport() = default;

    virtual bool open(quint16 vendorId, quint16 productId) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    // Reads one input report: its length, 0 when none came within the timeout, -1 on error.
    virtual int read(std::span<quint8> buffer, int timeoutMs) = 0;
    // Writes one output report: the bytes written, or -1 on error.
    virtual int write(std::span<const quint8> report) = 0;
};
