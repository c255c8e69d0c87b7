#include "player/gamesaves.h"

#include <QRegularExpression>
#include <QStringList>

namespace GameSaves
{
namespace
{
constexpr int MAX_DEPTH = 64;
const QByteArray MAGIC = QByteArrayLiteral("TCSO\x00\x04\x00\x00\x00\x00");

// Reads a .sol body one piece at a time; any read past the end, or any
// structure that does not hold, marks it failed (and later reads fail too).
class Reader
{
public:
    explicit Reader(QByteArrayView bytes) : m_bytes(bytes) {}

    bool failed() const { return m_failed; }
    bool atEnd() const { return m_pos >= m_bytes.size(); }
    qsizetype pos() const { return m_pos; }
    QByteArrayView slice(qsizetype from) const { return m_bytes.sliced(from, m_pos - from); }
    bool fail()
    {
        m_failed = true;
        return false;
    }

    bool skip(qint64 n)
    {
        if (m_failed || n < 0 || n > m_bytes.size() - m_pos)
            return fail();
        m_pos += n;
        return true;
    }
    quint64 number(int size)
    {
        quint64 value = 0;
        const qsizetype at = m_pos;
        if (!skip(size))
            return 0;
        for (int i = 0; i < size; ++i)
            value = (value << 8) | quint8(m_bytes[at + i]);
        return value;
    }
    quint32 u29()
    {
        quint32 value = 0;
        for (int i = 0; i < 4; ++i) {
            const quint8 b = quint8(number(1));
            if (m_failed)
                return 0;
            if (i == 3)
                return (value << 8) | b;
            value = (value << 7) | (b & 0x7f);
            if (!(b & 0x80))
                return value;
        }
        return value;
    }

    // AMF0
    bool amf0Value(int depth)
    {
        if (depth > MAX_DEPTH)
            return fail();
        switch (number(1)) {
        case 0x00: return skip(8);                  // number
        case 0x01: return skip(1);                  // boolean
        case 0x02: return skip(number(2));          // string
        case 0x03: ++m_complex; return amf0Pairs(depth); // object
        case 0x05: case 0x06: return !m_failed;     // null, undefined
        case 0x07: return number(2) < m_complex || fail(); // reference
        case 0x08: ++m_complex; return skip(4) && amf0Pairs(depth); // ECMA array
        case 0x0a: {                                // strict array
            ++m_complex;
            const quint64 count = number(4);
            for (quint64 i = 0; i < count && !m_failed; ++i)
                amf0Value(depth + 1);
            return !m_failed;
        }
        case 0x0b: return skip(10);                 // date and time zone
        case 0x0c: case 0x0f: return skip(number(4)); // long string, XML
        case 0x10: ++m_complex; return skip(number(2)) && amf0Pairs(depth); // typed object
        case 0x11: return amf3Value(depth + 1);
        default: return fail();
        }
    }
    // Name and value pairs up to the empty name and the end marker 0x09.
    bool amf0Pairs(int depth)
    {
        for (;;) {
            const quint64 length = number(2);
            if (m_failed)
                return false;
            if (length == 0)
                return number(1) == 0x09 || fail();
            if (!skip(length) || !amf0Value(depth + 1))
                return false;
        }
    }

    // AMF3: strings, objects and traits are referred to by their index in
    // the order they first came.
    bool amf3String(bool *empty = nullptr)
    {
        const quint32 v = u29();
        if (m_failed)
            return false;
        if (empty)
            *empty = v == 1;
        if (!(v & 1))
            return (v >> 1) < quint32(m_strings) || fail();
        if ((v >> 1) > 0)
            ++m_strings;
        return skip(v >> 1);
    }
    // A reference to an earlier object, or the count of a new one.
    std::optional<quint32> amf3Header()
    {
        const quint32 v = u29();
        if (m_failed)
            return std::nullopt;
        if (!(v & 1)) {
            if ((v >> 1) >= quint32(m_objects))
                fail();
            return std::nullopt;
        }
        ++m_objects;
        return v >> 1;
    }
    bool amf3Value(int depth)
    {
        if (depth > MAX_DEPTH)
            return fail();
        const quint64 marker = number(1);
        if (m_failed)
            return false;
        switch (marker) {
        case 0x00: case 0x01: case 0x02: case 0x03: return true;
        case 0x04: u29(); return !m_failed;
        case 0x05: return skip(8);
        case 0x06: return amf3String();
        case 0x07: case 0x0b: case 0x0c: { // XML document, XML, byte array
            const auto length = amf3Header();
            return !length || skip(*length);
        }
        case 0x08: return !amf3Header() || skip(8);
        case 0x09: {
            const auto dense = amf3Header();
            if (!dense)
                return !m_failed;
            for (;;) {
                bool empty = false;
                if (!amf3String(&empty))
                    return false;
                if (empty)
                    break;
                if (!amf3Value(depth + 1))
                    return false;
            }
            for (quint32 i = 0; i < *dense && !m_failed; ++i)
                amf3Value(depth + 1);
            return !m_failed;
        }
        case 0x0a: return amf3Object(depth);
        case 0x0d: case 0x0e: case 0x0f: { // vectors of int, uint, double
            const auto count = amf3Header();
            return !count || skip(1 + qint64(*count) * (marker == 0x0f ? 8 : 4));
        }
        case 0x10: { // vector of objects
            const auto count = amf3Header();
            if (!count)
                return !m_failed;
            if (!skip(1) || !amf3String())
                return false;
            for (quint32 i = 0; i < *count && !m_failed; ++i)
                amf3Value(depth + 1);
            return !m_failed;
        }
        case 0x11: { // dictionary
            const auto count = amf3Header();
            if (!count)
                return !m_failed;
            skip(1);
            for (quint32 i = 0; i < *count && !m_failed; ++i)
                amf3Value(depth + 1) && amf3Value(depth + 1);
            return !m_failed;
        }
        default: return fail();
        }
    }
    bool amf3Object(int depth)
    {
        const quint32 v = u29();
        if (m_failed)
            return false;
        if (!(v & 1))
            return (v >> 1) < quint32(m_objects) || fail();
        Traits traits;
        if (!(v & 2)) {
            if ((v >> 2) >= quint32(m_traits.size()))
                return fail();
            traits = m_traits.at(v >> 2);
        } else if (v & 4) {
            m_unsupported = true;
            return fail();
        } else {
            traits = {(v & 8) != 0, v >> 4};
            if (!amf3String())
                return false;
            for (quint32 i = 0; i < traits.sealed && !m_failed; ++i)
                amf3String();
            m_traits.append(traits);
        }
        ++m_objects;
        for (quint32 i = 0; i < traits.sealed && !m_failed; ++i)
            amf3Value(depth + 1);
        while (traits.dynamic && !m_failed) {
            bool empty = false;
            if (!amf3String(&empty) || empty)
                break;
            amf3Value(depth + 1);
        }
        return !m_failed;
    }

    bool unsupported() const { return m_unsupported; }

private:
    struct Traits {
        bool dynamic = false;
        quint32 sealed = 0;
    };
    QByteArrayView m_bytes;
    qsizetype m_pos = 0;
    bool m_failed = false;
    bool m_unsupported = false;
    quint64 m_complex = 0;
    qsizetype m_strings = 0;
    qsizetype m_objects = 0;
    QList<Traits> m_traits;
};

void appendNumber(QByteArray &out, quint64 value, int size)
{
    for (int i = size - 1; i >= 0; --i)
        out.append(char((value >> (8 * i)) & 0xff));
}

std::optional<Sol> failWith(SolProblem *problem, SolProblem what)
{
    if (problem)
        *problem = what;
    return std::nullopt;
}
}

QString keyPrefix(const QUrl &movieUrl)
{
    QString path = movieUrl.path(QUrl::FullyEncoded);
    if (path.startsWith(u'/'))
        path.remove(0, 1);
    if (path.endsWith(u'/'))
        path.chop(1);
    const QString host = movieUrl.scheme() == u"file" ? QStringLiteral("localhost") : movieUrl.host();
    return host + u'/' + path + u'/';
}

QUrl onlineMovieUrl(const QString &portalBase, const QString &address, const QString &gameId)
{
    if (address.startsWith(QLatin1String("http://")) || address.startsWith(QLatin1String("https://")))
        return QUrl(address);
    return QUrl(portalBase).resolved(QUrl(QStringLiteral("games/") + gameId + QStringLiteral(".swf")));
}

QUrl localMovieUrl(const QUrl &playerPage, const QString &gameId)
{
    return playerPage.resolved(QUrl(gameId + QStringLiteral(".swf")));
}

bool isValidSaveName(const QString &name)
{
    static const QString invalid = QStringLiteral("~%&\\;:\"',<>?# ");
    if (name.isEmpty() || name.size() > 255)
        return false;
    for (const QChar c : name) {
        if (invalid.contains(c) || c.category() == QChar::Other_Control)
            return false;
    }
    const QStringList parts = name.split(u'/');
    for (const QString &part : parts) {
        if (part.startsWith(u'.'))
            return false;
    }
    return true;
}

std::optional<Sol> decodeSol(QByteArrayView bytes, SolProblem *problem)
{
    if (problem)
        *problem = SolProblem::None;
    if (bytes.size() > MAX_SAVE_BYTES)
        return failWith(problem, SolProblem::TooLarge);
    if (bytes.size() < 6 + MAGIC.size() || quint8(bytes[0]) != 0x00 || quint8(bytes[1]) != 0xbf
        || bytes.sliced(6, 4) != QByteArrayView("TCSO"))
        return failWith(problem, SolProblem::NotASave);
    Reader r(bytes);
    r.skip(2);
    const quint64 length = r.number(4);
    if (length != quint64(bytes.size() - 6) || bytes.sliced(6, MAGIC.size()) != MAGIC)
        return failWith(problem, SolProblem::Damaged);
    r.skip(MAGIC.size());

    Sol sol;
    const qsizetype nameAt = r.pos() + 2;
    if (!r.skip(r.number(2)))
        return failWith(problem, SolProblem::Damaged);
    const QByteArrayView rawName = bytes.sliced(nameAt, r.pos() - nameAt);
    sol.name = QString::fromUtf8(rawName);
    sol.encoding = quint32(r.number(4));
    if (r.failed() || (sol.encoding != 0 && sol.encoding != 3) || !isValidSaveName(sol.name)
        || sol.name.toUtf8() != rawName)
        return failWith(problem, SolProblem::Damaged);

    while (!r.atEnd()) {
        const qsizetype keyAt = r.pos();
        bool ok = sol.encoding == 0 ? r.skip(r.number(2)) : r.amf3String();
        const QByteArray key = r.slice(keyAt).toByteArray();
        const qsizetype valueAt = r.pos();
        ok = ok && (sol.encoding == 0 ? r.amf0Value(0) : r.amf3Value(0));
        const QByteArray value = ok ? r.slice(valueAt).toByteArray() : QByteArray();
        if (!ok || r.number(1) != 0 || r.failed())
            return failWith(problem, r.unsupported() ? SolProblem::Unsupported : SolProblem::Damaged);
        sol.entries.append({key, value});
    }
    return sol;
}

QByteArray encodeSol(const Sol &sol)
{
    QByteArray body = MAGIC;
    const QByteArray name = sol.name.toUtf8();
    appendNumber(body, quint64(name.size()), 2);
    body += name;
    appendNumber(body, sol.encoding, 4);
    for (const auto &[key, value] : sol.entries) {
        body += key;
        body += value;
        body += '\0';
    }
    QByteArray out("\x00\xbf", 2);
    appendNumber(out, quint64(body.size()), 4);
    return out + body;
}

QString exportFileName(const QString &gameId, const QString &saveName)
{
    QString name = saveName;
    name.replace(u'/', u'#');
    return gameId + u'-' + name + QStringLiteral(".sol");
}

bool namesOtherGame(const QString &path, const QString &gameId)
{
    static const QRegularExpression exported(QStringLiteral("^(\\d+)-[^/]*\\.sol$"),
                                             QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression movieFolder(QStringLiteral("^(\\d+)\\.swf$"),
                                                QRegularExpression::CaseInsensitiveOption);
    QStringList parts = QString(path).replace(u'\\', u'/').split(u'/', Qt::SkipEmptyParts);
    if (parts.isEmpty())
        return false;
    const QRegularExpressionMatch file = exported.match(parts.takeLast());
    if (file.hasMatch())
        return file.captured(1) != gameId;
    for (const QString &part : parts) {
        const QRegularExpressionMatch folder = movieFolder.match(part);
        if (folder.hasMatch() && folder.captured(1) != gameId)
            return true;
    }
    return false;
}

QString problemText(SolProblem problem)
{
    switch (problem) {
    case SolProblem::TooLarge: return QStringLiteral("存档文件太大，不是游戏存档！");
    case SolProblem::NotASave: return QStringLiteral("这个文件不是游戏存档！");
    case SolProblem::Damaged: return QStringLiteral("存档文件已损坏，无法导入！");
    case SolProblem::Unsupported: return QStringLiteral("不支持这种存档格式！");
    case SolProblem::None: break;
    }
    return QString();
}

QString otherGameText()
{
    return QStringLiteral("这是别的游戏的存档，不能导入到当前游戏！");
}
}
