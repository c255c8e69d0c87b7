#pragma once

#include <QDateTime>
#include <QString>

// The installation identifier sent with the statistics request: the MAC
// address of the first IP-enabled network adapter ("00-1A-2B-3C-4D-5E"), or a
// substitute made from the date, the time and a random number when no usable
// address exists.

// Reads the adapter address from the system and applies the rules below.
QString MacAddressText();
// `firstAdapterMac` is the address as the system reports it (groups separated
// by ":"). Every ":" becomes "-"; an empty text or one containing
// "00-00-00-00-00-00" or "00-53-45-00-00-00" yields FallbackUserId().
QString MacAddressText(const QString &firstAdapterMac);

// Year, month, day, hour, minute and second of now, unpadded, then a random
// number from 100 to 999.
QString FallbackUserId();
QString FallbackUserId(const QDateTime &now, int random100to999);

// portalBase + "tj/tj.asp?id=" + userId, the identifier unescaped.
QString StatisticsAddress(const QString &portalBase, const QString &userId);
