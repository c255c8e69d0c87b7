#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace SafeFile
{
struct Content
{
    QString path;
    QByteArray data;
};

// Replaces the file at `path` with `data` through a temporary file in the same
// folder that is written completely, synced and then renamed over the old one,
// after which the folder is synced too. A crash, a kill or a full disk leaves
// either the old file or the new one, never a half-written file. Returns false
// (old file untouched, no temporary file left) on any failure.
bool writeWhole(const QString &path, const QByteArray &data);

// Replaces several files that must agree with each other. Every file is first
// written completely to its own synced temporary file; only when all of them
// are written are they renamed into place, in the given order, and their
// folders synced. When any file cannot be written, no file is touched and
// false is returned. `placed` receives how many files were renamed into place:
// all of them on success, 0 when writing failed, and in between only when a
// rename itself failed (something else holds the name, such as a folder).
bool writeTogether(const QList<Content> &files, qsizetype *placed = nullptr);

// Whether `fileName` is a temporary name this program uses for `targetName`
// in the same folder: the target's name, ".", then six letters or digits.
// A kill between writing and renaming can leave such a file behind.
bool isTemporaryNameFor(const QString &fileName, const QString &targetName);
}
