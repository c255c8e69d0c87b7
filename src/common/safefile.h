#pragma once

#include <QByteArray>
#include <QString>

namespace SafeFile
{
// Replaces the file at `path` with `data` through a temporary file in the same
// folder that is renamed over the old one, so a crash or a full disk leaves
// either the old file or the new one, never a half-written file. Returns false
// (old file untouched) on any failure.
bool writeWhole(const QString &path, const QByteArray &data);
}
