#include "codepage.h"

#include <QStringDecoder>
#include <algorithm>
#include <array>

namespace {

// Code points of bytes 0x80..0x9F; 0 marks the five bytes Windows-1252 leaves undefined.
constexpr std::array<char16_t, 32> kHighControls
    = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
       0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
       0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

} // namespace

namespace Codepage {

QByteArray toWindows1252(QStringView text, bool *ok)
{
    QByteArray out;
    out.reserve(text.size());
    bool good = true;
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
            out.append(char(u));
            continue;
        }
        bool found = false;
        for (std::size_t i = 0; i < kHighControls.size(); ++i) {
            if (kHighControls[i] == u && u != 0) {
                out.append(char(0x80 + i));
                found = true;
                break;
            }
        }
        if (!found) {
            good = false;
            out.append('?');
        }
    }
    if (ok)
        *ok = good;
    return out;
}

QString fromWindows1252(QByteArrayView bytes)
{
    // Windows-1252 is Latin-1 but for the bytes 0x80..0x9F.
    const bool latin1 = std::none_of(bytes.begin(), bytes.end(), [](char ch) {
        const auto b = static_cast<unsigned char>(ch);
        return b >= 0x80 && b <= 0x9F;
    });
    if (latin1)
        return QString::fromLatin1(bytes);
    QString out;
    out.reserve(bytes.size());
    for (char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        if (b >= 0x80 && b <= 0x9F && kHighControls[b - 0x80] != 0)
            out.append(QChar(kHighControls[b - 0x80]));
        else
            out.append(QChar(char16_t(b)));
    }
    return out;
}

bool isNonAsciiUtf8(QByteArrayView bytes)
{
    bool nonAscii = false;
    for (char ch : bytes) {
        if (static_cast<unsigned char>(ch) >= 0x80) {
            nonAscii = true;
            break;
        }
    }
    if (!nonAscii)
        return false;
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder(bytes);
    return !decoder.hasError();
}

} // namespace Codepage
