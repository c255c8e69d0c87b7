#include "startup/handoff.h"

#include "common/apppaths.h"

#include <QCryptographicHash>
#include <QFileInfo>
#include <QtEndian>

#include <unistd.h>

namespace
{
const QByteArray TAG = QByteArrayLiteral("KVHO");
constexpr qsizetype HEADER_BYTES = 8;

// UTF-8 of `text`, at most `limit` bytes, ending on a whole character.
QByteArray utf8Within(const QString &text, qsizetype limit)
{
    QByteArray bytes = text.toUtf8();
    if (bytes.size() <= limit)
        return bytes;
    qsizetype end = limit;
    // Step back over continuation bytes to the start of the cut character.
    while (end > 0 && (uchar(bytes.at(end)) & 0xc0) == 0x80)
        --end;
    bytes.truncate(end);
    return bytes;
}
} // namespace

QString SingleInstanceName(const QString &folder, const QString &user)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(folder.toUtf8());
    hash.addData(QByteArrayView("\0", 1));
    hash.addData(user.toUtf8());
    return QStringLiteral("kavo-gamebox-") + QString::fromLatin1(hash.result().toHex().left(24));
}

QString SingleInstanceNameFor(const AppPaths &paths)
{
    const QString canonical = QFileInfo(paths.appDir()).canonicalFilePath();
    return SingleInstanceName(canonical.isEmpty() ? paths.appDir() : canonical, QString::number(::getuid()));
}

QString CommandLineText(const QStringList &arguments)
{
    QStringList words;
    for (const QString &arg : arguments) {
        const bool plain = !arg.isEmpty()
            && std::none_of(arg.begin(), arg.end(), [](QChar c) {
                   return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('"')
                       || c == QLatin1Char('\\') || c == QLatin1Char('\n');
               });
        if (plain) {
            words << arg;
            continue;
        }
        QString quoted = arg;
        quoted.replace(QLatin1Char('\\'), QStringLiteral("\\\\")).replace(QLatin1Char('"'), QStringLiteral("\\\""));
        words << QLatin1Char('"') + quoted + QLatin1Char('"');
    }
    return words.join(QLatin1Char(' '));
}

QByteArray EncodeHandOff(const QString &commandLine)
{
    const QByteArray text = utf8Within(commandLine, MaxHandOffBytes);
    QByteArray message = TAG;
    char length[4];
    qToBigEndian(quint32(text.size()), length);
    message.append(length, 4);
    message.append(text);
    return message;
}

HandOffMessage DecodeHandOff(const QByteArray &bytes)
{
    HandOffMessage m;
    const qsizetype tagPart = std::min(bytes.size(), TAG.size());
    if (bytes.left(tagPart) != TAG.left(tagPart)) {
        m.state = HandOffMessage::State::Invalid;
        return m;
    }
    if (bytes.size() < HEADER_BYTES)
        return m;
    const quint32 length = qFromBigEndian<quint32>(bytes.constData() + TAG.size());
    if (length > quint32(MaxHandOffBytes)) {
        m.state = HandOffMessage::State::Invalid;
        return m;
    }
    if (bytes.size() < HEADER_BYTES + qsizetype(length))
        return m;
    m.state = HandOffMessage::State::Complete;
    m.commandLine = QString::fromUtf8(bytes.mid(HEADER_BYTES, length));
    m.consumed = HEADER_BYTES + length;
    return m;
}
