#pragma once

#include <QByteArray>
#include <QString>

// Which of the toolkit's display platforms the program runs on.
//
// On a Wayland session with XWayland beside it (GNOME and KDE today), the
// toolkit picks its native Wayland platform whenever its plug-in is
// installed. There a program cannot take a key for the whole desktop, place
// its own windows or keep one above the others; under XWayland it can (the
// boss key's grab, the window's place and state, always-on-top). So when an
// X display answers, the program runs on it (xcb); with no X display, on
// Wayland. A platform the user chose (QT_QPA_PLATFORM) always stands.
struct DisplayChoice
{
    // The platform to ask for; empty: leave the toolkit's choice (the user's).
    QByteArray platform;
    // No display at all: the program cannot start, and says so with `message`.
    bool noDisplay = false;
    QString message;
};

DisplayChoice ChooseDisplayPlatform(const QByteArray &userChoice, bool xDisplayAnswers, bool waylandDisplaySet);
