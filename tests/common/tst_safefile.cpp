#include "common/safefile.h"
#include "support/core/files.h"
#include "support/core/sizelimit.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

class TestSafeFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void safeWriteReplacesAndCreates();
    void safeWriteFailureKeepsOldFile();
    void togetherIsAllOrNothing();
    void replacedFileKeepsItsMode();
    void temporaryNames_data();
    void temporaryNames();
};

void TestSafeFile::safeWriteReplacesAndCreates()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("f.txt"));
    QVERIFY(SafeFile::writeWhole(path, "first"));
    QVERIFY(SafeFile::writeWhole(path, "2"));
    QCOMPARE(ReadFile(path), QByteArray("2"));
    // No temporary file is left behind.
    QCOMPARE(EntriesUnder(dir.path()), QStringList{QStringLiteral("f.txt")});
}

void TestSafeFile::safeWriteFailureKeepsOldFile()
{
    QTemporaryDir dir;
    {
        // The parent "folder" is a regular file: no temporary file can be
        // created there, whoever runs the test (root ignores permissions).
        const QString blocker = dir.filePath(QStringLiteral("notadir"));
        QVERIFY(SafeFile::writeWhole(blocker, "x"));
        QVERIFY(!SafeFile::writeWhole(blocker + QStringLiteral("/f.txt"), "data"));
    }
    {
        // The target is a folder: the rename over it fails and it stays.
        const QString target = dir.filePath(QStringLiteral("sub"));
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("sub")));
        QVERIFY(!SafeFile::writeWhole(target, "data"));
        QVERIFY(QFileInfo(target).isDir());
    }
    {
        // A full disk, simulated by a file size limit that binds root too:
        // the old file keeps its bytes and no temporary file is left.
        const QString path = dir.filePath(QStringLiteral("list.dat"));
        QVERIFY(SafeFile::writeWhole(path, "old\r\n"));
        bool written = true;
        {
            SizeLimit limit(16);
            written = SafeFile::writeWhole(path, QByteArray(4096, 'n'));
        }
        QCOMPARE(ReadFile(path), QByteArray("old\r\n"));
        QVERIFY(!written);
        QCOMPARE(QDir(dir.path()).entryList({QStringLiteral("list.dat*")}, QDir::Files | QDir::Hidden),
                 QStringList{QStringLiteral("list.dat")});
    }
}

void TestSafeFile::togetherIsAllOrNothing()
{
    QTemporaryDir dir;
    const QString list = dir.filePath(QStringLiteral("list.dat"));
    const QString page = dir.filePath(QStringLiteral("list.htm"));
    QVERIFY(SafeFile::writeTogether({{list, "old list"}, {page, "old page"}}));

    {
        // The second file does not fit: neither changes.
        qsizetype placed = -1;
        bool written = true;
        {
            SizeLimit limit(100);
            written = SafeFile::writeTogether({{list, "new list"}, {page, QByteArray(4096, 'p')}}, &placed);
        }
        QVERIFY(!written);
        QCOMPARE(placed, 0);
        QCOMPARE(ReadFile(list), QByteArray("old list"));
        QCOMPARE(ReadFile(page), QByteArray("old page"));
        QCOMPARE(EntriesUnder(dir.path()), QStringList({"list.dat", "list.htm"}));
    }
    {
        // The second file's folder is missing: neither changes.
        qsizetype placed = -1;
        QVERIFY(!SafeFile::writeTogether({{list, "new list"}, {dir.filePath("none/p.htm"), "p"}}, &placed));
        QCOMPARE(placed, 0);
        QCOMPARE(ReadFile(list), QByteArray("old list"));
        QCOMPARE(EntriesUnder(dir.path()), QStringList({"list.dat", "list.htm"}));
    }
    {
        // Both written, but a folder holds the second name: the renames stop
        // there, the caller learns how far they got, nothing is left over.
        const QString blocked = dir.filePath(QStringLiteral("blocked"));
        QVERIFY(QDir().mkdir(blocked));
        qsizetype placed = -1;
        QVERIFY(!SafeFile::writeTogether({{list, "new list"}, {blocked, "p"}, {page, "new page"}}, &placed));
        QCOMPARE(placed, 1);
        QCOMPARE(ReadFile(list), QByteArray("new list"));
        QCOMPARE(ReadFile(page), QByteArray("old page"));
        QCOMPARE(EntriesUnder(dir.path()), QStringList({"blocked", "list.dat", "list.htm"}));
    }
    qsizetype placed = -1;
    QVERIFY(SafeFile::writeTogether({{list, "list 2"}, {page, "page 2"}}, &placed));
    QCOMPARE(placed, 2);
    QCOMPARE(ReadFile(list), QByteArray("list 2"));
    QCOMPARE(ReadFile(page), QByteArray("page 2"));
}

void TestSafeFile::replacedFileKeepsItsMode()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("config.ini"));
    const auto mode = [&path] {
        struct stat st;
        return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode & 07777 : mode_t(0);
    };
    // A new file is readable by everybody, not private like a bare
    // temporary file.
    QVERIFY(SafeFile::writeWhole(path, "a"));
    QCOMPARE(mode(), mode_t(0644));
    QVERIFY(::chmod(QFile::encodeName(path).constData(), 0600) == 0);
    QVERIFY(SafeFile::writeWhole(path, "b"));
    QCOMPARE(mode(), mode_t(0600));
}

void TestSafeFile::temporaryNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("temporary");
    QTest::newRow("letters") << "date_d.dat.GYWaOd" << true;
    QTest::newRow("digits") << "date_d.dat.0a9Z12" << true;
    QTest::newRow("the file") << "date_d.dat" << false;
    QTest::newRow("five") << "date_d.dat.GYWaO" << false;
    QTest::newRow("seven") << "date_d.dat.GYWaOdx" << false;
    QTest::newRow("other mark") << "date_d.dat~GYWaOd" << false;
    QTest::newRow("punctuation") << "date_d.dat.GYW-Od" << false;
    QTest::newRow("non-latin") << "date_d.dat.GYW\u4E2DOd" << false;
    QTest::newRow("other file") << "date_n.dat.GYWaOd" << false;
    QTest::newRow("prefix") << "xdate_d.dat.GYWaOd" << false;
}

void TestSafeFile::temporaryNames()
{
    QFETCH(QString, name);
    QFETCH(bool, temporary);
    QCOMPARE(SafeFile::isTemporaryNameFor(name, QStringLiteral("date_d.dat")), temporary);
}

QTEST_GUILESS_MAIN(TestSafeFile)
#include "tst_safefile.moc"
