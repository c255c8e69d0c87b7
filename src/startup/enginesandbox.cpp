#include "startup/enginesandbox.h"

#include <QList>

bool SandboxSwitchedOff(bool disableVariableSet, const QByteArray &chromiumFlags)
{
    return disableVariableSet || chromiumFlags.simplified().split(' ').contains("--no-sandbox");
}

QString RootWithoutSandboxMessage()
{
    return QStringLiteral(
        "Kavo游戏盒: 以 root 身份运行时网页引擎没有沙箱，程序不显示网页。请以普通用户身份运行；"
        "一定要以 root 运行时，请自行设置 QTWEBENGINE_DISABLE_SANDBOX=1。");
}
