#pragma once

#include <QString>

#include <functional>

// The notification balloon ("Kavo游戏盒提示:" with one text). Callers build the
// text; the notification-area icon installs the presenter that shows it.
// Without a presenter the text is only remembered.
void TrayBalloon(const QString &text);

void SetBalloonPresenter(std::function<void(const QString &text)> presenter);

// The text of the last balloon asked for (empty before the first).
QString LastBalloonText();
