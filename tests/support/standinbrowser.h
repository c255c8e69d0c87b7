#pragma once

// The desktop's default browser in a test: a stand-in "xdg-open" first on
// PATH that records every address it is asked to open, one a line. The
// toolkit's desktop services look the opener up once, at their first use, so
// the stand-in goes in place before anything is opened.

#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

class StandInBrowser
{
public:
    StandInBrowser()
    {
        if (!m_dir.isValid())
            return;
        QFile script(m_dir.filePath(QStringLiteral("xdg-open")));
        if (!script.open(QIODevice::WriteOnly))
            return;
        script.write("#!/bin/sh\nprintf '%s\\n' \"$*\" >> \"$(dirname \"$0\")/opened\"\n");
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("PATH", QFile::encodeName(m_dir.path()) + ':' + qgetenv("PATH"));
        m_ready = true;
    }

    bool ready() const { return m_ready; }

    // Addresses opened so far, oldest first.
    QStringList opened() const
    {
        QFile log(m_dir.filePath(QStringLiteral("opened")));
        if (!log.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(log.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }

private:
    QTemporaryDir m_dir;
    bool m_ready = false;
};
