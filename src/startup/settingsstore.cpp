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

int SettingWhole(const QString &text)
{
    bool ok = false;
    const int v = text.trimmed().toInt(&ok);
    return ok ? v : 0;
}

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
    Lines lines;
    if (QFileInfo::exists(path)) {
        QFile file(path);
        // An existing file that cannot be read must not be replaced by a
        // file holding only the new value.
        if (!file.open(QIODevice::ReadOnly))
            return;
        lines = splitLines(file.readAll());
    }
    setIniValue(lines, section, key, value);
    SafeFile::writeWhole(path, joinLines(lines));
}

void InitSettings(const QString &path, const std::function<QString()> &macText)
{
    const QString main = QStringLiteral("main");
    const QString sq = QStringLiteral("S_q");
    const QString zero = QStringLiteral("0");

    if (!QFileInfo::exists(path)) {
        // The first start's settings, written in one go.
        Lines lines;
        setIniValue(lines, main, QStringLiteral("Name"), QStringLiteral("Kavo游戏盒"));
        setIniValue(lines, main, QStringLiteral("user"), macText());
        setIniValue(lines, main, QStringLiteral("Ver"), QStringLiteral("1.0"));
        setIniValue(lines, sq, QStringLiteral("ts"), QStringLiteral("3"));
        setIniValue(lines, sq, QStringLiteral("quit"), QStringLiteral("2"));
        setIniValue(lines, sq, QStringLiteral("s_size"), QStringLiteral("2"));
        setIniValue(lines, sq, QStringLiteral("h_w"), QStringLiteral("13550"));
        setIniValue(lines, sq, QStringLiteral("h_h"), QStringLiteral("9210"));
        setIniValue(lines, sq, QStringLiteral("s_kai"), QStringLiteral("1"));
        setIniValue(lines, sq, QStringLiteral("s_pao"), QStringLiteral("2"));
        SafeFile::writeWhole(path, joinLines(lines));
    }

    const QString user = ReadIniValue(path, main, QStringLiteral("user"), zero);
    const QString ver = ReadIniValue(path, main, QStringLiteral("Ver"), zero);
    const QString quit = ReadIniValue(path, sq, QStringLiteral("quit"), zero);
    const int ts = SettingWhole(ReadIniValue(path, sq, QStringLiteral("ts"), zero));
    const int sSize = SettingWhole(ReadIniValue(path, sq, QStringLiteral("s_size"), zero));
    const int hW = SettingWhole(ReadIniValue(path, sq, QStringLiteral("h_w"), zero));
    const int hH = SettingWhole(ReadIniValue(path, sq, QStringLiteral("h_h"), zero));
    const int sKai = SettingWhole(ReadIniValue(path, sq, QStringLiteral("s_kai"), zero));
    const int sPao = SettingWhole(ReadIniValue(path, sq, QStringLiteral("s_pao"), zero));

    if (user == zero || user.isEmpty())
        WriteIniValue(path, main, QStringLiteral("user"), macText());
    // A file without a version (one made before the first start, without the
    // section main) gets this build's where the update check reads it;
    // without it every start would offer an update.
    // An updater may record a newer version in main/Ver; it is kept, and only
    // the informational Ver section notes the version this build installed.
    if (ReadIniValue(path, main, QStringLiteral("Ver"), QString()).isEmpty())
        WriteIniValue(path, main, QStringLiteral("Ver"), QStringLiteral("1.0"));
    else if (ver != QLatin1String("1.0"))
        WriteIniValue(path, QStringLiteral("Ver"), QStringLiteral("Name"), QStringLiteral("1.0"));
    if (ts != 1 && ts != 2)
        WriteIniValue(path, sq, QStringLiteral("ts"), QStringLiteral("3"));
    if (SettingWhole(quit) == 0)
        WriteIniValue(path, sq, QStringLiteral("quit"), QStringLiteral("2"));
    if (sSize == 0)
        WriteIniValue(path, sq, QStringLiteral("s_size"), QStringLiteral("2"));
    if (hW == 0)
        WriteIniValue(path, sq, QStringLiteral("h_w"), QStringLiteral("13550"));
    if (hH == 0)
        WriteIniValue(path, sq, QStringLiteral("h_h"), QStringLiteral("9210"));
    if (sPao == 0)
        WriteIniValue(path, sq, QStringLiteral("s_pao"), QStringLiteral("2"));
    if (sKai == 0)
        WriteIniValue(path, sq, QStringLiteral("s_kai"), QStringLiteral("1"));
}
