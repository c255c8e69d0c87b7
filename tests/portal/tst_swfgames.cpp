// The demo portal's generated games are well-formed movies: the runtime that
// plays them forgives a lot, so their structure is checked here byte by byte.
#include "support/core/files.h"

#include <QDir>
#include <QSet>
#include <QTest>

namespace {

struct Reader
{
    const QByteArray &data;
    int pos = 0;
    bool ok = true;

    bool has(int n)
    {
        ok = ok && n >= 0 && pos + n <= data.size();
        return ok;
    }
    quint8 u8() { return has(1) ? quint8(data[pos++]) : 0; }
    quint16 u16()
    {
        const quint16 lo = u8();
        return quint16(lo | (u8() << 8));
    }
    quint32 u32()
    {
        const quint32 lo = u16();
        return lo | (quint32(u16()) << 16);
    }
};

struct Movie
{
    QSet<int> tagCodes;
    int mainFrames = 0;
    int actionBlocks = 0;
    int buttonsWithActions = 0;
};

// Walks AVM1 action records; every branch must land on a record boundary.
bool checkActions(const QByteArray &code, QString &why)
{
    QSet<int> starts;
    QList<int> targets;
    int pos = 0;
    while (true) {
        if (pos >= code.size()) {
            why = QStringLiteral("actions without an end");
            return false;
        }
        starts.insert(pos);
        const quint8 op = quint8(code[pos++]);
        if (op == 0)
            break;
        if (op >= 0x80) {
            if (pos + 2 > code.size()) {
                why = QStringLiteral("cut action header");
                return false;
            }
            const int len = quint8(code[pos]) | (quint8(code[pos + 1]) << 8);
            pos += 2;
            if (pos + len > code.size()) {
                why = QStringLiteral("action 0x%1 runs past its block").arg(op, 0, 16);
                return false;
            }
            if (op == 0x99 || op == 0x9D) {
                const qint16 offset = qint16(quint8(code[pos]) | (quint8(code[pos + 1]) << 8));
                targets << pos + len + offset;
            }
            pos += len;
        }
    }
    for (int t : targets)
        if (!starts.contains(t)) {
            why = QStringLiteral("a branch lands at %1, inside an action").arg(t);
            return false;
        }
    return true;
}

// Reads tags until End; returns the number of frames shown.
int readTags(Reader &r, int end, Movie &m, QSet<int> &defined, QString &why)
{
    int frames = 0;
    while (r.ok && r.pos < end) {
        const quint16 head = r.u16();
        const int code = head >> 6;
        int len = head & 0x3f;
        if (len == 0x3f)
            len = int(r.u32());
        if (!r.has(len) || r.pos + len > end) {
            why = QStringLiteral("tag %1 runs past its container").arg(code);
            return -1;
        }
        const QByteArray body = r.data.mid(r.pos, len);
        const int bodyStart = r.pos;
        m.tagCodes.insert(code);
        Reader b{body};
        switch (code) {
        case 0: // End
            r.pos += len;
            return r.pos == end ? frames : (why = QStringLiteral("bytes after the end tag"), -1);
        case 1:
            ++frames;
            break;
        case 2: case 32: case 34: case 37: case 48: // shapes, buttons, text fields, fonts: define an id
            defined.insert(b.u16());
            if (code == 34) {
                b.u8();
                const int actionOffset = b.u16();
                if (actionOffset) {
                    ++m.buttonsWithActions;
                    int at = 3 + actionOffset;
                    while (true) {
                        Reader c{body, at};
                        const int next = c.u16();
                        c.u16(); // conditions
                        const int stop = next ? at + next : body.size();
                        if (!c.ok || stop > body.size() || !checkActions(body.mid(c.pos, stop - c.pos), why))
                            return why.isEmpty() ? (why = QStringLiteral("bad button actions"), -1) : -1;
                        if (!next)
                            break;
                        at += next;
                    }
                }
            }
            break;
        case 39: { // DefineSprite
            const int id = b.u16();
            const int declared = b.u16();
            Reader inner{r.data, bodyStart + 4};
            const int shown = readTags(inner, bodyStart + len, m, defined, why);
            if (shown < 0)
                return -1;
            if (shown != declared) {
                why = QStringLiteral("sprite %1 declares %2 frames, shows %3").arg(id).arg(declared).arg(shown);
                return -1;
            }
            defined.insert(id);
            break;
        }
        case 26: { // PlaceObject2
            const quint8 flags = b.u8();
            b.u16();
            if (flags & 0x02) {
                const int id = b.u16();
                if (!defined.contains(id)) {
                    why = QStringLiteral("places character %1 before it is defined").arg(id);
                    return -1;
                }
            }
            break;
        }
        case 12:
            ++m.actionBlocks;
            if (!checkActions(body, why))
                return -1;
            break;
        default:
            break;
        }
        r.pos += len;
    }
    why = QStringLiteral("no end tag");
    return -1;
}

// Checks the whole file; fills m, or says why it is broken.
bool readMovie(const QByteArray &data, Movie &m, QString &why)
{
    if (!data.startsWith("FWS") || data.size() < 21) {
        why = QStringLiteral("not an uncompressed movie");
        return false;
    }
    Reader r{data, 3};
    if (r.u8() != 8 || int(r.u32()) != data.size()) {
        why = QStringLiteral("wrong version or file length");
        return false;
    }
    // Stage rectangle: 5 bits of size, then four values of that many bits.
    const int nbits = quint8(data[8]) >> 3;
    r.pos = 8 + (5 + 4 * nbits + 7) / 8;
    r.u16(); // frame rate
    m.mainFrames = r.u16();
    QSet<int> defined;
    const int shown = readTags(r, data.size(), m, defined, why);
    if (shown < 0)
        return false;
    if (shown != m.mainFrames) {
        why = QStringLiteral("header says %1 frames, timeline shows %2").arg(m.mainFrames).arg(shown);
        return false;
    }
    return true;
}

QString gamesDir()
{
    return QStringLiteral(KAVO_BUILD_DIR "/portal-demo/site/games");
}

} // namespace

class tst_SwfGames : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void everyGameIsAWellFormedMovie_data();
    void everyGameIsAWellFormedMovie();
    void someGamesReactToInput();
    void damageIsNoticed();
};

// Without the generated games every check below would have nothing to read;
// a failure here ends the run cleanly.
void tst_SwfGames::initTestCase()
{
    const QDir dir(gamesDir());
    const qsizetype games = dir.entryList({QStringLiteral("*.swf")}, QDir::Files).size();
    QVERIFY2(games >= 6 && dir.exists(QStringLiteral("102.swf")),
             qPrintable(QStringLiteral("the demo portal's games are not generated in ") + dir.path()));
}

void tst_SwfGames::everyGameIsAWellFormedMovie_data()
{
    QTest::addColumn<QString>("file");
    const QDir dir(gamesDir());
    const QStringList games = dir.entryList({QStringLiteral("*.swf")}, QDir::Files, QDir::Name);
    for (const QString &g : games)
        QTest::newRow(qPrintable(g)) << dir.filePath(g);
}

void tst_SwfGames::everyGameIsAWellFormedMovie()
{
    QFETCH(QString, file);
    Movie m;
    QString why;
    QVERIFY2(readMovie(ReadFile(file), m, why), qPrintable(why));
    QVERIFY(m.tagCodes.contains(32) && m.tagCodes.contains(26) && m.tagCodes.contains(1));
    // Animated: several frames on the main timeline or in a sprite.
    QVERIFY(m.mainFrames > 1 || m.tagCodes.contains(39));
}

void tst_SwfGames::someGamesReactToInput()
{
    int keyGames = 0, buttonGames = 0;
    for (const QString &g : QDir(gamesDir()).entryList({QStringLiteral("*.swf")}, QDir::Files)) {
        const QByteArray data = ReadFile(gamesDir() + QLatin1Char('/') + g);
        Movie m;
        QString why;
        QVERIFY2(readMovie(data, m, why), qPrintable(why));
        keyGames += m.actionBlocks > 0 && data.contains(QByteArray("isDown\0", 7));
        buttonGames += m.buttonsWithActions > 0;
    }
    QVERIFY(keyGames >= 1);
    QVERIFY(buttonGames >= 1);
}

void tst_SwfGames::damageIsNoticed()
{
    // The checks above would pass anything if the walker read nothing.
    const QByteArray good = ReadFile(gamesDir() + QStringLiteral("/102.swf"));
    Movie m;
    QString why;
    QVERIFY(readMovie(good, m, why));

    QByteArray cut = good.left(good.size() - 1);
    cut[4] = char(cut.size() & 0xff);
    cut[5] = char((cut.size() >> 8) & 0xff);
    QVERIFY(!readMovie(cut, m, why));

    // A branch moved by one byte lands inside another action.
    QByteArray branch = good;
    const int at = branch.indexOf(QByteArray("\x9d\x02\x00", 3));
    QVERIFY(at > 0);
    branch[at + 3] = char(branch[at + 3] + 1);
    QVERIFY(!readMovie(branch, m, why));
    QVERIFY2(why.contains(QStringLiteral("branch")), qPrintable(why));
}

QTEST_GUILESS_MAIN(tst_SwfGames)
#include "tst_swfgames.moc"
