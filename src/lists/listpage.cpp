#include "lists/listpage.h"

#include "common/safefile.h"
#include "common/textcodec.h"
#include "lists/gamelist.h"

#include <QStringList>

namespace
{
std::function<void()> &listPaneRefresher()
{
    static std::function<void()> refresher;
    return refresher;
}

const char *const PAGE_LINES[] = {
    "<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Transitional//EN\" "
    "\"http://www.w3.org/TR/xhtml1/DTD/xhtml1-transitional.dtd\">"
    "<html xmlns=\"http://www.w3.org/1999/xhtml\">"
    "<head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=gb2312\" /><title></title>"
    "<style>*{padding:0;margin:0;}img{border:0;}body,html{border:0px;background-color:#F5F5F5;"
    "font-size:12px;color:#000000;overflow-x:hidden;overflow-y:auto;}"
    "a:link,a:visited,a:active{color:#000000;text-decoration:none;}a:hover{color:red}"
    ".f{floa:left;width:100%}.f li{float:left;list-style:none;width:33%;height:25px;"
    "line-height:25px;text-align:left;border-bottom:1px solid #CBD5E5;border-top:1px solid #ffffff;"
    " cursor:default}.f li a,.f li em{margin-left:10px;}.f li em{font-style:normal;"
    "background:url(i.gif) no-repeat;width:30px;}.f li img{}.f li.t2 em{display:none;}"
    ".f li.t1 em{}</style></head><body><div class=\"f\" id=\"tab\"><ul><vod></ul></div>",
    "<script language='javascript'>var Ptr=document.getElementById('tab').getElementsByTagName('li');",
    "function $() {for (i=0;i<Ptr.length;i++){Ptr[i].className = 't2';}}",
    "window.onload=$;",
    "for(var i=0;i<Ptr.length;i++){Ptr[i].onmouseover=function(){this.className = \"t1\";};",
    "Ptr[i].onmouseout=function(){this.className=\"t2\";};}</script></body></html>",
};

const QString POINTS_MARKER = QStringLiteral("<font color=red>[积分]</font> ");
const QString EMPTY_LIST_TEXT = QStringLiteral(
    "<div style=\"float:left;width:100%;text-align:center;padding-top:30px;\">暂无记录</div>");

int hexValue(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    return -1;
}

// Value of `count` hex digits at `pos`, or -1.
int hexNumber(const QString &text, qsizetype pos, int count)
{
    int value = 0;
    for (int i = 0; i < count; ++i) {
        const int digit = hexValue(text.at(pos + i));
        if (digit < 0)
            return -1;
        value = value * 16 + digit;
    }
    return value;
}

// Names come from portal pages; inserted raw they could carry script into a
// local page that is allowed to send play commands.
QString escapeHtml(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '&': out += QLatin1String("&amp;"); break;
        case '<': out += QLatin1String("&lt;"); break;
        case '>': out += QLatin1String("&gt;"); break;
        case '"': out += QLatin1String("&quot;"); break;
        default: out += c;
        }
    }
    return out;
}

QString itemsOf(const QStringList &lines)
{
    QString items;
    for (int i = 0; i < lines.size(); ++i) {
        const QString &line = lines.at(i);
        if (!line.contains(QLatin1Char('|')))
            continue;
        const QStringList fields = line.split(QLatin1Char('|'));
        QString display = escapeHtml(UnescapeText(fields.at(0)));
        if (fields.size() > 3 && fields.at(3) == QLatin1String("0"))
            display += POINTS_MARKER;
        if (display.isEmpty())
            continue;
        const QString n = QString::number(i + 1);
        items += QLatin1String("<li><a href=open://") + n + QStringLiteral(">·") + display
            + QLatin1String("</a><em><a href=delk://") + n + QLatin1String("> </a></em></li>");
    }
    return items;
}
}

QString PageNameFor(const QString &listFile)
{
    if (listFile == QLatin1String("date_c.dat"))
        return QStringLiteral("c.htm");
    if (listFile == QLatin1String("date_n.dat"))
        return QStringLiteral("n.htm");
    return QStringLiteral("d.htm");
}

QString UnescapeText(const QString &text)
{
    QString out;
    out.reserve(text.size());
    const qsizetype len = text.size();
    qsizetype i = 0;
    while (i < len) {
        const QChar c = text.at(i);
        const qsizetype following = len - i - 1;
        if (c == QLatin1Char('%') && following >= 5 && text.at(i + 1) == QLatin1Char('u')) {
            const int code = hexNumber(text, i + 2, 4);
            if (code >= 0) {
                out += QChar(char16_t(code));
                i += 6;
            } else {
                out += c;
                ++i;
            }
        } else if (c == QLatin1Char('%') && following >= 2) {
            const int code = hexNumber(text, i + 1, 2);
            if (code >= 0) {
                out += QChar(char16_t(code));
                i += 3;
            } else {
                ++i;
            }
        } else {
            out += c;
            ++i;
        }
    }
    return out;
}

QByteArray ListPageBytes(const QStringList &lines)
{
    QString items = itemsOf(lines);
    if (items.isEmpty())
        items = EMPTY_LIST_TEXT;

    QString page;
    for (const char *line : PAGE_LINES)
        page += QString::fromUtf8(line) + QLatin1String("\r\n");
    page.replace(QLatin1String("<vod>"), items);
    return TextCodec::toAnsi(page);
}

bool GenerateListPage(const AppPaths &paths, const QString &listFile)
{
    const auto lines = ReadListLines(paths.dataFile(listFile));
    if (!lines)
        return false;
    const bool written = SafeFile::writeWhole(paths.dataFile(PageNameFor(listFile)), ListPageBytes(*lines));
    RefreshListPane();
    return written;
}

void RefreshListPane()
{
    if (listPaneRefresher())
        listPaneRefresher()();
}

void SetListPaneRefresher(std::function<void()> refresher)
{
    listPaneRefresher() = std::move(refresher);
}
