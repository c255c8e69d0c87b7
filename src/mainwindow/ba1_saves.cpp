// A game's saves: carried to its downloaded copy, written to .sol files and
// read back from them.
#include "mainwindow/ba1.h"

#include "mainwindow/listpagepart.h"

#include "common/safefile.h"
#include "lists/gamelist.h"
#include "player/gamesaves.h"
#include "player/gui/savestorage.h"
#include "portal/commandurl.h"
#include "portal/downloadedcopy.h"
#include "portal/gui/webprofile.h"
#include "portal/listcommands.h"
#include "shell/gui/messagebox.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QPointer>
#include <QStandardPaths>

namespace
{
struct Places {
    QUrl onlinePage;    // a small document of the portal's origin
    QString onlinePrefix;
    QUrl localPage;     // a small document of the program's own origin
    QString localPrefix;
};

// The record (name|id|address|kind) of the list game the menu was raised on.
std::optional<QStringList> contextRecord(const AppPaths &paths, const QString &listFile, const QString &link)
{
    const auto open = ContextCommandUrl(link, true);
    const auto index = open ? OpenCommandIndex(*open) : std::nullopt;
    const auto fields = index ? ReadGameLine(paths, listFile, *index) : std::nullopt;
    if (!fields || fields->size() < 3 || !IsPlainDecimal(fields->at(1)))
        return std::nullopt;
    return fields;
}
}

QString ExportFolderFor(const QString &target)
{
    return target.endsWith(QLatin1String(".sol"), Qt::CaseInsensitive) ? target.chopped(4) : target;
}

// Where the save dialogs open: the user's documents, else the home folder.
static QString saveDialogFolder()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

static Places placesOf(const AppPaths &paths, ProgramProfile *profile, const QString &portalBase,
                       const QString &gameId, const QString &address)
{
    Places p;
    p.onlinePage = QUrl(portalBase).resolved(QUrl(QStringLiteral("lib/wenc.txt")));
    p.onlinePrefix = GameSaves::keyPrefix(GameSaves::onlineMovieUrl(portalBase, address, gameId));
    p.localPage = profile->urlForLocalPath(paths.installedAppFile(QStringLiteral("i.gif")));
    const QUrl player = profile->urlForLocalPath(paths.installedAppFile(QStringLiteral("flash.htm")));
    p.localPrefix = GameSaves::keyPrefix(GameSaves::localMovieUrl(player, gameId));
    return p;
}

void BA1::CarrySavesToDownload(const QString &gameId, const QString &address, std::function<void(int)> done)
{
    const Places places = placesOf(m_paths, m_profile, m_portalBase, gameId, address);
    auto *store = new SaveStorage(m_profile, this);
    const auto finish = [store, done](int count) {
        store->deleteLater();
        if (done)
            done(count);
    };
    store->read(places.onlinePage, places.onlinePrefix, [store, places, finish](std::optional<SaveStorage::Saves> saves) {
        if (!saves || saves->isEmpty()) {
            finish(0);
            return;
        }
        const int count = int(saves->size());
        store->write(places.localPage, places.localPrefix, *saves, true,
                     [finish, count](bool written) { finish(written ? count : 0); });
    });
}

void BA1::ExportSaves(const QString &gameId, const QString &address, const QString &target,
                      std::function<void(int)> done)
{
    const Places places = placesOf(m_paths, m_profile, m_portalBase, gameId, address);
    const bool downloaded = HasDownloadedCopy(m_paths, gameId);
    auto *store = new SaveStorage(m_profile, this);
    QPointer<BA1> self(this);
    const auto finish = [self, store, done, target, gameId](const SaveStorage::Saves &saves) {
        store->deleteLater();
        if (!self)
            return;
        int written = 0;
        QString text;
        if (saves.isEmpty()) {
            text = QStringLiteral("这个游戏还没有存档！");
        } else if (saves.size() == 1) {
            written = SafeFile::writeWhole(target, saves.first()) ? 1 : 0;
        } else if (const QString folder = ExportFolderFor(target); QDir().mkpath(folder)) {
            for (auto it = saves.begin(); it != saves.end(); ++it)
                written += SafeFile::writeWhole(QDir(folder).filePath(GameSaves::exportFileName(gameId, it.key())),
                                                it.value()) ? 1 : 0;
        }
        if (text.isEmpty())
            text = written == saves.size()
                ? QStringLiteral("已导出%1个存档到：\n%2").arg(written).arg(QDir::toNativeSeparators(
                      saves.size() == 1 ? target : ExportFolderFor(target)))
                : QStringLiteral("存档导出失败，请换一个位置再试！");
        ShowMessage(self, text, ApplicationTitle());
        if (done)
            done(written);
    };
    // Only what reads as a save goes out.
    const auto valid = [](const SaveStorage::Saves &saves) {
        SaveStorage::Saves out;
        for (auto it = saves.begin(); it != saves.end(); ++it) {
            if (GameSaves::decodeSol(it.value()))
                out.insert(it.key(), it.value());
        }
        return out;
    };
    store->read(places.onlinePage, places.onlinePrefix,
                [store, places, downloaded, finish, valid](std::optional<SaveStorage::Saves> online) {
        SaveStorage::Saves saves = valid(online.value_or(SaveStorage::Saves()));
        if (!downloaded) {
            finish(saves);
            return;
        }
        // A downloaded game plays from its copy: the copy's saves are its latest.
        store->read(places.localPage, places.localPrefix,
                    [saves, finish, valid](std::optional<SaveStorage::Saves> local) mutable {
            const SaveStorage::Saves own = valid(local.value_or(SaveStorage::Saves()));
            for (auto it = own.begin(); it != own.end(); ++it)
                saves.insert(it.key(), it.value());
            finish(saves);
        });
    });
}

void BA1::ImportSaves(const QString &gameId, const QString &address, const QStringList &files,
                      std::function<void(int)> done)
{
    SaveStorage::Saves saves;
    for (const QString &path : files) {
        QFile file(path);
        QString problem;
        if (!file.open(QIODevice::ReadOnly)) {
            problem = QStringLiteral("无法读取这个文件！");
        } else if (GameSaves::namesOtherGame(path, gameId)) {
            problem = GameSaves::otherGameText();
        } else {
            GameSaves::SolProblem why = GameSaves::SolProblem::None;
            const auto sol = GameSaves::decodeSol(file.read(GameSaves::MAX_SAVE_BYTES + 1), &why);
            if (sol)
                saves.insert(sol->name, GameSaves::encodeSol(*sol));
            else
                problem = GameSaves::problemText(why);
        }
        if (!problem.isEmpty()) {
            ShowMessage(this, QFileInfo(path).fileName() + QLatin1Char('\n') + problem, ApplicationTitle());
            if (done)
                done(0);
            return;
        }
    }
    if (saves.isEmpty()) {
        if (done)
            done(0);
        return;
    }

    const Places places = placesOf(m_paths, m_profile, m_portalBase, gameId, address);
    const bool downloaded = HasDownloadedCopy(m_paths, gameId);
    auto *store = new SaveStorage(m_profile, this);
    QPointer<BA1> self(this);
    const auto finish = [self, store, done, saves](bool ok) {
        store->deleteLater();
        if (!self)
            return;
        ShowMessage(self, ok ? QStringLiteral("已导入%1个存档。").arg(saves.size())
                             : QStringLiteral("存档导入失败，请稍后再试！"),
                    ApplicationTitle());
        if (done)
            done(ok ? int(saves.size()) : 0);
    };
    store->write(places.onlinePage, places.onlinePrefix, saves, false,
                 [store, places, saves, downloaded, finish](bool online) {
        if (!downloaded) {
            finish(online);
            return;
        }
        store->write(places.localPage, places.localPrefix, saves, false,
                     [finish, online](bool local) { finish(online || local); });
    });
}

void BA1::ExportSaves_Click()
{
    const auto record = contextRecord(m_paths, m_list->Shown().listFile, m_state.ContextGameLink);
    if (!record)
        return;
    const QString id = record->at(1);
    const QString address = record->at(2);
    // One save goes to the file chosen; several go into a folder of that
    // name without ".sol", one file each.
    const QString target = QFileDialog::getSaveFileName(
        this, QStringLiteral("导出存档"), QDir(saveDialogFolder()).filePath(id + QStringLiteral(".sol")),
        QStringLiteral("Flash 存档 (*.sol)"));
    if (target.isEmpty())
        return;
    ExportSaves(id, address, target);
}

void BA1::ImportSaves_Click()
{
    const auto record = contextRecord(m_paths, m_list->Shown().listFile, m_state.ContextGameLink);
    if (!record)
        return;
    const QStringList files = QFileDialog::getOpenFileNames(
        this, QStringLiteral("导入存档"), saveDialogFolder(),
        QStringLiteral("Flash 存档 (*.sol)"));
    if (!files.isEmpty())
        ImportSaves(record->at(1), record->at(2), files);
}
