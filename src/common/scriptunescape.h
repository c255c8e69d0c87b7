#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <string>

// Decodes the "%uXXXX" and "%XX" escapes of portal scripts; anything that is
// not a complete escape is kept, except a "%" before two non-hex characters,
// which disappears.
QString UnescapeText(const QString &text);
// The same decoding, appended to `out` (the list pages build names this way).
void AppendUnescaped(QStringView text, std::u16string &out);
// The same for ASCII text given as bytes.
void AppendUnescaped(QByteArrayView asciiText, std::u16string &out);
