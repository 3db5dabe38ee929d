#include "configfile.h"

#include "common/codepage.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <algorithm>
#include <charconv>
#include <limits>
#include <vector>

namespace {

constexpr QByteArrayView kFieldOne = "\"NE PAS MODIFIER CE FICHIER\"";

struct Field
{
    QByteArray bytes;
    bool quoted = false;
};

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

bool isLineEnd(char c)
{
    return c == '\r' || c == '\n';
}

// Splits the file into fields the way a comma-separated record reader does: a field ends at a
// comma or a line end, blanks before it are skipped, quotes protect commas.
std::vector<Field> splitFields(QByteArrayView data)
{
    std::vector<Field> fields;
    const qsizetype n = data.size();
    qsizetype pos = 0;
    bool afterComma = false;
    while (pos < n) {
        while (pos < n && isBlank(data[pos]))
            ++pos;
        if (pos >= n)
            break;
        if (isLineEnd(data[pos])) {
            if (afterComma)
                fields.push_back({});
            afterComma = false;
            ++pos;
            continue;
        }
        Field field;
        if (data[pos] == '"') {
            field.quoted = true;
            const qsizetype close = data.indexOf('"', pos + 1);
            if (close < 0) { // the file ends inside the field: its record is an incomplete tail
                afterComma = false;
                break;
            }
            field.bytes = data.sliced(pos + 1, close - pos - 1).toByteArray();
            pos = close + 1;
            while (pos < n && data[pos] != ',' && !isLineEnd(data[pos]))
                ++pos;
        } else {
            const qsizetype start = pos;
            while (pos < n && data[pos] != ',' && !isLineEnd(data[pos]))
                ++pos;
            field.bytes = data.sliced(start, pos - start).toByteArray().trimmed();
        }
        fields.push_back(std::move(field));
        afterComma = pos < n && data[pos] == ',';
        if (afterComma)
            ++pos;
    }
    if (afterComma)
        fields.push_back({});
    return fields;
}

template<typename T> std::optional<T> parseNumber(const Field &field, long long min, long long max)
{
    if (field.quoted || field.bytes.isEmpty())
        return std::nullopt;
    long long value = 0;
    const char *begin = field.bytes.constData();
    const char *end = begin + field.bytes.size();
    const auto [ptr, ec] = std::from_chars(begin, end, value);
    if (ec != std::errc() || ptr != end || value < min || value > max)
        return std::nullopt;
    return static_cast<T>(value);
}

QString decodePath(QByteArrayView bytes)
{
    if (Codepage::isNonAsciiUtf8(bytes))
        return QString::fromUtf8(bytes);
    return Codepage::fromWindows1252(bytes);
}

} // namespace

ConfigFile::ConfigFile(QString path, QString fallback)
    : m_path(std::move(path))
    , m_fallback(std::move(fallback))
{ }

QString ConfigFile::locate(const QString &executableDir, const QString &userConfigDir)
{
    const QFileInfo dir(executableDir);
    const QString canonical = dir.canonicalFilePath();
    const bool system = canonical == QLatin1String("/bin")
        || canonical.startsWith(QLatin1String("/usr/"))
        || canonical.startsWith(QLatin1String("/opt/"));
    const QString folder
        = dir.isDir() && dir.isWritable() && !system ? executableDir : userConfigDir;
    return QDir(folder).filePath(QString::fromLatin1(FileName));
}

QString ConfigFile::refusal(const QString &path)
{
    if (!path.contains(u'"') && !path.contains(u'\r') && !path.contains(u'\n'))
        return {};
    return QStringLiteral("Le nom « %1 » contient un guillemet (\") ou un saut de ligne, que le "
                          "fichier des réglages ne peut pas garder.\nChoisissez un autre nom.")
        .arg(QFileInfo(path).fileName());
}

QByteArray ConfigFile::encode(const Settings &settings)
{
    bool representable = false;
    QByteArray path = Codepage::toWindows1252(settings.fichier_donnees, &representable);
    // UTF-8 where Windows-1252 cannot say it, or where its bytes would read back as UTF-8.
    if (!representable || Codepage::isNonAsciiUtf8(path))
        path = settings.fichier_donnees.toUtf8();
    QByteArray out;
    out.reserve(64 + path.size());
    out.append(kFieldOne);
    out.append(",\"").append(path).append("\",");
    out.append(QByteArray::number(settings.duree_option)).append(',');
    out.append(QByteArray::number(settings.source)).append(',');
    out.append(QByteArray::number(settings.largeur_fenetre)).append("\r\n");
    return out;
}

ConfigFile::Decoded ConfigFile::decode(QByteArrayView bytes)
{
    const std::vector<Field> fields = splitFields(bytes);
    Decoded result;
    // Records are counted by fields: the last complete one wins, an incomplete tail is ignored.
    const std::size_t records = fields.size() / FieldCount;
    result.clean = records > 0 && fields.size() % FieldCount == 0;
    if (records == 0)
        return result;
    const Field *field = &fields[(records - 1) * FieldCount];

    // A record is taken whole or not at all: one bad field makes it the defaults.
    Settings read;
    const Field &path = field[1];
    bool sound = !path.bytes.isEmpty()
        && std::none_of(path.bytes.cbegin(), path.bytes.cend(),
                        [](char c) { return quint8(c) < 0x20 || c == 0x7F; });
    if (sound)
        read.fichier_donnees = decodePath(path.bytes);
    const auto take = [&](const Field &f, auto &target, long long min, long long max) {
        using T = std::remove_reference_t<decltype(target)>;
        const std::optional<T> value = parseNumber<T>(f, min, max);
        sound = sound && value.has_value();
        if (value)
            target = *value;
    };
    take(field[2], read.duree_option, 1, 10);
    take(field[3], read.source, 0, 2);
    take(field[4], read.largeur_fenetre, std::numeric_limits<qint16>::min(),
         std::numeric_limits<qint16>::max());
    if (sound)
        result.settings = read;
    result.clean = result.clean && sound;
    return result;
}

bool ConfigFile::exists() const
{
    return QFileInfo(m_path).isFile() || (!m_fallback.isEmpty() && QFileInfo(m_fallback).isFile());
}

bool ConfigFile::readsFallback() const
{
    return !QFileInfo(m_path).isFile() && !m_fallback.isEmpty() && QFileInfo(m_fallback).isFile();
}

std::optional<ConfigFile::Decoded> ConfigFile::read()
{
    QFile file(readsFallback() ? m_fallback : m_path);
    if (!file.open(QIODevice::ReadOnly)) {
        m_error = file.errorString();
        return std::nullopt;
    }
    // A real record is under 300 bytes; a huge file is not read whole.
    constexpr qint64 kMaxBytes = 64 * 1024;
    return decode(file.read(kMaxBytes));
}

bool ConfigFile::write(const Settings &settings)
{
    QDir().mkpath(QFileInfo(m_path).absolutePath());
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly)) {
        m_error = file.errorString();
        return false;
    }
    const QByteArray bytes = encode(settings);
    if (file.write(bytes) != bytes.size() || !file.commit()) {
        m_error = file.errorString();
        return false;
    }
    m_error.clear();
    return true;
}
