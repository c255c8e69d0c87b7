#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>

// The list files and how they are read: the three game lists live in
// <app>/app as "date_n.dat" (recently played), "date_c.dat" (favourites) and
// "date_d.dat" (downloads), each with its generated page "n.htm", "c.htm" or
// "d.htm" beside it. A list file is GBK text with CR LF line ends, one record
// per line as name|id|address|kind. Every other file names the lists through
// the functions here.

QString RecentListFile();     // "date_n.dat"
QString FavouritesListFile(); // "date_c.dat"
QString DownloadsListFile();  // "date_d.dat"

// The three list files, in the order start-up creates them.
QStringList GameListFiles();

// "c.htm" for "date_c.dat", "n.htm" for "date_n.dat", "d.htm" for any other.
QString PageNameFor(const QString &listFile);

// The bytes of a list file; nothing when it cannot be read.
std::optional<QByteArray> ReadListBytes(const QString &filePath);
// The decoded text of a list file; nothing when it cannot be read.
std::optional<QString> ReadListText(const QString &filePath);

// Lines of a list file: split at CR LF, a final line without CR LF counts as
// a line. Nothing when the file cannot be read.
std::optional<QStringList> ReadListLines(const QString &filePath);

// The lines of a list file's text, split as ReadListLines splits them, as
// views into the text.
QList<QStringView> ListLineViews(QStringView text);
// The same for a list file's bytes when they are all ASCII: then bytes and
// characters are one to one (TextCodec::isAscii).
QList<QByteArrayView> ListLineViews(QByteArrayView asciiText);

// Field `index` (from 0) of a line split at "|"; a null view when the line has
// fewer fields. Field 0 of a line without "|" is the whole line.
QStringView ListField(QStringView line, int index);
QByteArrayView ListField(QByteArrayView line, int index);
