#pragma once

#include "common/apppaths.h"
#include "lists/listfile.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>

// Each list file has a generated HTML page in <app>/app that the list pane
// shows: one item per record, linking "open://N" and "delk://N" by the
// record's line number.

// Rewrites the page of `listFile` from its current content and then announces
// the change (ListPageEvents). A list file that cannot be read leaves the page
// as it was and announces nothing (false). Returns whether the page was
// written. The list changes of gamelist.h write the list and its page together
// and do not come here; start-up uses this for missing pages.
bool GenerateListPage(const AppPaths &paths, const QString &listFile);

// The bytes of the page (GBK, CR LF) for the lines of a list file.
QByteArray ListPageBytes(const QStringList &lines);
QByteArray ListPageBytes(const QList<QStringView> &lines);
// The same for the lines of an all-ASCII list file, as bytes.
QByteArray ListPageBytes(const QList<QByteArrayView> &asciiLines);

// The one object that tells whoever shows a list page that a page changed.
// The main window connects its list pane to it; the lists know nothing of
// the window. Emitted on the thread that changed the page, right after it.
class ListPageEvents : public QObject
{
    Q_OBJECT

public:
    static ListPageEvents *instance();

Q_SIGNALS:
    // A list page was rewritten: a list pane showing it reloads.
    void pageChanged();
};

// Emits ListPageEvents::pageChanged.
void RefreshListPane();
