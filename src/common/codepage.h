#pragma once

#include <QByteArray>
#include <QString>

// Windows-1252, the 8-bit code page of the files this program shares with Windows machines.
namespace Codepage {

// Encodes text as Windows-1252, a character without a Windows-1252 byte as "?"; ok tells whether
// every character had one.
QByteArray toWindows1252(QStringView text, bool *ok);

// Decodes Windows-1252 bytes; the five undefined bytes map to the C1 control of the same value.
QString fromWindows1252(QByteArrayView bytes);

// True when the bytes are valid UTF-8 and hold at least one non-ASCII character.
bool isNonAsciiUtf8(QByteArrayView bytes);

} // namespace Codepage
