#pragma once

// Every setting the program keeps in config.ini, named once: its section, its
// key and the value a first start writes (and a repair puts back). Reading and
// writing go through these names; the file's layout and bytes are those of
// settingsstore.h.
//
// A key that is missing reads as "0", like an unset value. How a value is
// taken depends on its use: as text, as a whole number (`Whole`: "2 " is 2,
// anything else not a number is 0), as a leading number (`Number`: "2abc" is
// 2), or as an option of the settings dialog (`Option`: "1" is off, any other
// value on).

#include <QString>

struct Setting
{
    const char *section;
    const char *key;
    // Written by the first start; nullptr: the start works it out.
    const char *firstRun;
};

namespace Settings
{
// Section main.
inline constexpr Setting NAME{"main", "Name", "Kavo游戏盒"};
inline constexpr Setting USER{"main", "user", nullptr}; // the user identifier
inline constexpr Setting VER{"main", "Ver", "1.0"};     // the version an update check compares
// Section Ver: the version this build installed, kept for information.
inline constexpr Setting INSTALLED{"Ver", "Name", "1.0"};
// Section S_q: the window and the settings dialog.
inline constexpr Setting TS{"S_q", "ts", "3"};          // 3: the close button asks once
inline constexpr Setting QUIT{"S_q", "quit", "2"};      // 1: closing quits, 2: hides to the tray
inline constexpr Setting S_SIZE{"S_q", "s_size", "2"};  // 2: the saved window size comes back
inline constexpr Setting H_W{"S_q", "h_w", "13550"};    // the saved size, in twips
inline constexpr Setting H_H{"S_q", "h_h", "9210"};
inline constexpr Setting S_KAI{"S_q", "s_kai", "1"};    // start with the desktop
inline constexpr Setting S_PAO{"S_q", "s_pao", "2"};    // notification balloons

// The settings a first start writes, in the order they stand in the file.
inline constexpr Setting FIRST_RUN[] = {NAME, USER, VER, TS, QUIT, S_SIZE, H_W, H_H, S_KAI, S_PAO};

QString Text(const QString &path, const Setting &setting, const QString &missing = QStringLiteral("0"));
int Whole(const QString &path, const Setting &setting);
double Number(const QString &path, const Setting &setting);
bool Option(const QString &path, const Setting &setting);

void Write(const QString &path, const Setting &setting, const QString &value);
void WriteWhole(const QString &path, const Setting &setting, int value);
void WriteOption(const QString &path, const Setting &setting, bool on);

} // namespace Settings
