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

enum class ReportKind { Invalid, Data, NativeMode };

// What an input report of the board at CardAddress says.
ReportKind classify(std::span<const quint8> report)
{
    if (report.size() != UsbBoard::ReportSize)
        return ReportKind::Invalid;
    const quint8 status = report[1];
    if (status == kK8055Status || status == kK8055nCompatibleStatus)
        return ReportKind::Data;
    if (status > kNativeModeAbove)
        return ReportKind::NativeMode;
    return ReportKind::Invalid;
}

} // namespace

// The reads of one poll into one report buffer, all within the read budget. The budget is
// counted in time really waited: a report already queued costs nothing.
class UsbBoard::Reads
{
public:
    Reads(HidTransport &transport, const Clock &clock)
        : m_transport(transport)
        , m_clock(clock)
        , m_start(clock())
    { }

    int left() const { return int(std::max<qint64>(0, ReadBudgetMs - (m_clock() - m_start))); }
    // The next report, waited for at most a single read's time; its length, 0, or -1 on error.
    int next() { return m_transport.read(report, std::min(left(), kSingleReadMs)); }
    Reading reading() const { return {report[2], report[3]}; }

    std::array<quint8, ReportSize> report {};

private:
    HidTransport &m_transport;
    const Clock &m_clock;
    qint64 m_start;
};

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
    const Poll poll = readReports();
    m_transport.close();
    if (poll.reading)
        m_answering = true;
    else if (poll.failed && std::exchange(m_answering, false))
        emit boardMissing(lostMessage()); // unplugged between the open and the read
    return poll.reading;
}

UsbBoard::Poll UsbBoard::readReports()
{
    Reads reads(m_transport, m_clock);
    // The first report after an open may be an old one: it is read and dropped.
    if (reads.next() < 0)
        return {std::nullopt, true};
    for (int i = 1; i < kMaxReads && reads.left() > 0; ++i) {
        const int got = reads.next();
        if (got < 0)
            return {std::nullopt, true};
        switch (classify(std::span(reads.report).first(std::size_t(got)))) {
        case ReportKind::Data:
            return {reads.reading(), false};
        case ReportKind::NativeMode:
            return askNativeMode(reads);
        case ReportKind::Invalid:
            break;
        }
    }
    return {};
}

// A K8055N in its native mode answers analog values only when asked; what came before the
// question is no answer, and neither is a report still on its way that repeats the one before it
// (the answer is waited for while the budget lasts).
UsbBoard::Poll UsbBoard::askNativeMode(Reads &reads)
{
    const std::array<quint8, ReportSize> before = reads.report;
    for (int i = 0; i < kMaxWaiting && m_transport.read(reads.report, 0) > 0; ++i) { }
    const std::array<quint8, ReportSize + 1> ask {0, ReadAnalogCommand};
    if (m_transport.write(ask) < 0)
        return {std::nullopt, true};
    Poll poll;
    while (reads.left() > 0) {
        const int got = reads.next();
        if (got < 0)
            return {poll.reading, true};
        if (got != ReportSize)
            continue;
        poll.reading = reads.reading();
        if (reads.report != before)
            break;
    }
    return poll;
}

QString UsbBoard::missingMessage()
{
    return tr(
        "La carte USB K8055 (adresse 3) est introuvable.\nVérifiez qu'elle est branchée "
        "et réglée sur l'adresse 3 (cavaliers SK5 et SK6). Sous Linux, la règle udev "
        "d'Ondaris doit être installée pour donner l'accès à la carte.\nLa "
        "valeur affichée est « ---- », sans mesure enregistrée, tant que la carte est absente.");
}

QString UsbBoard::lostMessage()
{
    return tr("La carte USB K8055 (adresse 3) ne répond plus : elle a peut-être été "
              "débranchée.\nLa valeur affichée est « ---- » et aucune mesure n'est enregistrée "
              "tant qu'elle ne répond pas ; la lecture reprend d'elle-même dès que la carte est "
              "rebranchée.");
}
