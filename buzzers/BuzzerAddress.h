#pragma once
// Where the phones reach the game.

#include <QHostAddress>
#include <QString>

// The first IPv4 address of an interface that is up and not the loopback; 127.0.0.1 when the
// machine has none (then only this machine can join).
QHostAddress DefaultBuzzerAddress();

// "http://ADDR:PORT/?t=TOKEN"
QString BuzzerJoinUrl(const QHostAddress& address, quint16 port, const QString& token);
