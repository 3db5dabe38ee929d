#include "recordingfile.h"

#include "common/systemerror.h"

#include <QFile>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <cmath>
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
    double value = 0;
    const auto [ptr, ec] = std::from_chars(digits, last, value, std::chars_format::fixed);
    if (ec != std::errc() || ptr != last || !std::isfinite(value))
        return std::nullopt;
    return negative ? -value : value;
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

QByteArray RecordingFile::sampleLine(int number, double value, const QString &date,
                                     const QString &time)
{
    QByteArray line;
    line.reserve(40);
    line.append(QByteArray::number(number)).append(';');
    line.append(QByteArray::number(static_cast<qint64>(std::llround(value)))).append(';');
    line.append(date.toLatin1()).append(';');
    line.append(time.toLatin1()).append("\r\n");
    return line;
}

std::optional<double> RecordingFile::parseValue(QByteArrayView line)
{
    const qsizetype separator = line.first(std::min(line.size(), kRecordNumberWindow)).indexOf(';');
    if (separator < 0)
        return std::nullopt;
    QByteArrayView value = line.sliced(separator + 1);
    if (const qsizetype end = value.indexOf(';'); end >= 0)
        value = value.first(end);
    return parseNumber(value);
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
