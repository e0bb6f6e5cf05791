#pragma once
// The application: its identity for the settings, the document, the main frame and the game
// view, the start-up with its command line, the sound player, the message interface for other
// programs and the dialogs of the "?" menu.

#include "app/CommandLine.h"
#include "app/CommandRouter.h"
#include "app/CommandTable.h"
#include "app/GameViewInterface.h"
#include "app/QuizmoraDoc.h"

#include <QStringList>

#include <functional>
#include <memory>

class CGameSoundPlayer;
class CLocalMessageServer;
class CMainFrame;
class IGameSound;
class QApplication;

class CQuizmoraApp {
public:
    using ViewFactory = std::function<std::unique_ptr<IGameView>(const GameViewContext&)>;

    // Makes the QApplication unless the process already has one, and names the organisation and
    // application for the settings.
    CQuizmoraApp(int& argc, char** argv);
    // Destroys the view (it writes its settings), then the frame, then the document.
    ~CQuizmoraApp();
    CQuizmoraApp(const CQuizmoraApp&) = delete;
    CQuizmoraApp& operator=(const CQuizmoraApp&) = delete;

    // The start: document, frame and view; the window shown; the command line applied (the
    // full-screen switch posted); then the view's check of its puzzle path. False ends the
    // program. sound replaces the audio device (tests); serverName the message interface's name
    // (empty: no interface).
    bool InitInstance(const QStringList& arguments, const ViewFactory& makeView, IGameSound* sound = nullptr,
                      const QString& serverName = {});

    int Run();

    // Runs once inside InitInstance, after the view has the command line's puzzle paths and before
    // the full-screen switch is posted and the puzzle path checked.
    using StartHook = std::function<void(const CommandLine& line)>;
    void SetStartHook(StartHook hook) { startHook_ = std::move(hook); }

    CMainFrame* Frame() const { return frame_.get(); }
    IGameView* View() const { return view_.get(); }
    CQuizmoraDoc& Document() { return document_; }
    CCommandTable& Commands() { return commands_; }
    CCommandRouter& Router() { return *router_; }
    CLocalMessageServer* MessageServer() const { return server_.get(); }

private:
    void RegisterCommands();
    void ShowModal(std::uint32_t id);

    std::unique_ptr<QApplication> ownApplication_;
    CCommandTable commands_;
    std::unique_ptr<CCommandRouter> router_;
    std::unique_ptr<CGameSoundPlayer> soundPlayer_;
    CQuizmoraDoc document_;
    std::unique_ptr<CMainFrame> frame_;
    std::unique_ptr<IGameView> view_;
    std::unique_ptr<CLocalMessageServer> server_;
    StartHook startHook_;
};
