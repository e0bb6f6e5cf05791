#include "app/CommandLine.h"

#include <QFileInfo>

namespace {

constexpr int kDefaultBuzzerPort = 8123;

bool IsSwitch(const QString& argument)
{
    if (argument.startsWith(QLatin1Char('-')))
        return true;
    if (!argument.startsWith(QLatin1Char('/')))
        return false;
#ifdef Q_OS_WIN
    return true;
#else
    return argument.indexOf(QLatin1Char('/'), 1) < 0 && !QFileInfo::exists(argument);
#endif
}

}  // namespace

CommandLine ParseCommandLine(const QStringList& arguments)
{
    CommandLine line;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument == QStringLiteral("--buzzers-host")) {
            if (i + 1 < arguments.size())
                line.buzzerHost = arguments[++i];
            continue;
        }
        if (argument == QStringLiteral("--buzzers")) {
            line.buzzerPort = kDefaultBuzzerPort;
            continue;
        }
        if (argument.startsWith(QStringLiteral("--buzzers="))) {
            bool ok = false;
            const int port = argument.mid(10).toInt(&ok);
            line.buzzerPort = ok && port >= 0 && port <= 65535 ? port : kDefaultBuzzerPort;
            continue;
        }
        if (!IsSwitch(argument)) {
            line.puzzlePaths.push_back(argument);
            continue;
        }
        if (argument == QStringLiteral("--presenter"))
            line.presenter = true;
        else if (argument.size() >= 2 && argument[1].toLower() == QLatin1Char('z'))
            ++line.fullScreenToggles;
    }
    return line;
}
