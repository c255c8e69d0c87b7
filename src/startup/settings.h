#pragma once

// Every setting the program keeps in config.ini, named once with its type:
// its section, its key and the value a first start writes (and a repair puts
// back). Every read and write of the file goes through these names; the
// file's layout and bytes are those of settingsstore.h.
//
// A key that is missing reads as "0", like an unset value. The type of a
// setting says how its text is taken:
//   Setting<QString>  the text as it stands;
//   Setting<int>      a whole number: "2 " is 2, anything else not a number 0;
//   Setting<bool>     an option: "1" is off, any other value on; written as
//                     "2" (on) or "1" (off).

#include <QString>

#include <functional>

// Where a setting stands and its first-run value, whatever its type.
struct SettingKey
{
    const char *section;
    const char *key;
    // Written by the first start; nullptr: the start works it out.
    const char *firstRun;
};

template <typename T>
struct Setting : SettingKey
{
};

namespace Settings
{
// Section main.
inline constexpr Setting<QString> NAME{{"main", "Name", "Kavo游戏盒"}};
inline constexpr Setting<QString> USER{{"main", "user", nullptr}}; // the user identifier
inline constexpr Setting<QString> VER{{"main", "Ver", "1.0"}};     // the version an update check compares
// Section Ver: the version this build installed, kept for information.
inline constexpr Setting<QString> INSTALLED{{"Ver", "Name", "1.0"}};
// Section S_q: the window and the settings dialog.
inline constexpr Setting<int> TS{{"S_q", "ts", "3"}};          // 3: the close button asks once
inline constexpr Setting<bool> QUIT{{"S_q", "quit", "2"}};     // on: closing hides to the tray, off: quits
// 2: the saved window size comes back; the settings dialog shows every value
// but 1 as on, so a 7 shows on and restores nothing.
inline constexpr Setting<int> S_SIZE{{"S_q", "s_size", "2"}};
inline constexpr Setting<int> H_W{{"S_q", "h_w", "13550"}};    // the saved size, in twips
inline constexpr Setting<int> H_H{{"S_q", "h_h", "9210"}};
inline constexpr Setting<bool> S_KAI{{"S_q", "s_kai", "1"}};   // start with the desktop
inline constexpr Setting<bool> S_PAO{{"S_q", "s_pao", "2"}};   // notification balloons

QString Read(const QString &path, const Setting<QString> &setting);
int Read(const QString &path, const Setting<int> &setting);
bool Read(const QString &path, const Setting<bool> &setting);

void Write(const QString &path, const Setting<QString> &setting, const QString &value);
void Write(const QString &path, const Setting<int> &setting, int value);
void Write(const QString &path, const Setting<bool> &setting, bool on);

} // namespace Settings

// Writes the first-run values when the file does not exist, then repairs
// values that are missing or out of range. `macText` supplies the user
// identifier when one is needed.
void InitSettings(const QString &path, const std::function<QString()> &macText);
