#include "services/statistics.h"

#include "services/adapteraddress.h"

#include <QRandomGenerator>

QString MacAddressText()
{
    return MacAddressText(FirstAdapterMacAddress());
}

QString MacAddressText(const QString &firstAdapterMac)
{
    QString text = firstAdapterMac;
    text.replace(QLatin1Char(':'), QLatin1Char('-'));
    if (text.isEmpty() || text.contains(QLatin1String("00-00-00-00-00-00"))
        || text.contains(QLatin1String("00-53-45-00-00-00")))
        return FallbackUserId();
    return text;
}

QString FallbackUserId()
{
    return FallbackUserId(QDateTime::currentDateTime(),
                          static_cast<int>(QRandomGenerator::global()->bounded(100, 1000)));
}

QString FallbackUserId(const QDateTime &now, int random100to999)
{
    const QDate d = now.date();
    const QTime t = now.time();
    return QString::number(d.year()) + QString::number(d.month()) + QString::number(d.day())
        + QString::number(t.hour()) + QString::number(t.minute()) + QString::number(t.second())
        + QString::number(random100to999);
}

QString StatisticsAddress(const QString &portalBase, const QString &userId)
{
    return portalBase + QLatin1String("tj/tj.asp?id=") + userId;
}
