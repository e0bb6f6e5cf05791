// The program: either the game, or with "--send" a client of a running game's message interface.
#include "app/GameViewInterface.h"
#include "app/LocalMessageServer.h"
#include "app/MessageClient.h"
#include "app/QuizmoraApp.h"
#include "show/ShowController.h"
#include "show/ShowStateFile.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    if (argc >= 2 && std::strcmp(argv[1], "--send") == 0) {
        QCoreApplication client(argc, argv);
        QStringList arguments = QCoreApplication::arguments();
        arguments.erase(arguments.begin(), arguments.begin() + 2);
        QTextStream out(stdout);
        QTextStream err(stderr);
        return RunSendCommand(arguments, out, err, CLocalMessageServer::DefaultName());
    }

    CQuizmoraApp application(argc, argv);
    QStringList arguments = QCoreApplication::arguments();
    if (!arguments.isEmpty())
        arguments.removeFirst();
    std::unique_ptr<CShowController> show;
    InstallShow(application, show, ShowStateFilePath());
    if (!application.InitInstance(arguments, CreateGameView, nullptr, CLocalMessageServer::DefaultName()))
        return 1;
    const int code = application.Run();
    if (show)
        show->EndShow();
    return code;
}
