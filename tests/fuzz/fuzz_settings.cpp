// config.ini may be edited by hand or cut short by a crash of another
// program: reading, writing and the first-start repair must keep their
// promises on any file.
#include "fuzzcheck.h"

#include "common/textcodec.h"
#include "startup/settings.h"
#include "startup/settingsstore.h"
#include "support/core/files.h"

#include <QSet>
#include <QTemporaryDir>

namespace
{
const QString &configPath()
{
    static QTemporaryDir dir;
    static const QString path = dir.filePath(QStringLiteral("config.ini"));
    return path;
}

// A name the file format can carry: something that survives the code page,
// holds none of the characters the format uses and no space at its ends.
bool isPlainName(const QString &name)
{
    if (name.isEmpty() || name.trimmed() != name)
        return false;
    for (const QChar c : name) {
        if (c == u'[' || c == u']' || c == u'=' || c.unicode() < 0x20 || c == u'\x7f')
            return false;
    }
    return TextCodec::fromAnsi(TextCodec::toAnsi(name)) == name;
}

// The value a read gives back after a write: one line without the spaces at
// its ends, cut at a NUL, at most 254 bytes of whole characters.
QString expectedRead(const QString &value)
{
    QByteArray bytes = TextCodec::toAnsi(value);
    bytes.replace('\r', QByteArray()).replace('\n', QByteArray());
    bytes = bytes.trimmed();
    const int nul = bytes.indexOf('\0');
    if (nul >= 0)
        bytes.truncate(nul);
    if (bytes.size() > 254) {
        int end = 0;
        while (end < bytes.size() && end + TextCodec::ansiCharLength(bytes, end) <= 254)
            end += TextCodec::ansiCharLength(bytes, end);
        bytes.truncate(end);
    }
    return TextCodec::fromAnsi(bytes);
}

// Section and key names the file already mentions, plus the program's own.
QList<std::pair<QString, QString>> probes(const QByteArray &file, const QString &section, const QString &key)
{
    QSet<QString> sections = {QStringLiteral("main"), QStringLiteral("S_q"), section};
    QSet<QString> keys = {QStringLiteral("user"), QStringLiteral("ts"), QStringLiteral("h_w"), key};
    for (const QByteArray &line : file.split('\n')) {
        const QString text = TextCodec::fromAnsi(line).trimmed();
        if (text.startsWith(QLatin1Char('[')) && text.contains(QLatin1Char(']')))
            sections << text.mid(1, text.indexOf(QLatin1Char(']')) - 1).trimmed();
        else if (text.contains(QLatin1Char('=')))
            keys << text.left(text.indexOf(QLatin1Char('='))).trimmed();
    }
    QList<std::pair<QString, QString>> out;
    for (const QString &s : std::as_const(sections)) {
        for (const QString &k : std::as_const(keys))
            out.append({s, k});
    }
    return out.mid(0, 400);
}

bool sameName(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

int whole(const QString &text)
{
    bool ok = false;
    const int v = text.trimmed().toInt(&ok);
    return ok ? v : 0;
}

void checkRepair()
{
    InitSettings(configPath(), [] { return QStringLiteral("00-11-22-33-44-55"); });
    const auto read = [](const char *section, const char *key) {
        return ReadIniValue(configPath(), QString::fromLatin1(section), QString::fromLatin1(key), QStringLiteral("0"));
    };
    const QString user = read("main", "user");
    FUZZ_CHECK(!user.isEmpty() && user != QLatin1String("0"));
    const int ts = whole(read("S_q", "ts"));
    FUZZ_CHECK(ts == 1 || ts == 2 || ts == 3);
    for (const char *key : {"quit", "s_size", "h_w", "h_h", "s_kai", "s_pao"})
        FUZZ_CHECK(whole(read("S_q", key)) != 0);
}
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider in(data, size);
    const QString section = takeText(in, 16);
    const QString key = takeText(in, 16);
    const QString value = takeText(in, 300);
    const bool repair = in.ConsumeBool();
    const QByteArray file = QByteArray::fromStdString(in.ConsumeRemainingBytesAsString());

    FUZZ_CHECK(WriteFile(configPath(), file));
    if (repair) {
        checkRepair();
        return 0;
    }

    // Reads never fail, whatever the file holds.
    ReadIniValue(configPath(), section, key, QStringLiteral("d"));
    if (!isPlainName(section) || !isPlainName(key))
        return 0;

    const auto others = probes(file, section, key);
    QList<QString> before;
    for (const auto &[s, k] : others)
        before << ReadIniValue(configPath(), s, k, QStringLiteral("\x01missing"));

    WriteIniValue(configPath(), section, key, value);
    // The value reads back, and every other key keeps its value.
    FUZZ_CHECK(ReadIniValue(configPath(), section, key, QStringLiteral("\x01missing")) == expectedRead(value));
    for (qsizetype i = 0; i < others.size(); ++i) {
        const auto &[s, k] = others.at(i);
        if (sameName(s, section) && sameName(k, key))
            continue;
        FUZZ_CHECK(ReadIniValue(configPath(), s, k, QStringLiteral("\x01missing")) == before.at(i));
    }
    return 0;
}
