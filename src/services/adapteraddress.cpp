#include "services/adapteraddress.h"

#include <QNetworkInterface>
#include <QRegularExpression>

#include <algorithm>

QString FirstAdapterMacAddress()
{
    const auto interfaces = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface &iface : interfaces) {
        const auto flags = iface.flags();
        if (!flags.testFlag(QNetworkInterface::IsUp) || flags.testFlag(QNetworkInterface::IsLoopBack))
            continue;
        const auto entries = iface.addressEntries();
        const bool hasIpv4 = std::any_of(entries.begin(), entries.end(), [](const QNetworkAddressEntry &e) {
            return e.ip().protocol() == QAbstractSocket::IPv4Protocol;
        });
        if (!hasIpv4)
            continue;
        // Only the first such interface counts: an unusable address there
        // means the substitute identifier, not a look at the next interface.
        const QString mac = iface.hardwareAddress().toUpper();
        static const QRegularExpression sixGroups(QStringLiteral("^[0-9A-F]{2}(:[0-9A-F]{2}){5}$"));
        return sixGroups.match(mac).hasMatch() ? mac : QString();
    }
    return {};
}
