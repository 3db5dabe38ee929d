#include "recordingfile.h"

#include "common/codepage.h"
#include "common/sensorscale.h"
#include "common/systemerror.h"
#include "sampletext.h"

#include <QFile>
#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr qsizetype kRecordNumberWindow = 6;

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

// A decimal number with an optional leading minus sign and blanks around it.
std::optional<double> parseNumber(QByteArrayView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    if (begin == end)
        return std::nullopt;
    const char *first = text.data() + begin;
    const char *last = text.data() + end;
    const bool negative = *first == '-';
    const char *digits = negative ? first + 1 : first;
    if (digits == last || !(std::isdigit(static_cast<unsigned char>(*digits)) || *digits == '.'))
        return std::nullopt;
    for (const char *p = digits; p != last; ++p) {
        if (!std::isdigit(static_cast<unsigned char>(*p)) && *p != '.')
            return std::nullopt;
    }
    // Whole numbers, all a recording holds, without the floating-point parser.
    if (last - digits <= 15 && std::find(digits, last, '.') == last) {
        qint64 whole = 0;
        for (const char *p = digits; p != last; ++p)
            whole = whole * 10 + (*p - '0');
        return negative ? -double(whole) : double(whole);
    }
    double value = 0;
    const auto [ptr, ec] = std::from_chars(digits, last, value, std::chars_format::fixed);
    if (ec != std::errc() || ptr != last || !std::isfinite(value))
        return std::nullopt;
    return negative ? -value : value;
}

// A field of fixed width made of digits, or -1.
int digits(QByteArrayView field)
{
    int n = 0;
    for (const char c : field) {
        if (c < '0' || c > '9')
            return -1;
        n = n * 10 + (c - '0');
    }
    return n;
}

// A date mm-dd-yyyy and a time hh:mm:ss, or an invalid date.
std::pair<QDate, QTime> readStamp(QByteArrayView date, QByteArrayView time)
{
    if (date.size() != 10 || time.size() != 8 || date[2] != '-' || date[5] != '-' || time[2] != ':'
        || time[5] != ':')
        return {};
    const QDate day(digits(date.sliced(6)), digits(date.first(2)), digits(date.sliced(3, 2)));
    const QTime hour(digits(time.first(2)), digits(time.sliced(3, 2)), digits(time.sliced(6)));
    if (!day.isValid() || !hour.isValid())
        return {};
    return {day, hour};
}

// Cuts a failed append back off the file and closes it, keeping the append's errno.
void rollBackAndClose(int fd, off_t size)
{
    const int saved = errno;
    if (size >= 0) {
        [[maybe_unused]] const int ignored = ::ftruncate(fd, size);
    }
    ::close(fd);
    errno = saved;
}

} // namespace

QByteArray RecordingFile::header()
{
    return QByteArray("N\xB0Record;Valeur;Date;Time\r\n");
}

QByteArray RecordingFile::line(const Sample &sample)
{
    QByteArray line;
    line.reserve(40);
    line.append(QByteArray::number(sample.number)).append(';');
    line.append(QByteArray::number(SensorScale::wholeValue(sample.value))).append(';');
    line.append(SampleText::date(sample.date).toLatin1()).append(';');
    line.append(SampleText::time(sample.time).toLatin1()).append("\r\n");
    return line;
}

std::optional<Sample> RecordingFile::read(QByteArrayView line, int number)
{
    // Where the first four fields end: the line's end for those it lacks.
    qsizetype ends[4];
    qsizetype found = 0;
    const char *const begin = line.data(), *const end = begin + line.size();
    for (const char *p = begin;
         found < 4 && (p = static_cast<const char *>(std::memchr(p, ';', std::size_t(end - p))));
         ++p)
        ends[found++] = p - begin;
    std::fill(ends + found, ends + 4, line.size());
    if (found == 0 || ends[0] >= kRecordNumberWindow)
        return std::nullopt;
    const auto field = [&](int k) {
        return line.sliced(std::min(ends[k - 1] + 1, line.size()),
                           std::max<qsizetype>(0, ends[k] - ends[k - 1] - 1));
    };
    const std::optional<double> value = parseNumber(field(1));
    if (!value)
        return std::nullopt;
    const auto [date, time]
        = found >= 3 ? readStamp(field(2), field(3)) : std::pair<QDate, QTime>();
    return Sample {number, *value, date, time, Codepage::fromWindows1252(line)};
}

bool RecordingFile::append(const QString &path, QByteArrayView bytes, QString *error, bool sync)
{
    const auto fail = [&](int errnum) {
        if (error)
            *error = SystemError::describe(errnum);
        return false;
    };
    if (path.isEmpty())
        return fail(ENOENT);
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0)
        return fail(errno);
    const off_t before = ::lseek(fd, 0, SEEK_END);
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, std::size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            const int errnum = n < 0 ? errno : ENOSPC;
            rollBackAndClose(fd, before);
            return fail(errnum);
        }
        done += n;
    }
    if (sync && ::fdatasync(fd) != 0 && errno != EINVAL) {
        const int errnum = errno;
        rollBackAndClose(fd, before);
        return fail(errnum);
    }
    if (::close(fd) != 0 && errno != EINTR)
        return fail(errno);
    return true;
}

bool RecordingFile::create(const QString &path, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    const QByteArray bytes = header();
    const bool ok = file.write(bytes) == bytes.size() && file.flush();
    if (!ok && error)
        *error = file.errorString();
    return ok;
}
