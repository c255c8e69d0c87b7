#include "player/gui/savestorage.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <QPointer>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineScript>

namespace
{
QString jsonText(const QJsonValue &value)
{
    // A string alone is no JSON document: wrap it and cut the brackets off.
    const QByteArray array = QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(array.mid(1, array.size() - 2));
}

// The script, run only where the document stands at `origin`.
QString guarded(const QUrl &page, const QString &body)
{
    const QString origin = page.adjusted(QUrl::RemovePath | QUrl::RemoveQuery | QUrl::RemoveFragment
                                         | QUrl::RemoveUserInfo)
                               .toString(QUrl::FullyEncoded);
    return QStringLiteral("(location.origin === %1 ? %2 : null)").arg(jsonText(origin), body);
}
}

SaveStorage::SaveStorage(QWebEngineProfile *profile, QObject *parent)
    : QObject(parent)
    , m_profile(profile)
{
}

SaveStorage::~SaveStorage()
{
    delete m_page;
}

void SaveStorage::read(const QUrl &page, const QString &prefix, ReadDone done)
{
    const QString script = QStringLiteral(
        "(function (p) { var out = {}; for (var i = 0; i < localStorage.length; ++i) {"
        " var k = localStorage.key(i); if (k.length > p.length && k.lastIndexOf(p, 0) === 0)"
        " out[k.substring(p.length)] = localStorage.getItem(k); } return JSON.stringify(out); })(%1)")
                               .arg(jsonText(prefix));
    run(page, guarded(page, script), [done](const QVariant &result) {
        if (!result.isValid() || result.typeId() != QMetaType::QString) {
            done(std::nullopt);
            return;
        }
        const QJsonObject object = QJsonDocument::fromJson(result.toString().toUtf8()).object();
        Saves saves;
        for (auto it = object.begin(); it != object.end(); ++it) {
            const auto decoded = QByteArray::fromBase64Encoding(it.value().toString().toLatin1(),
                                                                QByteArray::AbortOnBase64DecodingErrors);
            if (decoded && !decoded.decoded.isEmpty())
                saves.insert(it.key(), decoded.decoded);
        }
        done(saves);
    });
}

void SaveStorage::write(const QUrl &page, const QString &prefix, const Saves &saves, bool onlyIfNone,
                        WriteDone done)
{
    QJsonObject values;
    for (auto it = saves.begin(); it != saves.end(); ++it)
        values.insert(it.key(), QString::fromLatin1(it.value().toBase64()));
    const QString script = QStringLiteral(
        "(function (p, values, onlyIfNone) {"
        " if (onlyIfNone) for (var i = 0; i < localStorage.length; ++i) {"
        "  var k = localStorage.key(i); if (k.length > p.length && k.lastIndexOf(p, 0) === 0) return false; }"
        " for (var name in values) localStorage.setItem(p + name, values[name]);"
        " return true; })(%1, %2, %3)")
                               .arg(jsonText(prefix),
                                    QString::fromUtf8(QJsonDocument(values).toJson(QJsonDocument::Compact)),
                                    onlyIfNone ? QStringLiteral("true") : QStringLiteral("false"));
    run(page, guarded(page, script), [done](const QVariant &result) { done(result.toBool()); });
}

void SaveStorage::run(const QUrl &url, const QString &script, std::function<void(const QVariant &)> done)
{
    delete m_page;
    m_page = new QWebEnginePage(m_profile, this);
    QWebEnginePage *page = m_page;
    connect(page, &QWebEnginePage::loadFinished, this, [this, page, script, done](bool ok) {
        if (page != m_page)
            return;
        disconnect(page, &QWebEnginePage::loadFinished, this, nullptr);
        if (!ok) {
            done(QVariant());
            return;
        }
        QPointer<SaveStorage> self(this);
        page->runJavaScript(script, QWebEngineScript::ApplicationWorld, [self, page, done](const QVariant &result) {
            if (!self || page != self->m_page)
                return;
            done(result);
        });
    });
    page->load(url);
}
