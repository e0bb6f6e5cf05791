#pragma once
// The program's arguments: a switch begins with "-" or "/"; one whose second character is "z" or
// "Z" toggles full screen after start (each occurrence once more); every other switch is ignored.
// Every other argument is a puzzle path, applied in order. Where "/" starts every absolute path,
// an argument beginning with "/" counts as a switch only when it holds no further "/" and names
// nothing that exists, so "/z" stays a switch and "/home/quiz" is a path. "--presenter" opens the
// quiz master's presenter window at start.

#include <QString>
#include <QStringList>

// "--buzzers" or "--buzzers=PORT" switches the phone buzzers on (port 8123 unless given);
// "--buzzers-host ADDR" names the address they listen on, and takes the next argument.
struct CommandLine {
    int fullScreenToggles = 0;
    bool presenter = false;
    QStringList puzzlePaths;
    int buzzerPort = -1;  // -1: not asked for
    QString buzzerHost;
};

// arguments without the program path.
CommandLine ParseCommandLine(const QStringList& arguments);
