#pragma once

#include <QByteArray>
#include <QString>

// How the panes' pages reach the screen. A web pane shows its page through
// Qt Quick, whose default path draws with OpenGL. Without a graphics device
// that OpenGL is a software rasteriser imitating a GPU: every frame is drawn
// twice, a pool of rasteriser threads runs, and each window holds buffers of
// its own. There Qt Quick's own software renderer draws the panes instead,
// which starts faster, holds less memory and shows a game's first frame
// sooner (bench/startup_bench.sh, bench/bench_playlatency).

// True when `deviceRoot` (normally /dev) holds a graphics device a driver can
// use: a DRM node (dri/card*, dri/renderD*) or the closed NVIDIA driver's
// nvidia0.
bool GraphicsDevicePresent(const QString &deviceRoot = QStringLiteral("/dev"));

// Whether the panes draw with the software renderer: only without a graphics
// device, and never when the user chose Qt Quick's drawing themselves
// (QT_QUICK_BACKEND or QSG_RHI_BACKEND set, passed here).
bool UseSoftwareDrawing(bool graphicsDevice, const QByteArray &quickBackend, const QByteArray &rhiBackend);

// Applies the choice for this machine and environment. It must run before
// the first Qt Quick window exists, that is before the first pane.
void ChoosePaneDrawing();
