#include "shell/traytext.h"

QString CutToTrayField(const QString &text, int field)
{
    const qsizetype keep = std::max(field - 1, 0);
    if (text.size() <= keep)
        return text;
    qsizetype end = keep;
    if (end > 0 && text.at(end - 1).isHighSurrogate() && text.at(end).isLowSurrogate())
        --end;
    return text.left(end);
}

QString TrayTipText(const QString &caption)
{
    return CutToTrayField(caption, TrayTipField);
}

BalloonContent MakeBalloon(const QString &text)
{
    return {CutToTrayField(QStringLiteral("Kavo游戏盒提示:"), BalloonTitleField),
            CutToTrayField(text, BalloonTextField)};
}
