#include "app/CommandLine.h"

#include <QFileInfo>

namespace {

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
    for (const QString& argument : arguments) {
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
