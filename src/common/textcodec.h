#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// The files the program keeps (config.ini, list files, list pages) are stored
// in the Chinese Windows code page (GBK, code page 936) so that they stay
// byte-compatible with files written by the Windows build.
namespace TextCodec
{
// Encodes to GBK; a character GBK cannot hold becomes "?".
QByteArray toAnsi(const QString &text);
QByteArray toAnsi(QStringView text);
// The same encoding written from `out` on; returns where it ends. GBK takes
// at most two bytes for every unit of `text`: that much room must be there.
// The list pages are put together this way, without a byte array per name.
char *encodeAnsi(QStringView text, char *out);
// Decodes GBK; an invalid byte sequence becomes U+FFFD.
QString fromAnsi(const QByteArray &bytes);
// Whether fromAnsi(toAnsi(text)) gives `text` back; false can also mean
// "not sure". Cheaper than converting back.
bool isAnsiExact(QStringView text);
// Whether every byte is below 0x80. Such bytes are the same text in GBK and
// in Latin-1, one character a byte.
bool isAscii(QByteArrayView bytes);
// Number of bytes a leading GBK byte starts (1 or 2), for cutting text at a
// character boundary.
int ansiCharLength(const QByteArray &bytes, int pos);
}
