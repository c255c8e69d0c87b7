#include "dialogs/settingsoptions.h"

#include "dialogs/autostart.h"
#include "startup/settingsstore.h"

namespace
{
const QString SECTION = QStringLiteral("S_q");

bool readOption(const QString &configPath, const QString &key)
{
    return SettingWhole(ReadIniValue(configPath, SECTION, key, QStringLiteral("0"))) != 1;
}

void writeOption(const QString &configPath, const QString &key, bool on)
{
    WriteIniValue(configPath, SECTION, key, on ? QStringLiteral("2") : QStringLiteral("1"));
}
} // namespace

SettingsOptions ReadSettingsOptions(const QString &configPath)
{
    SettingsOptions options;
    options.closeToTray = readOption(configPath, QStringLiteral("quit"));
    options.keepSize = readOption(configPath, QStringLiteral("s_size"));
    options.balloons = readOption(configPath, QStringLiteral("s_pao"));
    options.autoStart = readOption(configPath, QStringLiteral("s_kai"));
    return options;
}

void WriteSettingsOptions(const QString &configPath, const SettingsOptions &options,
                          const QString &autostartFolder, const QString &command)
{
    writeOption(configPath, QStringLiteral("s_size"), options.keepSize);
    writeOption(configPath, QStringLiteral("s_kai"), options.autoStart);
    if (options.autoStart)
        Autostart::Write(autostartFolder, command);
    else
        Autostart::Remove(autostartFolder);
    writeOption(configPath, QStringLiteral("s_pao"), options.balloons);
    writeOption(configPath, QStringLiteral("quit"), options.closeToTray);
}
