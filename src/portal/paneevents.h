#pragma once

#include <QString>

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
