#pragma once

#include <QByteArray>
#include <QString>

// The files the program keeps (config.ini, list files, list pages) are stored
// in the Chinese Windows code page (GBK, code page 936) so that they stay
// byte-compatible with files written by the Windows build.
namespace TextCodec
{
// Encodes to GBK; a character GBK cannot hold becomes "?".
QByteArray toAnsi(const QString &text);
// Decodes GBK; an invalid byte sequence becomes U+FFFD.
QString fromAnsi(const QByteArray &bytes);
// Number of bytes a leading GBK byte starts (1 or 2), for cutting text at a
// character boundary.
int ansiCharLength(const QByteArray &bytes, int pos);
}
