#pragma once

// What the crash writer and the crash-consistency test agree on.

#include <QString>

// Name of the game with that id, escaped as the portal sends names.
inline QString CrashTestGameName(qint64 id)
{
    return QStringLiteral("%u65B0%u6E38%u620F") + QString::number(id);
}
