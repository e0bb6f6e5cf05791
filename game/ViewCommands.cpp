#include "game/ViewCommands.h"

#include "app/CommandIds.h"
#include "app/CommandTable.h"
#include "buzzers/BuzzerControl.h"
#include "game/QuizmoraView.h"
#include "remote/ComPortName.h"
#include "store/NewPuzzle.h"
#include "support/Cp1252.h"
#include "ui/ImageWnd.h"
#include "ui/InputDlg.h"
#include "ui/PathDlg.h"
#include "ui/PathFunctions.h"

#include <QCoreApplication>
#include <QDir>

namespace {

constexpr std::int32_t kGameNumberLimit = 1000;

// An installed game keeps its demo puzzles in share/quizmora/demo beside its bin/ folder.
std::string InstalledDemoFolder()
{
    const QDir folder(QCoreApplication::applicationDirPath() + QStringLiteral("/../share/quizmora/demo"));
    return folder.exists() ? folder.canonicalPath().toStdString() : std::string();
}

}  // namespace

std::optional<std::int32_t> AcceptedGameNumber(std::int64_t entered, std::int32_t current)
{
    const std::int64_t number = entered - 1;
    if (number < 0 || number >= kGameNumberLimit || number == current)
        return std::nullopt;
    return static_cast<std::int32_t>(number);
}

void RegisterViewCommands(CCommandTable& commands, CQuizmoraView& view)
{
    CGameEngine& engine = view.Engine();
    const CGameRenderer& renderer = view.Renderer();

    commands.Register(CommandId::FirstPlayerUp, [&engine] { engine.StarsUp(0); });
    commands.Register(CommandId::SecondPlayerUp, [&engine] { engine.StarsUp(1); });
    commands.Register(CommandId::FirstPlayerDown, [&engine] { engine.StarsDown(0); });
    commands.Register(CommandId::SecondPlayerDown, [&engine] { engine.StarsDown(1); });

    commands.Register(
        CommandId::NextPuzzle, [&engine] { engine.StartNextPuzzle(); }, [&engine] { return engine.CanStartNextPuzzle(); });
    commands.Register(
        CommandId::RevealText, [&engine] { engine.RevealAll(); }, [&engine] { return engine.CanRevealAll(); });

    struct StopCommand {
        std::uint32_t id;
        int player;
        bool fromToolbar;
    };
    constexpr StopCommand kStops[] = {
        {CommandId::StopFirstTimer, 0, false},
        {CommandId::StopSecondTimer, 1, false},
        {CommandId::StopFirstTimerBar, 0, true},
        {CommandId::StopSecondTimerBar, 1, true},
    };
    for (const StopCommand stop : kStops) {
        commands.Register(
            stop.id, [&engine, stop] { engine.StopPlayer(stop.player); },
            [&engine, stop] { return engine.CanStopPlayer(stop.player, stop.fromToolbar); });
    }

    commands.Register(CommandId::NewPuzzle, [&view] { view.RunPuzzleEditor(); });
    commands.Register(CommandId::ChooseComPort, [&view] { view.ChooseComPort(); });
    commands.Register(CommandId::NextGameNumber, [&view] { view.ChooseGameNumber(); });
    commands.Register(CommandId::PuzzlePath, [&view] { view.ChoosePuzzlePath(); });
    commands.Register(CommandId::SwitchTime, [&view] { view.ChooseSwitchTime(); });
    commands.Register(
        CommandId::SecondTick, [&view] { view.ToggleSecondTick(); }, {},
        [&engine] { return engine.State().SecTicker != 0; });

    CBuzzerControl& buzzers = view.Buzzers();
    commands.Register(
        CommandId::PhoneBuzzers, [&buzzers] { buzzers.Toggle(); }, {}, [&buzzers] { return buzzers.IsOn(); });

    struct StarSizeCommand {
        std::uint32_t id;
        int size;
    };
    constexpr StarSizeCommand kStarSizes[] = {
        {CommandId::SmallStars, 2},
        {CommandId::MediumStars, 1},
        {CommandId::LargeStars, 0},
        {CommandId::TwoRows, 3},
    };
    // Only the stored value itself is checked: an unknown size draws large stars, yet shows none
    // of the items checked until one is chosen.
    for (const StarSizeCommand starSize : kStarSizes) {
        commands.Register(
            starSize.id, [&view, starSize] { view.SetStarSize(starSize.size); }, {},
            [&renderer, starSize] { return renderer.StarSize == starSize.size; });
    }
}

void CQuizmoraView::RegisterCommands(CCommandTable& commands)
{
    RegisterViewCommands(commands, *this);
}

void CQuizmoraView::RunPuzzleEditor(const std::string& picturePath)
{
    const auto runStepAndRedraw = [this] {
        TimerStep();
        imageWnd_->RedrawNow();
    };
    if (picturePath.empty())
        NewPuzzle(this, engine_, runStepAndRedraw);
    else
        NewPuzzleWithPicture(this, engine_, runStepAndRedraw, picturePath);
}

void CQuizmoraView::ChooseComPort()
{
    CTextInputDlg dialog(this);
    dialog.SetTitle(QStringLiteral("COM-Port"));
    dialog.SetPrompt(QStringLiteral("Bitte hier das COM-Port angeben :"));
    dialog.SetText(Utf8ToCp1252(ComPortPromptText(settings_.ComPort, settings_.ComDevice)));
    if (dialog.DoModal() != kDialogOk)
        return;
    SComPortChoice choice = ParseComPortInput(Cp1252ToUtf8(dialog.Text()), settings_.ComPort);
    settings_.ComPort = choice.index;
    settings_.ComDevice = std::move(choice.device);
    // The reader sees the new setting within its next pass and reopens.
    portSetting_.Set(settings_.ComPort, settings_.ComDevice);
}

void CQuizmoraView::ChooseGameNumber()
{
    std::int32_t& gameNumber = engine_.State().GameNumber;
    CNumberInputDlg dialog(this);
    dialog.SetTitle(QStringLiteral("Nächstes Spiel"));
    dialog.SetPrompt(QStringLiteral("Bitte hier die Spielnummer eingeben :"));
    dialog.SetValue(gameNumber + 1, 0);
    if (dialog.DoModal() != kDialogOk)
        return;
    // Nothing loads now: the next start loads the number after the one set here.
    if (const std::optional<std::int32_t> number = AcceptedGameNumber(dialog.GetValue(), gameNumber))
        gameNumber = *number;
}

void CQuizmoraView::ChooseSwitchTime()
{
    CNumberInputDlg dialog(this);
    dialog.SetTitle(QStringLiteral("Schaltzeit einstellen"));
    dialog.SetPrompt(QStringLiteral("Weiterschaltzeit in Millisekunden (2000...10000) :"));
    dialog.SetValue(engine_.State().SwitchTime, 0);
    if (dialog.DoModal() != kDialogOk)
        return;
    engine_.SetSwitchTime(dialog.GetValue());
}

void CQuizmoraView::ChoosePuzzlePath()
{
    CPathDlg dialog(this);
    dialog.SetTitle(QStringLiteral("Pfad mit Texten"));
    std::string start = prevPicPath_.empty() ? settings_.PicPath : prevPicPath_;
    // Without a puzzle folder yet (the first start) the chooser opens on the demo puzzles.
    if (GetPathType(start) < kPathFolder && !InstalledDemoFolder().empty())
        start = InstalledDemoFolder();
    dialog.SetPath(QString::fromStdString(start));
    if (dialog.Run(CPathDlg::kMustExist | CPathDlg::kCreateMissing) != CPathDlg::kOk)
        return;
    prevPicPath_.clear();
    ApplyPuzzlePath(dialog.GetPath(0).toStdString());
}
