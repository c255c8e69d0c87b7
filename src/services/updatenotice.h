#pragma once

#include <QString>

#include <optional>

// The portal's notice file (lib/wenc.txt) and the version test of the update
// offer.
//
// The notice is one text whose parts are separated by "====": part 0 is the
// exit promotion flag (exactly "1" shows the recommendation window at quit),
// part 1 starts the floating promotion when it equals the number 1, part 2 is
// the latest program version. Further parts are ignored. A text that is empty
// or holds no "====" is no notice at all (a failed fetch reads the same).

struct UpdateNotice
{
    // False when the text is empty or holds no separator: nothing else is set.
    bool usable = false;
    // Part 0 as it stands (no trimming).
    QString exitPromoFlag;
    // Part 1 read as a number (surrounding blanks allowed) equals 1. A part
    // that is not a number, or a missing one, does not start it.
    bool floatingPromotion = false;
    // Part 2 with every CR LF pair removed, and without the white space it
    // ends in (CR, LF, spaces, tabs: a notice file saved on Linux ends in a
    // bare LF, which is no part of the version); none when there are fewer
    // than three parts (the version known so far stays).
    std::optional<QString> latestVersion;
};

UpdateNotice ParseUpdateNotice(const QString &text);

// The number a version text starts with, read the way a number is read out
// of free text: leading blanks skipped, then digits with an optional decimal
// point; 0 when the text does not start with a number ("2.0.1" is 2, "v2" 0).
double VersionNumberValue(const QString &text);

// The installed version with leading and trailing spaces removed.
QString TrimmedVersion(const QString &installedVersion);

// The offer after the start-up check: a latest version is known, its number
// value is not zero, and the trimmed installed version differs from it as
// text. An inequality, not an ordering: an older latest version is offered too.
bool UpdateOfferDue(const QString &latestVersion, const QString &installedVersion);

// The offer on the user's request: a latest version is known and differs from
// the trimmed installed version (the number value is not looked at).
bool OnDemandOfferDue(const QString &latestVersion, const QString &installedVersion);
