#include "download/resumerules.h"

#include "common/safefile.h"

#include <QList>

namespace DlResume
{
namespace
{
const QByteArray MAGIC = QByteArrayLiteral("kavo-partial 1");

std::optional<qint64> number(QByteArrayView text)
{
    if (text.isEmpty() || text.size() > 18)
        return std::nullopt;
    qint64 value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

bool oneLine(QByteArrayView text)
{
    return !text.contains('\n') && !text.contains('\r');
}
}

QString partialPath(const QString &target)
{
    return target + QStringLiteral(".part");
}

QString recordPath(const QString &target)
{
    return target + QStringLiteral(".part.info");
}

KeptFile keptFileOf(const QString &fileName)
{
    static const QString partial = QStringLiteral(".part");
    static const QString record = QStringLiteral(".part.info");
    if (fileName.endsWith(record) && fileName.size() > record.size())
        return {KeptKind::Record, fileName.chopped(record.size())};
    if (fileName.endsWith(partial) && fileName.size() > partial.size())
        return {KeptKind::Partial, fileName.chopped(partial.size())};
    // "<target>.part.info." and six letters or digits
    const qsizetype cut = fileName.lastIndexOf(record + u'.');
    if (cut > 0 && SafeFile::isTemporaryNameFor(fileName, fileName.left(cut + record.size())))
        return {KeptKind::RecordTemporary, fileName.left(cut)};
    return {};
}

QByteArray encodeRecord(const Record &record)
{
    return MAGIC + "\nurl=" + record.url.toUtf8() + "\nvalidator=" + record.validator + "\ntotal="
        + QByteArray::number(record.total) + '\n';
}

std::optional<Record> decodeRecord(QByteArrayView bytes)
{
    if (bytes.size() > MAX_RECORD_SIZE || !bytes.endsWith('\n'))
        return std::nullopt;
    const QList<QByteArray> lines = bytes.first(bytes.size() - 1).toByteArray().split('\n');
    if (lines.size() != 4 || lines[0] != MAGIC || !lines[1].startsWith("url=")
        || !lines[2].startsWith("validator=") || !lines[3].startsWith("total="))
        return std::nullopt;
    Record record;
    record.url = QString::fromUtf8(lines[1].mid(4));
    record.validator = lines[2].mid(10);
    const QByteArray total = lines[3].mid(6);
    if (total == "-1") {
        record.total = -1;
    } else if (const auto n = number(total)) {
        record.total = *n;
    } else {
        return std::nullopt;
    }
    // Written only as encodeRecord writes it: no other spelling of the same.
    if (record.url.isEmpty() || record.validator.isEmpty() || lines[1].contains('\r')
        || lines[2].contains('\r') || record.url.toUtf8() != lines[1].mid(4)
        || QByteArray::number(record.total) != total)
        return std::nullopt;
    return record;
}

QByteArray validatorOf(QByteArrayView etag, QByteArrayView lastModified)
{
    const QByteArrayView tag = etag.trimmed();
    if (tag.size() >= 2 && tag.front() == '"' && tag.back() == '"' && oneLine(tag))
        return tag.toByteArray();
    const QByteArrayView date = lastModified.trimmed();
    return oneLine(date) ? date.toByteArray() : QByteArray();
}

Request planRequest(const std::optional<Record> &record, const QString &url, qint64 partSize)
{
    if (!record || record->url != url || record->validator.isEmpty() || partSize <= 0
        || (record->total >= 0 && partSize >= record->total))
        return {};
    return {partSize, "bytes=" + QByteArray::number(partSize) + '-', record->validator};
}

Answer judgeAnswer(qint64 from, int httpStatus, QByteArrayView contentRange, qint64 contentLength)
{
    if (httpStatus == 416)
        return {from > 0 ? Outcome::Restart : Outcome::Fresh, -1};
    if (httpStatus != 206)
        return {Outcome::Fresh, contentLength >= 0 ? contentLength : -1};

    // "bytes FIRST-LAST/TOTAL", TOTAL possibly "*"
    QByteArrayView text = contentRange.trimmed();
    if (!text.startsWith("bytes "))
        return {Outcome::Restart, -1};
    text = text.sliced(6).trimmed();
    const qsizetype dash = text.indexOf('-');
    const qsizetype slash = text.indexOf('/');
    if (dash <= 0 || slash <= dash)
        return {Outcome::Restart, -1};
    const auto first = number(text.first(dash));
    const auto last = number(text.sliced(dash + 1, slash - dash - 1));
    const QByteArrayView totalText = text.sliced(slash + 1);
    const auto total = totalText == "*" ? std::optional<qint64>(-1) : number(totalText);
    if (!first || !last || !total || *first != from || *last < *first
        || (*total >= 0 && *last >= *total)
        || (contentLength >= 0 && contentLength != *last - *first + 1))
        return {Outcome::Restart, -1};
    // A range that stops short of the end would leave the file incomplete.
    if (*total >= 0 && *last != *total - 1)
        return {Outcome::Restart, -1};
    return {Outcome::Append, *total};
}
}
