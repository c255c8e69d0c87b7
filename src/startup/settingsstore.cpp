#include "startup/settingsstore.h"

#include "common/safefile.h"
#include "common/textcodec.h"

#include <QFile>
#include <QFileInfo>
#include <QList>

#include <optional>

namespace
{
// The reader hands back at most this many bytes of a value.
constexpr int MAX_VALUE_BYTES = 254;

using Lines = QList<QByteArray>;

// Lines without their terminators. CR LF, LF alone and a final line without a
// terminator are all accepted; the file is always written back with CR LF.
Lines splitLines(const QByteArray &bytes)
{
    Lines lines = bytes.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    for (QByteArray &line : lines) {
        if (line.endsWith('\r'))
            line.chop(1);
    }
    return lines;
}

QByteArray joinLines(const Lines &lines)
{
    QByteArray out;
    for (const QByteArray &line : lines)
        out += line + "\r\n";
    return out;
}

// The name of a "[name]" line, or nothing for any other line. The closing
// bracket is searched character by character, since "]" can be the second
// byte of a GBK character.
std::optional<QString> sectionName(const QByteArray &line)
{
    const QByteArray t = line.trimmed();
    if (!t.startsWith('['))
        return std::nullopt;
    for (int pos = 1; pos < t.size(); pos += TextCodec::ansiCharLength(t, pos)) {
        if (t.at(pos) == ']')
            return TextCodec::fromAnsi(t.mid(1, pos - 1)).trimmed();
    }
    return std::nullopt;
}

// "=" never occurs inside a GBK double-byte character, so the first "=" byte
// separates key and value.
std::optional<QString> keyName(const QByteArray &line)
{
    const int eq = line.indexOf('=');
    if (eq < 0)
        return std::nullopt;
    return TextCodec::fromAnsi(line.left(eq)).trimmed();
}

bool sameName(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// Index of the header of the first section with that name; with duplicate
// sections the first one is the only one consulted.
int findSection(const Lines &lines, const QString &section)
{
    for (int i = 0; i < lines.size(); ++i) {
        const auto name = sectionName(lines.at(i));
        if (name && sameName(*name, section))
            return i;
    }
    return -1;
}

int sectionEnd(const Lines &lines, int header)
{
    int i = header + 1;
    while (i < lines.size() && !sectionName(lines.at(i)))
        ++i;
    return i;
}

int findKey(const Lines &lines, int from, int to, const QString &key)
{
    for (int i = from; i < to; ++i) {
        const auto name = keyName(lines.at(i));
        if (name && sameName(*name, key))
            return i;
    }
    return -1;
}

// A value cannot span lines; a line break in it would open new keys.
QByteArray singleLine(const QString &text)
{
    QByteArray bytes = TextCodec::toAnsi(text);
    bytes.replace('\r', QByteArray()).replace('\n', QByteArray());
    return bytes;
}

QByteArray cutValue(QByteArray value)
{
    const int nul = value.indexOf('\0');
    if (nul >= 0)
        value.truncate(nul);
    if (value.size() <= MAX_VALUE_BYTES)
        return value;
    int end = 0;
    while (end < value.size()) {
        const int len = TextCodec::ansiCharLength(value, end);
        if (end + len > MAX_VALUE_BYTES)
            break;
        end += len;
    }
    return value.left(end);
}
} // namespace

QString ReadIniValue(const QString &path, const QString &section, const QString &key,
                     const QString &def)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return def;
    const Lines lines = splitLines(file.readAll());
    const int header = findSection(lines, section);
    if (header < 0)
        return def;
    const int at = findKey(lines, header + 1, sectionEnd(lines, header), key);
    if (at < 0)
        return def;
    const QByteArray &line = lines.at(at);
    return TextCodec::fromAnsi(cutValue(line.mid(line.indexOf('=') + 1).trimmed()));
}

namespace
{
// Sets one value in the lines of a settings file.
void setIniValue(Lines &lines, const QString &section, const QString &key, const QString &value)
{
    const QByteArray keyBytes = singleLine(key);
    const QByteArray valueBytes = singleLine(value);

    const int header = findSection(lines, section);
    if (header < 0) {
        lines.append('[' + singleLine(section) + ']');
        lines.append(keyBytes + '=' + valueBytes);
    } else {
        const int end = sectionEnd(lines, header);
        const int at = findKey(lines, header + 1, end, key);
        if (at >= 0) {
            const QByteArray &line = lines.at(at);
            lines[at] = line.left(line.indexOf('=')).trimmed() + '=' + valueBytes;
        } else {
            // After the section's last non-blank line, so blank lines that
            // separate it from the next section stay in place.
            int pos = end;
            while (pos > header + 1 && lines.at(pos - 1).trimmed().isEmpty())
                --pos;
            lines.insert(pos, keyBytes + '=' + valueBytes);
        }
    }
}
} // namespace

void WriteIniValue(const QString &path, const QString &section, const QString &key,
                   const QString &value)
{
    WriteIniValues(path, {{section, key, value}});
}

void WriteIniValues(const QString &path, const QList<IniValue> &values)
{
    Lines lines;
    if (QFileInfo::exists(path)) {
        QFile file(path);
        // An existing file that cannot be read must not be replaced by a
        // file holding only the new values.
        if (!file.open(QIODevice::ReadOnly))
            return;
        lines = splitLines(file.readAll());
    }
    for (const IniValue &v : values)
        setIniValue(lines, v.section, v.key, v.value);
    SafeFile::writeWhole(path, joinLines(lines));
}
