#pragma once

#include <QString>

// Copies the installed application folder (build/kavo: the executable and
// the installed files of app/) to `to`, leaving out everything a run of the
// program may have stored there (config.ini, list files and pages, flash/),
// so a test starts from a fresh installation.
bool CopyInstalledApplication(const QString &to);
