#pragma once

#include <QString>
#include <QStringList>

// Copies the installed application folder (build/kavo: the executable and
// the installed files of app/) to `to`, leaving out everything a run of the
// program may have stored there (config.ini, list files and pages, flash/),
// so a test starts from a fresh installation.
bool CopyInstalledApplication(const QString &to);

// The files under `dir` (hidden ones too), relative to it, sorted.
QStringList FilesUnder(const QString &dir);
