#include "buzzers/BuzzerAddress.h"

#include <QNetworkInterface>

QHostAddress DefaultBuzzerAddress()
{
    for (const QNetworkInterface& interface : QNetworkInterface::allInterfaces()) {
        const auto flags = interface.flags();
        if (!(flags & QNetworkInterface::IsUp) || !(flags & QNetworkInterface::IsRunning) ||
            (flags & QNetworkInterface::IsLoopBack))
            continue;
        for (const QNetworkAddressEntry& entry : interface.addressEntries()) {
            const QHostAddress address = entry.ip();
            if (address.protocol() == QAbstractSocket::IPv4Protocol && !address.isLoopback())
                return address;
        }
    }
    return QHostAddress(QHostAddress::LocalHost);
}

QString BuzzerJoinUrl(const QHostAddress& address, quint16 port, const QString& token)
{
    const QString host = address.protocol() == QAbstractSocket::IPv6Protocol
                             ? QLatin1Char('[') + address.toString() + QLatin1Char(']')
                             : address.toString();
    return QStringLiteral("http://%1:%2/?t=%3").arg(host).arg(port).arg(token);
}
