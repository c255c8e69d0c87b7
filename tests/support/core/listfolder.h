#pragma once

// A fresh application folder for the tests of the lists: its data folder
// (app/) exists, the list files are whatever a test writes, and every
// refresh of the list pane is counted instead of reaching a window. One per
// test function (create it in init()); its count ends with it.

#include "common/apppaths.h"
#include "lists/listpage.h"
#include "support/core/files.h"

#include <QDir>
#include <QTemporaryDir>

class ListFolder
{
    QTemporaryDir m_dir;
    QMetaObject::Connection m_counter;

public:
    // `below` places the application folder that deep inside the temporary
    // one, so that ".." steps out of it stay inside.
    explicit ListFolder(const QString &below = QString())
        : paths(below.isEmpty() ? m_dir.path() : m_dir.filePath(below))
    {
        QDir().mkpath(paths.dataDir());
        m_counter = QObject::connect(ListPageEvents::instance(), &ListPageEvents::pageChanged, [this] { ++refreshes; });
    }
    ~ListFolder() { QObject::disconnect(m_counter); }
    ListFolder(const ListFolder &) = delete;
    ListFolder &operator=(const ListFolder &) = delete;

    bool isValid() const { return m_dir.isValid() && QDir(paths.dataDir()).exists(); }
    // A path in the temporary folder (the folder itself for an empty name).
    QString tempPath(const QString &name = QString()) const { return name.isEmpty() ? m_dir.path() : m_dir.filePath(name); }

    // A file of the data folder; "<missing>" when it cannot be read.
    QByteArray read(const QString &name) const { return ReadFile(paths.dataFile(name)); }
    bool write(const QString &name, const QByteArray &bytes) const { return WriteFile(paths.dataFile(name), bytes); }

    AppPaths paths;
    int refreshes = 0;
};
