#include "common/apppaths.h"
#include "common/scriptunescape.h"
#include "common/textcodec.h"
#include "lists/listfile.h"
#include "lists/listpage.h"
#include "support/core/listfolder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace
{
const QByteArray PAGE_HEAD = R"(<!DOCTYPE html PUBLIC "-//W3C//DTD XHTML 1.0 Transitional//EN" "http://www.w3.org/TR/xhtml1/DTD/xhtm)"
    R"(l1-transitional.dtd"><html xmlns="http://www.w3.org/1999/xhtml"><head><meta http-equiv="Content-Type)"
    R"(" content="text/html; charset=gb2312" /><title></title><style>*{padding:0;margin:0;}img{border:0;}bo)"
    R"(dy,html{border:0px;background-color:#F5F5F5;font-size:12px;color:#000000;overflow-x:hidden;overflow-)"
    R"(y:auto;}a:link,a:visited,a:active{color:#000000;text-decoration:none;}a:hover{color:red}.f{floa:left)"
    R"(;width:100%}.f li{float:left;list-style:none;width:33%;height:25px;line-height:25px;text-align:left;)"
    R"(border-bottom:1px solid #CBD5E5;border-top:1px solid #ffffff; cursor:default}.f li a,.f li em{margin)"
    R"(-left:10px;}.f li em{font-style:normal;background:url(i.gif) no-repeat;width:30px;}.f li img{}.f li.)"
    R"(t2 em{display:none;}.f li.t1 em{}</style></head><body><div class="f" id="tab"><ul>)";
const QByteArray PAGE_TAIL = R"(</ul></div>)" "\r\n"
    R"(<script language='javascript'>var Ptr=document.getElementById('tab').getElementsByTagName('li');)" "\r\n"
    R"(function $() {for (i=0;i<Ptr.length;i++){Ptr[i].className = 't2';}})" "\r\n"
    R"(window.onload=$;)" "\r\n"
    R"(for(var i=0;i<Ptr.length;i++){Ptr[i].onmouseover=function(){this.className = "t1";};)" "\r\n"
    R"(Ptr[i].onmouseout=function(){this.className="t2";};}</script></body></html>)" "\r\n";
const QByteArray DOT = "\xa1\xa4";                                   // ·
const QByteArray POINTS = "<font color=red>[\xbb\xfd\xb7\xd6]</font> "; // [积分]
const QByteArray EMPTY_TEXT =
    R"(<div style="float:left;width:100%;text-align:center;padding-top:30px;">)"
    "\xd4\xdd\xce\xde\xbc\xc7\xc2\xbc</div>"; // 暂无记录

QByteArray item(int n, const QByteArray &display)
{
    const QByteArray number = QByteArray::number(n);
    return "<li><a href=open://" + number + '>' + DOT + display + "</a><em><a href=delk://" + number
        + "> </a></em></li>";
}
}

class TestListPage : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void pageBytes_data();
    void pageBytes();
    void pageFileByListName();
    void missingListLeavesPageAlone();
    void unescape_data();
    void unescape();

private:
    QByteArray readPage(const QString &name) const;
    void setList(const QString &name, const QByteArray &bytes) const;

    std::unique_ptr<ListFolder> m_folder;
};

QByteArray TestListPage::readPage(const QString &name) const
{
    return m_folder->read(name);
}

void TestListPage::setList(const QString &name, const QByteArray &bytes) const
{
    QVERIFY(m_folder->write(name, bytes));
}

void TestListPage::init()
{
    m_folder = std::make_unique<ListFolder>();
    QVERIFY(m_folder->isValid());
}

void TestListPage::cleanup()
{
    m_folder.reset();
}

void TestListPage::pageBytes_data()
{
    QTest::addColumn<QString>("listFile");
    QTest::addColumn<QByteArray>("list");
    QTest::addColumn<QString>("pageFile");
    QTest::addColumn<QByteArray>("body"); // between PAGE_HEAD and PAGE_TAIL

    // Items keep the line numbers of the file across empty lines, lines
    // without "|" and records whose name is empty.
    QTest::newRow("line numbers") << "date_n.dat"
                                  << QByteArray("\r\n"
                                                "Tank|12|g/12.swf|1\r\n"
                                                "not a record\r\n"
                                                "%u4E2D%u6587|34|34|0\r\n"
                                                "|56|g/56.swf|1\r\n"
                                                "\xcc\xb9\xbf\xcb 2|78|x\r\n"
                                                "short|90")
                                  << "n.htm"
                                  << item(2, "Tank") + item(4, "\xd6\xd0\xce\xc4" + POINTS)
            + item(6, "\xcc\xb9\xbf\xcb 2") + item(7, "short");
    // A decoded name is text, never markup; only the points marker is markup.
    QTest::newRow("names cannot inject markup")
        << "date_n.dat"
        << QByteArray("%3Cimg src=x onerror=%22location=%27tuzoflash://1$$$2$$$3%27%22%3E&amp;|1|a|0\r\n"
                      "<b>\"x\"</b>|2|b|1\r\n")
        << "n.htm"
        << item(1, "&lt;img src=x onerror=&quot;location='tuzoflash://1$$$2$$$3'&quot;&gt;&amp;amp;" + POINTS)
            + item(2, "&lt;b&gt;&quot;x&quot;&lt;/b&gt;");
    // Names far longer than usual, and escapes that grow five-fold, fit on
    // the page whole; a character GBK cannot hold shows as "?".
    QTest::newRow("long names")
        << "date_d.dat"
        << QByteArray("A|1|a|1\r\n") + QByteArray("&").repeated(3000) + QByteArray("%u4E2D").repeated(2000)
            + "%uD83D%uDE00|2|b|1\r\nB|3|c|1\r\n"
        << "d.htm"
        << item(1, "A") + item(2, QByteArray("&amp;").repeated(3000) + QByteArray("\xd6\xd0").repeated(2000) + "?")
            + item(3, "B");
    // The page file goes by the exact list file name.
    QTest::newRow("other spelling of a list") << "Date_c.dat" << QByteArray("A|1|a|1\r\n") << "d.htm" << item(1, "A");
    // Lists without a record show the empty-list text.
    QTest::newRow("one empty line") << "date_c.dat" << QByteArray("\r\n") << "c.htm" << EMPTY_TEXT;
    QTest::newRow("empty file") << "date_c.dat" << QByteArray() << "c.htm" << EMPTY_TEXT;
    QTest::newRow("no records") << "date_c.dat" << QByteArray("abc\r\n\r\nxyz") << "c.htm" << EMPTY_TEXT;
    QTest::newRow("only empty names") << "date_c.dat" << QByteArray("|1|a|1\r\n|2|b|1|extra\r\n") << "c.htm"
                                      << EMPTY_TEXT;
}

void TestListPage::pageBytes()
{
    QFETCH(QString, listFile);
    QFETCH(QByteArray, list);
    QFETCH(QString, pageFile);
    QFETCH(QByteArray, body);
    setList(listFile, list);
    QVERIFY(GenerateListPage(m_folder->paths, listFile));
    QCOMPARE(readPage(pageFile), PAGE_HEAD + body + PAGE_TAIL);
    QCOMPARE(m_folder->refreshes, 1);
    // Adding a game makes the page of an all-ASCII list from its bytes: the
    // same page.
    if (TextCodec::isAscii(list))
        QCOMPARE(ListPageBytes(ListLineViews(QByteArrayView(list))), PAGE_HEAD + body + PAGE_TAIL);
    // No other page was written.
    QStringList files{listFile, pageFile};
    files.sort();
    QCOMPARE(QDir(m_folder->paths.dataDir()).entryList(QDir::Files, QDir::Name), files);
}

void TestListPage::pageFileByListName()
{
    QCOMPARE(PageNameFor(QStringLiteral("date_c.dat")), QStringLiteral("c.htm"));
    QCOMPARE(PageNameFor(QStringLiteral("date_n.dat")), QStringLiteral("n.htm"));
    QCOMPARE(PageNameFor(QStringLiteral("date_d.dat")), QStringLiteral("d.htm"));
    QCOMPARE(PageNameFor(QStringLiteral("DATE_N.DAT")), QStringLiteral("d.htm"));
}

void TestListPage::missingListLeavesPageAlone()
{
    setList(QStringLiteral("n.htm"), "old page");
    QVERIFY(!GenerateListPage(m_folder->paths, QStringLiteral("date_n.dat")));
    QCOMPARE(readPage(QStringLiteral("n.htm")), QByteArray("old page"));
    QCOMPARE(m_folder->refreshes, 0);

    // A list that is read but whose page cannot be written still refreshes
    // the pane (it shows whatever page is there).
    setList(QStringLiteral("date_d.dat"), "A|1|a|1\r\n");
    QVERIFY(QDir(m_folder->paths.dataDir()).mkdir(QStringLiteral("d.htm")));
    QVERIFY(!GenerateListPage(m_folder->paths, QStringLiteral("date_d.dat")));
    QCOMPARE(m_folder->refreshes, 1);
}

void TestListPage::unescape_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("chinese") << "%u4E2D%u6587" << QStringLiteral("中文");
    QTest::newRow("lower hex") << "%u4e2d%41%6a" << QStringLiteral("中Aj");
    QTest::newRow("latin1 range") << "%E9%FF" << QStringLiteral("éÿ");
    QTest::newRow("plain") << "A%41" << "AA";
    QTest::newRow("percent at end") << "100%" << "100%";
    QTest::newRow("one char after percent") << "5%A" << "5%A";
    QTest::newRow("percent before non hex") << "%zz1" << "zz1";
    QTest::newRow("bad u escape") << "%uZZZZ" << "%uZZZZ";
    QTest::newRow("short u escape") << "%u4E2" << "u4E2";
    QTest::newRow("u escape at end") << "x%u4E2D" << QStringLiteral("x中");
    QTest::newRow("upper U is not an escape") << "%U4E2D" << "U4E2D";
    QTest::newRow("half hex") << "%4g" << "4g";
    QTest::newRow("no double decode") << "%2541" << "%41";
    QTest::newRow("surrogate pair") << "%uD83D%uDE00" << QString::fromUcs4(U"\U0001F600");
    QTest::newRow("fullwidth digits are not hex") << QStringLiteral("%１２") << QStringLiteral("１２");
    QTest::newRow("empty") << "" << "";
}

void TestListPage::unescape()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(UnescapeText(text), expected);
    // ASCII text given as bytes decodes alike, after what the output holds.
    const QByteArray bytes = text.toUtf8();
    if (TextCodec::isAscii(bytes)) {
        std::u16string out = u">";
        AppendUnescaped(QByteArrayView(bytes), out);
        QCOMPARE(QString::fromStdU16String(out), QStringLiteral(">") + expected);
    }
}

QTEST_GUILESS_MAIN(TestListPage)
#include "tst_listpage.moc"
