#pragma once

#include <QString>
#include <QtGlobal>

// Text of the panel that covers the portal page when the portal cannot be
// reached (CR LF line breaks).
QString PortalErrorText();

// Whether a failed navigation of the portal pane or of the top promotion pane
// is a failure of the portal: the address contains the portal's base address.
// A command address ("tuzo...", "open://", "delk://") is never the portal,
// even when one of its fields carries a portal address.
bool IsPortalFailure(const QString &url, const QString &portalBase);

// The page the side panel shows instead of the engine's error page when the
// game's information page cannot be loaded (the portal is unreachable). The
// game itself is not affected: downloaded games play without the portal.
QString GameInfoUnavailablePage();

// The page the game pane shows when the process drawing the game ended (the
// game ran out of memory, or the system ended it): the game has stopped, and
// the toolbar's reload starts it again.
QString GameStoppedPage();

// The page the game pane shows when the game's page cannot be loaded (the
// portal cannot be reached): the game could not be opened; its link to
// `retryAddress` tries again, as the toolbar's reload does.
QString GameUnreachablePage(const QString &retryAddress);

// The page a pane shows when its page keeps ending its process: loaded once
// more, it ended again.
QString PageStoppedPage();

// When the process drawing a pane's page ends, the pane loads the page again
// by itself, once: a page whose previous end came less than this long before
// is taken to end at every load, and the pane shows its error state instead.
inline constexpr qint64 RENDERER_END_REPEAT_MS = 60000;
// `msSincePreviousEnd` is negative when the pane's renderer never ended.
bool LoadAgainAfterRendererEnd(qint64 msSincePreviousEnd);
