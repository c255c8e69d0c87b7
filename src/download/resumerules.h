#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

// What a broken-off download keeps and how the next try goes on from it,
// without network or files: the record kept beside the partial data, the
// range request made of it, and what an answer means for the data kept.
//
// A download into "<file>" keeps its data in "<file>.part" and the record in
// "<file>.part.info"; the record names the address and the server's
// validator of the file, so that data of another address or of a file the
// server has since changed is never continued.
namespace DlResume
{
inline constexpr qint64 MAX_RECORD_SIZE = 4096;

QString partialPath(const QString &target);
QString recordPath(const QString &target);

// Which kept file a name in the download folder is: the partial data of
// "<target>", its record, or a temporary of the record that a kill during
// its rewrite left behind; target is then "<target>"'s file name.
enum class KeptKind { None, Partial, Record, RecordTemporary };
struct KeptFile {
    KeptKind kind = KeptKind::None;
    QString target;
};
KeptFile keptFileOf(const QString &fileName);

struct Record {
    QString url;
    QByteArray validator; // a strong ETag (quotes included) or a Last-Modified date
    qint64 total = -1;    // the whole file's size, -1 when the server did not say
};

// "kavo-partial 1", then one "key=value" line each for url, validator, total.
QByteArray encodeRecord(const Record &record);
// Nothing for anything but a record as encodeRecord writes it: another
// format, a missing or empty url or validator, a bad size, a line break
// inside a value, more than MAX_RECORD_SIZE bytes.
std::optional<Record> decodeRecord(QByteArrayView bytes);

// The validator an If-Range may carry: a strong ETag, else the
// Last-Modified date; empty when the answer has neither (a weak ETag does
// not count: a range of a weakly equal file may differ byte for byte).
QByteArray validatorOf(QByteArrayView etag, QByteArrayView lastModified);

struct Request {
    qint64 from = 0;     // 0: the whole file, no range
    QByteArray range;    // "bytes=N-", empty when from is 0
    QByteArray ifRange;  // the record's validator, empty when from is 0
};
// The request for `url` given what was kept: `partSize` bytes of data and
// its record (if one could be read). Only data of the same address with a
// validator, and less than the whole file, is continued.
Request planRequest(const std::optional<Record> &record, const QString &url, qint64 partSize);

enum class Outcome {
    Append,  // the answer continues the kept data
    Fresh,   // the answer is the whole file: the kept data goes, this replaces it
    Restart, // the answer fits nothing kept: ask again for the whole file
};
struct Answer {
    Outcome outcome = Outcome::Fresh;
    qint64 total = -1; // the whole file's size, -1 when unknown
};
// What a successful (2xx) or 416 answer to a request made from `from`
// means. `contentRange` is the Content-Range header, `contentLength` the
// body's length (-1 when unknown).
Answer judgeAnswer(qint64 from, int httpStatus, QByteArrayView contentRange, qint64 contentLength);
}
