#include "dialogs/settingsoptions.h"

#include "dialogs/autostart.h"
#include "startup/settings.h"

SettingsOptions ReadSettingsOptions(const QString &configPath)
{
    SettingsOptions options;
    options.closeToTray = Settings::Option(configPath, Settings::QUIT);
    options.keepSize = Settings::Option(configPath, Settings::S_SIZE);
    options.balloons = Settings::Option(configPath, Settings::S_PAO);
    options.autoStart = Settings::Option(configPath, Settings::S_KAI);
    return options;
}

void WriteSettingsOptions(const QString &configPath, const SettingsOptions &options,
                          const QString &autostartFolder, const QString &command)
{
    Settings::WriteOption(configPath, Settings::S_SIZE, options.keepSize);
    Settings::WriteOption(configPath, Settings::S_KAI, options.autoStart);
    if (options.autoStart)
        Autostart::Write(autostartFolder, command);
    else
        Autostart::Remove(autostartFolder);
    Settings::WriteOption(configPath, Settings::S_PAO, options.balloons);
    Settings::WriteOption(configPath, Settings::QUIT, options.closeToTray);
}
