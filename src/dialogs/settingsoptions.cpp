#include "dialogs/settingsoptions.h"

#include "dialogs/autostart.h"
#include "startup/settings.h"

SettingsOptions ReadSettingsOptions(const QString &configPath)
{
    SettingsOptions options;
    options.closeToTray = Settings::Read(configPath, Settings::QUIT);
    options.keepSize = Settings::Read(configPath, Settings::S_SIZE) != 1;
    options.balloons = Settings::Read(configPath, Settings::S_PAO);
    options.autoStart = Settings::Read(configPath, Settings::S_KAI);
    return options;
}

void WriteSettingsOptions(const QString &configPath, const SettingsOptions &options,
                          const QString &autostartFolder, const QString &command)
{
    Settings::Write(configPath, Settings::S_SIZE, options.keepSize ? 2 : 1);
    Settings::Write(configPath, Settings::S_KAI, options.autoStart);
    if (options.autoStart)
        Autostart::Write(autostartFolder, command);
    else
        Autostart::Remove(autostartFolder);
    Settings::Write(configPath, Settings::S_PAO, options.balloons);
    Settings::Write(configPath, Settings::QUIT, options.closeToTray);
}
