#include "show/ShowController.h"

#include "app/CommandIds.h"
#include "app/CommandRouter.h"
#include "app/MainFrame.h"
#include "app/QuizmoraApp.h"
#include "buzzers/BuzzerControl.h"
#include "game/QuizmoraView.h"
#include "show/PresenterWindow.h"
#include "show/ShowStateFile.h"
#include "support/SettingsKey.h"

#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QWindow>

#include <cstdio>
#include <system_error>
#include <vector>

namespace {

constexpr std::string_view kScreensSubkey = "Presenter";
constexpr int kBesideWidth = 520;
constexpr int kBesideHeight = 720;

ScreenRect RectOf(const QRect& rect)
{
    return {rect.left(), rect.top(), rect.left() + rect.width(), rect.top() + rect.height()};
}

QRect QRectOf(const ScreenRect& rect)
{
    return {rect.left, rect.top, rect.Width(), rect.Height()};
}

std::vector<ScreenRect> Monitors(int& primary)
{
    std::vector<ScreenRect> monitors;
    primary = 0;
    const auto screens = QGuiApplication::screens();
    for (qsizetype i = 0; i < screens.size(); ++i) {
        monitors.push_back(RectOf(screens[i]->geometry()));
        if (screens[i] == QGuiApplication::primaryScreen())
            primary = static_cast<int>(i);
    }
    return monitors;
}

int IndexOfScreen(const QScreen* screen)
{
    return static_cast<int>(QGuiApplication::screens().indexOf(const_cast<QScreen*>(screen)));
}

// The monitor that holds the window's centre; -1 when none does.
int MonitorOfWidget(const QWidget& widget)
{
    int primary = 0;
    const std::vector<ScreenRect> monitors = Monitors(primary);
    const int found = MonitorOfRect(monitors, RectOf(widget.frameGeometry()));
    return found >= 0 ? found : IndexOfScreen(widget.screen());
}

QString FromUtf8(const std::string& text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Moves a top-level window onto a screen, by its native window as well where there is one, so
// that the window system's full-screen state later covers that screen.
void PutOnScreen(QWidget& window, QScreen* screen, const QRect& geometry)
{
    if (QWindow* handle = window.windowHandle())
        handle->setScreen(screen);
    window.setGeometry(geometry);
}

}  // namespace

CShowController::CShowController(CCommandRouter& router, CMainFrame& frame, CQuizmoraView& view,
                                 std::filesystem::path stateFile)
    : router_(router)
    , frame_(frame)
    , view_(view)
    , stateFile_(std::move(stateFile))
{
    CCommandTable& table = router_.Table();
    table.Register(CommandId::PresenterView, [this] { TogglePresenter(); }, {}, [this] { return PresenterShown(); });
    table.Register(
        CommandId::SwapScreens, [this] { SwapScreens(); },
        [this] { return PresenterShown() && QGuiApplication::screens().size() >= 2; });
    table.AddObserver([controller = QPointer<CShowController>(this)] {
        if (controller)
            controller->SaveIfChanged();
    });
    // Stops from the remote and the puzzle editor's start pass no command: look now and then.
    connect(&saveCheck_, &QTimer::timeout, this, &CShowController::SaveIfChanged);
    // The phones' join address and the last race's margin, while the phone buzzers are on.
    const CBuzzerControl& buzzers = view_.Buzzers();
    const auto showBuzzers = [this, &buzzers] {
        SetBuzzerText(buzzers.IsOn() ? QStringLiteral("Handy-Buzzer: %1\n%2").arg(buzzers.JoinUrl(), buzzers.MarginText())
                                     : QString());
    };
    connect(&buzzers, &CBuzzerControl::SwitchedOn, this, showBuzzers);
    connect(&buzzers, &CBuzzerControl::MarginChanged, this, showBuzzers);
    showBuzzers();
}

CShowController::~CShowController()
{
    delete presenter_.data();
    // The program may outlive the show for a moment: its commands are unavailable from now on.
    router_.Table().Register(CommandId::PresenterView, {});
    router_.Table().Register(CommandId::SwapScreens, {});
}

void CShowController::Start(bool presenter)
{
    OfferRecovery();
    written_ = Snapshot();
    saveCheck_.start(kSaveCheckMs);
    if (presenter)
        OpenPresenter(true);
}

SShowState CShowController::Snapshot() const
{
    const CGameState& state = view_.Engine().State();
    SShowState show;
    show.puzzlePath = view_.CurrentSettings().PicPath;
    show.gameNumber = state.GameNumber;
    show.stars = state.Stars;
    show.starSize = view_.Renderer().StarSize;
    return show;
}

void CShowController::SaveIfChanged()
{
    if (!written_)
        return;  // not started yet: the show on disk is still to be offered
    const SShowState now = Snapshot();
    if (now.SameScore(*written_))
        return;
    if (!WriteShowStateFile(stateFile_, now)) {
        if (!writeFailed_)
            std::fprintf(stderr, "Quizmora: Spielstand %s kann nicht geschrieben werden.\n", stateFile_.string().c_str());
        writeFailed_ = true;
        return;
    }
    writeFailed_ = false;
    written_ = now;
}

void CShowController::EndShow()
{
    saveCheck_.stop();
    SShowState ended = Snapshot();
    ended.ended = true;
    // A start without any change and without an earlier show leaves no file behind.
    std::error_code error;
    if (written_ && (!ended.SameScore(*written_) || std::filesystem::exists(stateFile_, error)))
        WriteShowStateFile(stateFile_, ended);
    written_ = ended;
}

void CShowController::OfferRecovery()
{
    const SShowStateRead read = ReadShowStateFile(stateFile_);
    if (!read.problem.empty()) {
        std::fprintf(stderr, "Quizmora: Spielstand %s ist %s und wird nicht verwendet.\n", stateFile_.string().c_str(),
                     read.problem.c_str());
        return;
    }
    if (!read.state || read.state->ended)
        return;
    const SShowState& show = *read.state;
    QMessageBox box(QMessageBox::Question, QStringLiteral("Spielstand wiederherstellen"),
                    QStringLiteral("Die letzte Show wurde nicht beendet.\n\nRätselpfad: %1\nSpielnummer: %2\n"
                                   "Sterne: links %3, rechts %4\n\nSoll sie fortgesetzt werden?")
                        .arg(FromUtf8(show.puzzlePath))
                        .arg(show.gameNumber)
                        .arg(show.stars[0])
                        .arg(show.stars[1]),
                    QMessageBox::Yes | QMessageBox::No, &frame_);
    box.button(QMessageBox::Yes)->setText(QStringLiteral("Ja"));
    box.button(QMessageBox::No)->setText(QStringLiteral("Nein"));
    box.setDefaultButton(QMessageBox::Yes);
    if (box.exec() == QMessageBox::Yes) {
        Restore(show);
        return;
    }
    // A fresh start: the old show counts as ended from now on.
    SShowState fresh = Snapshot();
    fresh.ended = true;
    WriteShowStateFile(stateFile_, fresh);
}

void CShowController::Restore(const SShowState& show)
{
    view_.SetPuzzlePath(FromUtf8(show.puzzlePath));
    CGameEngine& engine = view_.Engine();
    CGameState& state = engine.State();
    // The puzzle comes back covered and waiting; the next start goes on with the one after it.
    if (show.gameNumber > 0)
        engine.LoadPuzzle(show.gameNumber);
    state.GameNumber = show.gameNumber;
    state.Running = 0;
    state.QuestionDirty = 1;
    state.AnswerDirty = 1;
    for (std::size_t player = 0; player < 2; ++player)
        state.Stars[player] =
            static_cast<std::uint8_t>(state.StarModulus > 0 ? show.stars[player] % state.StarModulus : 0);
    view_.SetStarSize(show.starSize);
}

void CShowController::SetBuzzerText(const QString& text)
{
    buzzerText_ = text;
    if (presenter_ != nullptr)
        presenter_->SetBuzzerText(text);
}

bool CShowController::PresenterShown() const
{
    return presenter_ != nullptr && presenter_->isVisible();
}

void CShowController::TogglePresenter()
{
    if (PresenterShown())
        presenter_->hide();
    else
        OpenPresenter(false);
}

SScreenChoice CShowController::Screens() const
{
    const int game = MonitorOfWidget(frame_);
    if (!PresenterShown())
        return {game, -1};
    const int presenter = MonitorOfWidget(*presenter_);
    return {game, presenter == game || QGuiApplication::screens().size() < 2 ? -1 : presenter};
}

void CShowController::OpenPresenter(bool moveGame)
{
    if (presenter_ == nullptr) {
        presenter_ = new CPresenterWindow(router_, view_.Engine(), &frame_);
        presenter_->SetBuzzerText(buzzerText_);
    }
    int primary = 0;
    const std::vector<ScreenRect> monitors = Monitors(primary);
    const CSettingsKey settings(kScreensSubkey);
    std::string layout;
    settings.ReadString("Layout", layout);
    std::int32_t storedGame = -1;
    const bool stored = settings.ReadDword("GameMonitor", storedGame);
    const int current = MonitorOfWidget(frame_);
    SScreenChoice choice;
    if (moveGame) {
        choice = ChooseScreens(monitors, primary, current, layout,
                               stored ? std::optional<int>(storedGame) : std::nullopt);
        if (monitors.size() >= 2 && choice.game != current)
            MoveGameTo(choice.game);
    } else {
        // Opened from the menu the game stays where it is; only the presenter looks for its monitor.
        choice = ChooseScreens(monitors, primary, current, MonitorLayoutKey(monitors), current);
    }
    PlacePresenter(choice);
    if (choice.presenter >= 0)
        RememberScreens(choice);
    presenter_->show();
    presenter_->raise();
    presenter_->activateWindow();
    presenter_->Refresh();
}

void CShowController::PlacePresenter(const SScreenChoice& choice)
{
    const auto screens = QGuiApplication::screens();
    if (choice.presenter >= 0 && choice.presenter < screens.size()) {
        QScreen* screen = screens[choice.presenter];
        const QRect area = screen->availableGeometry();
        const ScreenRect rect = CentredOn(RectOf(area), area.width() * 9 / 10, area.height() * 9 / 10);
        PutOnScreen(*presenter_, screen, QRectOf(rect));
        return;
    }
    // One monitor: a normal window beside the game.
    QScreen* screen = frame_.screen();
    if (screen == nullptr)
        return;
    const ScreenRect rect = BesideWindow(RectOf(screen->availableGeometry()), RectOf(frame_.frameGeometry()),
                                         kBesideWidth, kBesideHeight);
    PutOnScreen(*presenter_, screen, QRectOf(rect));
}

void CShowController::MoveGameTo(int monitor)
{
    const auto screens = QGuiApplication::screens();
    if (monitor < 0 || monitor >= screens.size())
        return;
    QScreen* target = screens[monitor];
    const bool fullScreen = frame_.FullScreenState() != 0;
    // The full-screen state belongs to one screen: leave it, move, and take it up again there.
    if (fullScreen)
        router_.Dispatch(CommandId::FullScreen);
    const bool maximized = frame_.isMaximized();
    if (maximized)
        frame_.showNormal();
    const QRect area = target->availableGeometry();
    const ScreenRect rect = CentredOn(RectOf(area), frame_.width(), frame_.height());
    PutOnScreen(frame_, target, QRectOf(rect));
    if (maximized)
        frame_.showMaximized();
    if (fullScreen)
        router_.Dispatch(CommandId::FullScreen);
}

void CShowController::SwapScreens()
{
    const SScreenChoice now = Screens();
    if (now.presenter < 0)
        return;
    const SScreenChoice swapped = SwappedScreens(now);
    MoveGameTo(swapped.game);
    PlacePresenter(swapped);
    RememberScreens(swapped);
}

void CShowController::RememberScreens(const SScreenChoice& choice) const
{
    int primary = 0;
    const std::vector<ScreenRect> monitors = Monitors(primary);
    CSettingsKey settings(kScreensSubkey);
    settings.WriteString("Layout", MonitorLayoutKey(monitors));
    settings.WriteDword("GameMonitor", static_cast<std::uint32_t>(choice.game));
    settings.Sync();
}

void InstallShow(CQuizmoraApp& app, std::unique_ptr<CShowController>& slot, std::filesystem::path stateFile)
{
    app.SetStartHook([&app, &slot, stateFile = std::move(stateFile)](const CommandLine& line) {
        auto* view = dynamic_cast<CQuizmoraView*>(app.View());
        if (view == nullptr || app.Frame() == nullptr)
            return;
        slot = std::make_unique<CShowController>(app.Router(), *app.Frame(), *view, stateFile);
        slot->Start(line.presenter);
    });
}
