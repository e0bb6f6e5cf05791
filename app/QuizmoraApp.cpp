#include "app/QuizmoraApp.h"

#include "app/CommandIds.h"
#include "app/CommandLine.h"
#include "app/CommandTexts.h"
#include "app/GameSoundPlayer.h"
#include "app/InfoDialogs.h"
#include "app/LocalMessageServer.h"
#include "app/MainFrame.h"
#include "support/Resources.h"
#include "support/SettingsKey.h"

#include <QApplication>
#include <QDialog>
#include <QIcon>
#include <QPixmap>

namespace {

QString FromView(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The program's icon, resource 128; none when it is missing.
QIcon ProgramIcon()
{
    const auto bytes = FindResource("ICON", "128");
    QPixmap picture;
    if (bytes.empty() ||
        !picture.loadFromData(reinterpret_cast<const uchar*>(bytes.data()), static_cast<uint>(bytes.size())))
        return {};
    return QIcon(picture);
}

}  // namespace

CQuizmoraApp::CQuizmoraApp(int& argc, char** argv)
{
    if (QCoreApplication::instance() == nullptr)
        ownApplication_ = std::make_unique<QApplication>(argc, argv);
    QCoreApplication::setOrganizationName(FromView(kSettingsOrganisation));
    QCoreApplication::setApplicationName(FromView(kSettingsApplication));
    QApplication::setWindowIcon(ProgramIcon());
    router_ = std::make_unique<CCommandRouter>(commands_);
}

CQuizmoraApp::~CQuizmoraApp()
{
    server_.reset();
    if (frame_)
        frame_->SetView(nullptr);
    view_.reset();
    frame_.reset();
    router_.reset();
    soundPlayer_.reset();
}

bool CQuizmoraApp::InitInstance(const QStringList& arguments, const ViewFactory& makeView, IGameSound* sound,
                                const QString& serverName)
{
    RegisterCommands();
    frame_ = std::make_unique<CMainFrame>(*router_, document_);
    if (sound == nullptr) {
        soundPlayer_ = std::make_unique<CGameSoundPlayer>();
        sound = soundPlayer_.get();
    }
    CCommandRouter* router = router_.get();
    const GameViewContext context{[router](std::uint32_t id) { router->PostCommand(id); }, *sound, frame_.get()};
    view_ = makeView ? makeView(context) : nullptr;
    if (!view_ || view_->Widget() == nullptr)
        return false;
    view_->RegisterCommands(commands_);
    frame_->SetView(view_.get());
    if (!document_.NewDocument(true))
        return false;
    frame_->UpdateCaption();

    const bool zoomed = frame_->RestorePlacement();
    if (zoomed)
        frame_->showMaximized();
    else
        frame_->show();
    router_->UpdateActions();

    if (!serverName.isEmpty()) {
        server_ = std::make_unique<CLocalMessageServer>(*frame_);
        server_->Listen(serverName);  // without it the game still runs
    }

    const CommandLine line = ParseCommandLine(arguments);
    for (const QString& path : line.puzzlePaths)
        view_->SetPuzzlePath(path);
    if (line.buzzerPort >= 0)
        view_->StartBuzzers(line.buzzerHost, line.buzzerPort);
    if (startHook_)
        startHook_(line);
    for (int i = 0; i < line.fullScreenToggles; ++i)
        router_->PostCommand(CommandId::FullScreen);
    // After the paths: a valid path given on the command line needs no folder chooser.
    view_->CheckPuzzlePathAtStart();
    return true;
}

int CQuizmoraApp::Run()
{
    return QApplication::exec();
}

void CQuizmoraApp::RegisterCommands()
{
    commands_.Register(CommandId::About, [this] { ShowModal(CommandId::About); });
    commands_.Register(CommandId::KeyMap, [this] { ShowModal(CommandId::KeyMap); });
    commands_.Register(CommandId::FileFormat, [this] { ShowModal(CommandId::FileFormat); });
}

void CQuizmoraApp::ShowModal(std::uint32_t id)
{
    std::unique_ptr<QDialog> dialog;
    switch (id) {
    case CommandId::About: dialog = MakeAboutDialog(frame_.get()); break;
    case CommandId::KeyMap: dialog = MakeKeyMapDialog(frame_.get()); break;
    default: dialog = MakeFileFormatDialog(frame_.get()); break;
    }
    dialog->exec();
}
