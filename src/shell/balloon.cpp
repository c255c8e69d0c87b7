#include "shell/balloon.h"

namespace
{
std::function<void(const QString &)> &presenter()
{
    static std::function<void(const QString &)> p;
    return p;
}

QString &lastText()
{
    static QString text;
    return text;
}
}

void TrayBalloon(const QString &text)
{
    lastText() = text;
    if (presenter())
        presenter()(text);
}

void SetBalloonPresenter(std::function<void(const QString &text)> p)
{
    presenter() = std::move(p);
}

QString LastBalloonText()
{
    return lastText();
}
