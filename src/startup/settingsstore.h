#pragma once

#include <QList>
#include <QString>

// config.ini: a Windows-style INI file in GBK with CR LF line ends. There is
// no settings object in memory; every read opens the file and every write
// rewrites it at once (through a temporary file, so a failed write leaves the
// old file as it was). The program's settings go through startup/settings.h;
// this layer knows no setting by name.

// Section and key names are matched without regard to case. A missing key
// (or section, or file) gives `def`; a key present with an empty value gives
// the empty text. A value longer than 254 GBK bytes reads as its first 254
// bytes, never ending in half a double-byte character.
QString ReadIniValue(const QString &path, const QString &section, const QString &key,
                     const QString &def);

// Replaces the value where the key stands, appends a new key at the end of its
// section, appends a missing section at the end of the file and creates a
// missing file. Failures are not reported.
void WriteIniValue(const QString &path, const QString &section, const QString &key,
                   const QString &value);

struct IniValue
{
    QString section;
    QString key;
    QString value;
};

// Sets the values in their order as WriteIniValue would one by one, in a
// single rewrite of the file.
void WriteIniValues(const QString &path, const QList<IniValue> &values);
