#pragma once

#include <QMap>
#include <QObject>
#include <QString>
#include <QUrl>

#include <functional>
#include <optional>

class QWebEngineProfile;

// The saves the Flash runtime keeps in the web storage of one origin (see
// player/gamesaves.h), read and written through a hidden page of the
// program's profile that opens `page` (a small document of that origin: a
// text or a picture, not a page that runs script of its own) and runs in a
// script world of its own. Only keys that start with the given prefix are
// read or written; nothing else of the origin is touched, and nothing at all
// when the page did not end up at the origin of `page` (an error page, a
// redirect elsewhere).
//
// Each call ends with its callback (on the event loop), also when the page
// could not be opened (nothing, false). One call at a time per object; the
// object may be deleted in a callback.
class SaveStorage final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SaveStorage)

public:
    using Saves = QMap<QString, QByteArray>; // save name -> .sol bytes
    using ReadDone = std::function<void(std::optional<Saves>)>;
    using WriteDone = std::function<void(bool)>;

    explicit SaveStorage(QWebEngineProfile *profile, QObject *parent = nullptr);
    ~SaveStorage() override;

    // The saves under `prefix` at the origin of `page` (values that are no Base64 are left out).
    void read(const QUrl &page, const QString &prefix, ReadDone done);
    // Writes `saves` under `prefix` at the origin of `page`, replacing saves of the same
    // names; with `onlyIfNone` nothing is written when any save under the
    // prefix is there already (the callback then gets false).
    void write(const QUrl &page, const QString &prefix, const Saves &saves, bool onlyIfNone,
               WriteDone done);

private:
    void run(const QUrl &page, const QString &script, std::function<void(const QVariant &)> done);

    QWebEngineProfile *m_profile;
    class QWebEnginePage *m_page = nullptr;
};
