#include "usbboard.h"

#include "hidtransport.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <utility>

namespace {

constexpr quint8 kK8055Status = UsbBoard::CardAddress + 1;
constexpr quint8 kK8055nCompatibleStatus = UsbBoard::CardAddress + 11;
constexpr quint8 kNativeModeAbove = 20;
constexpr int kSingleReadMs = 20;
constexpr int kMaxReads = 4;
constexpr int kMaxWaiting = 64; // more than hidapi keeps queued

} // namespace

UsbBoard::ReportKind UsbBoard::classify(std::span<const quint8> report)
{
    if (report.size() != ReportSize)
        return ReportKind::Invalid;
    const quint8 status = report[1];
    if (status == kK8055Status || status == kK8055nCompatibleStatus)
        return ReportKind::Data;
    if (status > kNativeModeAbove)
        return ReportKind::NativeMode;
    return ReportKind::Invalid;
}

qint64 UsbBoard::steadyMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

UsbBoard::UsbBoard(HidTransport &transport, Clock clock, QObject *parent)
    : QObject(parent)
    , m_transport(transport)
    , m_clock(std::move(clock))
{ }

void UsbBoard::ouvre_usb()
{
    if (m_transport.isOpen())
        return;
    const bool opened = m_transport.open(VendorId, productId(CardAddress));
    if (!opened && m_reportMissing)
        emit boardMissing(missingMessage());
    else if (!opened && m_answering)
        emit boardMissing(lostMessage());
    m_reportMissing = false;
    if (!opened)
        m_answering = false;
}

std::optional<UsbBoard::Reading> UsbBoard::lit_usb()
{
    if (!m_transport.isOpen())
        return std::nullopt;

    std::array<quint8, ReportSize> report {};
    // The budget is counted in time really waited: a report already queued costs nothing.
    const qint64 start = m_clock();
    const auto left = [&] {
        return int(std::max<qint64>(0, ReadBudgetMs - (m_clock() - start)));
    };
    const auto readReport = [&]() -> int {
        return m_transport.read(report, std::min(left(), kSingleReadMs));
    };

    std::optional<Reading> result;
    // The first report after an open may be an old one: it is read and dropped.
    int got = readReport();
    for (int reads = 1; got >= 0 && left() > 0 && reads < kMaxReads && !result; ++reads) {
        got = readReport();
        if (got <= 0)
            continue;
        const std::span<const quint8> received(report.data(), std::size_t(got));
        switch (classify(received)) {
        case ReportKind::Data:
            result = Reading {report[2], report[3]};
            break;
        case ReportKind::NativeMode: {
            // A K8055N in its native mode answers analog values only when asked; what came
            // before the question is no answer, and neither is a report still on its way that
            // repeats the one before it (the answer is waited for while the budget lasts).
            const std::array<quint8, ReportSize> before = report;
            for (int i = 0; i < kMaxWaiting && m_transport.read(report, 0) > 0; ++i) { }
            const std::array<quint8, ReportSize + 1> ask {0, ReadAnalogCommand};
            if (m_transport.write(ask) < 0) {
                got = -1;
                break;
            }
            while (left() > 0) {
                const int n = readReport();
                if (n < 0) {
                    got = -1;
                    break;
                }
                if (n != ReportSize)
                    continue;
                result = Reading {report[2], report[3]};
                if (report != before)
                    break;
            }
            break;
        }
        case ReportKind::Invalid:
            break;
        }
    }
    m_transport.close();
    if (result) {
        m_answering = true;
    } else if (got < 0 && m_answering) {
        // Unplugged between the open and the read.
        m_answering = false;
        emit boardMissing(lostMessage());
    }
    return result;
}

QString UsbBoard::missingMessage()
{
    return tr("La carte USB K8055 (adresse 3) est introuvable.\nVérifiez qu'elle est branchée "
              "et réglée sur l'adresse 3 (cavaliers SK5 et SK6). Sous Linux, la règle udev "
              "d'Ondaris doit être installée pour donner l'accès à la carte.\nLa "
              "valeur affichée n'est pas mise à jour tant que la carte est absente.");
}

QString UsbBoard::lostMessage()
{
    return tr("La carte USB K8055 (adresse 3) ne répond plus : elle a peut-être été "
              "débranchée.\nLa valeur affichée garde la dernière mesure ; la lecture reprend "
              "d'elle-même dès que la carte est rebranchée.");
}
