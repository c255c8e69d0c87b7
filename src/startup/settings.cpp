#include "startup/settings.h"

#include "startup/settingsstore.h"

#include <QFileInfo>

namespace
{
QString name(const char *text)
{
    return QString::fromUtf8(text);
}

QString stored(const QString &path, const SettingKey &setting, const QString &missing = QStringLiteral("0"))
{
    return ReadIniValue(path, name(setting.section), name(setting.key), missing);
}

void store(const QString &path, const SettingKey &setting, const QString &value)
{
    WriteIniValue(path, name(setting.section), name(setting.key), value);
}

// A value that is empty or not a number counts as 0.
int whole(const QString &text)
{
    bool ok = false;
    const int v = text.trimmed().toInt(&ok);
    return ok ? v : 0;
}

QString firstRun(const SettingKey &setting)
{
    return name(setting.firstRun);
}
} // namespace

QString Settings::Read(const QString &path, const Setting<QString> &setting)
{
    return stored(path, setting);
}

int Settings::Read(const QString &path, const Setting<int> &setting)
{
    return whole(stored(path, setting));
}

bool Settings::Read(const QString &path, const Setting<bool> &setting)
{
    return whole(stored(path, setting)) != 1;
}

void Settings::Write(const QString &path, const Setting<QString> &setting, const QString &value)
{
    store(path, setting, value);
}

void Settings::Write(const QString &path, const Setting<int> &setting, int value)
{
    store(path, setting, QString::number(value));
}

void Settings::Write(const QString &path, const Setting<bool> &setting, bool on)
{
    store(path, setting, on ? QStringLiteral("2") : QStringLiteral("1"));
}

void InitSettings(const QString &path, const std::function<QString()> &macText)
{
    using namespace Settings;

    if (!QFileInfo::exists(path)) {
        // The first start's settings, in the order they stand in the file,
        // written in one go.
        const SettingKey order[] = {NAME, USER, VER, TS, QUIT, S_SIZE, H_W, H_H, S_KAI, S_PAO};
        QList<IniValue> values;
        for (const SettingKey &setting : order)
            values.append({name(setting.section), name(setting.key),
                           setting.firstRun ? firstRun(setting) : macText()});
        WriteIniValues(path, values);
    }

    const QString user = Read(path, USER);
    if (user == QLatin1String("0") || user.isEmpty())
        Write(path, USER, macText());
    // A file without a version (one made before the first start, without the
    // section main) gets this build's where the update check reads it;
    // without it every start would offer an update.
    // An updater may record a newer version in main/Ver; it is kept, and only
    // the informational Ver section notes the version this build installed.
    if (stored(path, VER, QString()).isEmpty())
        store(path, VER, firstRun(VER));
    else if (Read(path, VER) != firstRun(VER))
        store(path, INSTALLED, firstRun(INSTALLED));
    const int ts = Read(path, TS);
    if (ts != 1 && ts != 2)
        store(path, TS, firstRun(TS));
    // A value that is no number, or 0, is put back to its first-run value.
    const SettingKey repaired[] = {QUIT, S_SIZE, H_W, H_H, S_PAO, S_KAI};
    for (const SettingKey &setting : repaired)
        if (whole(stored(path, setting)) == 0)
            store(path, setting, firstRun(setting));
}
