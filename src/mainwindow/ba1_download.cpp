// The main window's game download command and the texts of its progress in
// the status label.
#include "mainwindow/ba1.h"

#include "mainwindow/gamepagepart.h"

#include "common/scriptunescape.h"
#include "download/formatsize.h"
#include "download/gui/bkdlcontrol.h"
#include "lists/gamelist.h"
#include "portal/commandurl.h"
#include "portal/downloadedcopy.h"
#include "shell/gui/messagebox.h"

#include <QDir>
#include <QFileInfo>

#include <cmath>

namespace
{
void showMessage(QWidget *parent, const QString &text)
{
    ShowMessage(parent, text, ApplicationTitle());
}

QString errorText(int number)
{
    switch (number) {
    case 1: return QStringLiteral("下载链接无效！");
    case 2: return QStringLiteral("文件不存在重定向！");
    case 3: return QStringLiteral("0字节接收！");
    case 4: return QStringLiteral("文件保存错误！");
    case 99: return QStringLiteral("未知错误！");
    default: return QString();
    }
}
} // namespace

void BA1::xiazai()
{
    if (m_DL->isDownloading()) {
        TrayBalloon(UnescapeText(m_state.CurrentGameName) + QStringLiteral("下载任务还未完成，请稍后操作.."));
        return;
    }
    if (m_state.CurrentGameUrl.isEmpty()) {
        showMessage(this, QStringLiteral("当前没有游戏"));
        return;
    }
    if (IsPointsPlayCommand(m_state.CurrentGameUrl)) {
        showMessage(this, QStringLiteral("当前游戏为积分游戏，不能下载！"));
        return;
    }
    // Other kinds of game cannot be downloaded; nothing is said.
    if (!IsPlayCommand(m_state.CurrentGameUrl))
        return;

    const PlayCommand command = ParsePlayCommand(m_state.CurrentGameUrl);
    const QString &gameId = command.gameId;
    const QString &gameAddress = command.gameAddress;
    if (command.hasName)
        m_state.CurrentGameName = command.gameName;

    // The id names the file in the folder flash, so only a plain decimal id
    // can be saved; any other text could point outside that folder.
    const std::optional<QString> target = DownloadedCopyPath(m_paths, gameId);
    // A game played from the downloads list carries its number where the
    // address would be: its copy is there all the same.
    if (target && QFileInfo::exists(*target)) {
        m_game->ShowStatus(QStringLiteral("该游戏已经下载过！"));
        return;
    }
    if (!gameAddress.startsWith(QStringLiteral("http://")) || !gameAddress.endsWith(QStringLiteral(".swf"))
        || !target) {
        showMessage(this, QStringLiteral("当前游戏文件不能下载！"));
        return;
    }

    QDir().mkpath(m_paths.flashDir());

    m_DL->setFileURL(gameAddress);
    m_DL->setSaveFilePath(*target);
    m_DL->BeginDownload();

    // The list shows the game at once, whatever the download's outcome.
    AddGameRecord(m_paths, m_state.CurrentGameName, WholeNumberText(gameId).value_or(QString()), gameId, 1,
                  DownloadsListFile());
}

void BA1::DL_DLBeginDownload()
{
    m_game->ShowStatus(QStringLiteral("正在准备下载.."));
}

void BA1::DL_DLProgress(float fraction, qint64, qint64 fileSize)
{
    const long percent = std::lround(double(fraction) * 100.0);
    m_game->ShowStatus(QString::number(percent) + QStringLiteral("% 大小：") + FormatSize(fileSize));
}

void BA1::DL_DLCanceled()
{
    m_game->ShowStatus(QStringLiteral("下载被取消.."));
}

void BA1::DL_DLError(int number, const QString &)
{
    m_game->ShowStatus(QStringLiteral("下载出错： ") + errorText(number));
}

void BA1::DL_DLComplete(qint64 bytes)
{
    m_game->ShowStatus(bytes >= 1 ? QStringLiteral("游戏下载完毕!") : QStringLiteral("游戏下载失败.."));
    // The first offline play goes on where the online play stopped.
    if (bytes >= 1)
        CarrySavesToDownload(QFileInfo(m_DL->SaveFileName()).completeBaseName(), m_DL->FileURL());
}
