#pragma once

// Whole files and folder listings for the tests. A file that cannot be read
// reads as "<missing>", so that it never equals an empty file.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>

// The bytes of the file at `path`, or "<missing>".
QByteArray ReadFile(const QString &path);
// Replaces the file at `path` with `bytes`, making its folder first; gives it
// `permissions` when there are any.
bool WriteFile(const QString &path, const QByteArray &bytes, QFile::Permissions permissions = {});

// What `filters` picks under `dir`, all the way down (hidden and system
// entries too unless left out), relative to `dir` and sorted.
QStringList EntriesUnder(const QString &dir, QDir::Filters filters = QDir::AllEntries | QDir::Hidden | QDir::System);
// The files under `dir`, hidden ones too.
QStringList FilesUnder(const QString &dir);
