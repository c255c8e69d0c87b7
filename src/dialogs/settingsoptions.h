#pragma once

#include <QString>

// The four options of the settings dialog as config.ini keeps them (section
// S_q): "1" is off, "2" is on. Reading counts every value other than the
// number 1 as on (a first-run file, a missing key, a 5). The autostart entry
// of the desktop is not consulted when reading.
struct SettingsOptions
{
    bool keepSize = true;    // s_size: restore the saved window size at start
    bool autoStart = false;  // s_kai: start with the desktop
    bool balloons = true;    // s_pao: notification balloons
    bool closeToTray = true; // quit: closing hides to the notification area
};

SettingsOptions ReadSettingsOptions(const QString &configPath);

// Writes every option, in the order s_size, s_kai, s_pao, quit. Right after
// s_kai the autostart entry in `autostartFolder` is written (starting
// `command`) or removed; its failure changes nothing else.
void WriteSettingsOptions(const QString &configPath, const SettingsOptions &options,
                          const QString &autostartFolder, const QString &command);
