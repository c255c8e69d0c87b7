#pragma once

#include "common/apppaths.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>

// Each list file has a generated HTML page in <app>/app that the list pane
// shows: one item per record, linking "open://N" and "delk://N" by the
// record's line number.

// Rewrites the page of `listFile` from its current content and then runs the
// list pane refresher. A list file that cannot be read leaves the page as it
// was and refreshes nothing (false). Returns whether the page was written.
// The list changes of gamelist.h write the list and its page together and do
// not come here; start-up uses this for missing pages.
bool GenerateListPage(const AppPaths &paths, const QString &listFile);

// The bytes of the page (GBK, CR LF) for the lines of a list file.
QByteArray ListPageBytes(const QStringList &lines);
QByteArray ListPageBytes(const QList<QStringView> &lines);

// Runs the list pane refresher, when the main window installed one.
void RefreshListPane();

// "c.htm" for "date_c.dat", "n.htm" for "date_n.dat", "d.htm" for any other.
QString PageNameFor(const QString &listFile);

// Installed by the main window: reloads the list pane after a page changed.
void SetListPaneRefresher(std::function<void()> refresher);
