#include "lists/listpage.h"

#include "common/safefile.h"
#include "common/scriptunescape.h"
#include "common/textcodec.h"

#include <QStringList>

#include <charconv>
#include <cstring>
#include <string>
#include <string_view>

namespace
{
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

// Names come from portal pages; inserted raw they could carry script into a
// local page that is allowed to send play commands.
void appendEscapedHtml(std::u16string_view text, std::u16string &out)
{
    for (const char16_t c : text) {
        switch (c) {
        case '&': out += u"&amp;"; break;
        case '<': out += u"&lt;"; break;
        case '>': out += u"&gt;"; break;
        case '"': out += u"&quot;"; break;
        default: out.push_back(c);
        }
    }
}

// The page's fixed texts, encoded once.
struct PageTexts
{
    QByteArray head; // up to the items
    QByteArray tail; // after them
    QByteArray dot;
    QByteArray points;
    QByteArray empty;
};

const PageTexts &pageTexts()
{
    static const PageTexts texts = [] {
        QString page;
        for (const char *line : PAGE_LINES)
            page += QString::fromUtf8(line) + QLatin1String("\r\n");
        const qsizetype at = page.indexOf(QLatin1String("<vod>"));
        return PageTexts{TextCodec::toAnsi(page.left(at)), TextCodec::toAnsi(page.mid(at + 5)),
                         TextCodec::toAnsi(QStringLiteral("·")), TextCodec::toAnsi(POINTS_MARKER),
                         TextCodec::toAnsi(EMPTY_LIST_TEXT)};
    }();
    return texts;
}

// Whether a name holds a character the page must escape. All of them are
// ASCII below "?", so nearly every character is passed over by one test.
bool needsEscape(std::u16string_view text)
{
    for (const char16_t c : text) {
        if (c <= u'>' && (c == u'&' || c == u'<' || c == u'>' || c == u'"'))
            return true;
    }
    return false;
}

// The page's bytes, put together in place. room() makes sure of the space
// for what follows; the puts after it do not check again.
class PageWriter
{
public:
    explicit PageWriter(qsizetype expected) : m_bytes(expected, Qt::Uninitialized), m_at(m_bytes.data()) {}

    void room(qsizetype size)
    {
        const qsizetype used = m_at - m_bytes.constData();
        if (used + size > m_bytes.size()) {
            m_bytes.resize(qMax(m_bytes.size() * 2, used + size));
            m_at = m_bytes.data() + used;
        }
    }
    void put(const char *text, qsizetype size)
    {
        std::memcpy(m_at, text, size_t(size));
        m_at += size;
    }
    template<qsizetype N>
    void put(const char (&text)[N]) { put(text, N - 1); }
    void put(const QByteArray &bytes) { put(bytes.constData(), bytes.size()); }
    void putNumber(int n) { m_at = std::to_chars(m_at, m_at + MAX_DIGITS, n).ptr; }
    // Takes at most two bytes a unit.
    void putAnsi(QStringView text) { m_at = TextCodec::encodeAnsi(text, m_at); }
    void putWhole(const QByteArray &bytes)
    {
        room(bytes.size());
        put(bytes);
    }

    qsizetype size() const { return m_at - m_bytes.constData(); }
    QByteArray take()
    {
        m_bytes.truncate(size());
        return std::move(m_bytes);
    }

    static constexpr qsizetype MAX_DIGITS = 11;

private:
    QByteArray m_bytes;
    char *m_at;
};

// A list page is written for every list change, so the items go straight
// into the page in their encoded form, without a string for every field.
// Each character is encoded on its own, so the bytes are those of the whole
// page encoded at once. Returns false when there are no items.
template<typename View>
bool putItems(const QList<View> &lines, PageWriter &page)
{
    const PageTexts &texts = pageTexts();
    // An item's markup around its name and numbers.
    const qsizetype markup = 64 + texts.dot.size() + texts.points.size() + 2 * PageWriter::MAX_DIGITS;
    const qsizetype before = page.size();
    std::u16string name;
    std::u16string html;
    for (int i = 0; i < lines.size(); ++i) {
        const View line = lines.at(i);
        const View first = ListField(line, 0);
        if (first.size() == line.size())
            continue; // no "|": not a record
        name.clear();
        AppendUnescaped(first, name);
        const View kind = ListField(line.sliced(first.size() + 1), 2);
        const bool points = kind.size() == 1 && kind.front() == '0';
        if (name.empty() && !points)
            continue;
        // Most names hold nothing to escape.
        const bool plain = !needsEscape(name);
        if (!plain) {
            html.clear();
            appendEscapedHtml(name, html);
        }
        const std::u16string &shown = plain ? name : html;
        page.room(markup + 2 * qsizetype(shown.size()));
        page.put("<li><a href=open://");
        page.putNumber(i + 1);
        page.put(">");
        page.put(texts.dot);
        page.putAnsi(QStringView(shown));
        if (points)
            page.put(texts.points);
        page.put("</a><em><a href=delk://");
        page.putNumber(i + 1);
        page.put("> </a></em></li>");
    }
    return page.size() != before;
}

template<typename View>
QByteArray pageBytes(const QList<View> &lines)
{
    const PageTexts &texts = pageTexts();
    PageWriter page(texts.head.size() + texts.tail.size() + lines.size() * 96);
    page.putWhole(texts.head);
    if (!putItems(lines, page))
        page.putWhole(texts.empty);
    page.putWhole(texts.tail);
    return page.take();
}
}

QByteArray ListPageBytes(const QStringList &lines)
{
    QList<QStringView> views;
    views.reserve(lines.size());
    for (const QString &line : lines)
        views.append(line);
    return ListPageBytes(views);
}

QByteArray ListPageBytes(const QList<QStringView> &lines)
{
    return pageBytes(lines);
}

QByteArray ListPageBytes(const QList<QByteArrayView> &asciiLines)
{
    return pageBytes(asciiLines);
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

ListPageEvents *ListPageEvents::instance()
{
    static ListPageEvents events;
    return &events;
}

void RefreshListPane()
{
    Q_EMIT ListPageEvents::instance()->pageChanged();
}
