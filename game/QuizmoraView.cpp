#include "game/QuizmoraView.h"

#include "app/CommandIds.h"
#include "buzzers/BuzzerControl.h"
#include "game/GameColours.h"
#include "remote/RemoteReader.h"
#include "ui/ImageWnd.h"
#include "ui/PathFunctions.h"

#include <QCursor>
#include <QHostAddress>
#include <QLabel>
#include <QMainWindow>
#include <QResizeEvent>
#include <QStatusBar>

#include <ctime>

namespace {

constexpr int kImageWindowId = 38680;

std::uint32_t RandomSeed()
{
    return static_cast<std::uint32_t>(std::time(nullptr)) ^ GetTickCount();
}

// Clears the busy mark however the step ends.
class CBusyMark {
public:
    explicit CBusyMark(bool& busy) : busy_(busy) { busy_ = true; }
    ~CBusyMark() { busy_ = false; }
    CBusyMark(const CBusyMark&) = delete;
    CBusyMark& operator=(const CBusyMark&) = delete;

private:
    bool& busy_;
};

}  // namespace

CQuizmoraView::CQuizmoraView(const GameViewContext& context, Options options)
    : QWidget(context.parent)
    , sound_(context.sound)
    , postCommand_(context.postCommand)
    , clock_(options.clock != nullptr ? *options.clock : steadyClock_)
    , settings_(LoadViewSettings())
    , random_(RandomSeed())
    , engine_(clock_, random_, sound_)
    , imageWnd_(new CImageWnd(this))
    , target_(*imageWnd_)
    , renderer_(engine_.State(), engine_.Picture(), target_, glyphs_)
    , portSetting_(settings_.ComPort, settings_.ComDevice)
    , remoteHost_(
          engine_, postCommand_,
          [this](std::string portName) {
              // From the reader thread: shown by the GUI thread, and dropped if the view is gone.
              QMetaObject::invokeMethod(
                  this, [this, portName] { ShowRemoteState(portName); }, Qt::QueuedConnection);
          })
    , buzzerGame_(engine_, remoteHost_)
{
    setObjectName(QStringLiteral("gameView"));
    // The image window covers everything; the view itself never paints or erases.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setMinimumSize(1, 1);

    engine_.SetSwitchTime(settings_.SwitchTime);
    engine_.State().SecTicker = settings_.SecTicker;
    engine_.SetPuzzlePath(settings_.PicPath);
    engine_.SetLetterListener([this](int index) { renderer_.DrawLetterCell(index); });

    imageWnd_->Create(0, QRect(), this, kImageWindowId);
    imageWnd_->SetBackgroundColor(GameColours::Background);
    renderer_.LoadResources(settings_.StarSize);

    ShowRemoteState({});
    AttachStatusPane(context.parent);
    buzzers_ = std::make_unique<CBuzzerControl>(buzzerGame_, context.parent);
    reader_ = std::make_unique<CRemoteReader>(remoteHost_, portSetting_);

    gameTimer_.setTimerType(Qt::PreciseTimer);
    connect(&gameTimer_, &QTimer::timeout, this, &CQuizmoraView::TimerStep);
    gameTimer_.start(kTimerPeriodMs);
}

CQuizmoraView::~CQuizmoraView()
{
    gameTimer_.stop();
    SaveViewSettings(CurrentSettings());
    // The reader calls into the engine and this view: it has ended before they go.
    reader_.reset();
    buzzers_.reset();
    delete statusPane_.data();
}

SViewSettings CQuizmoraView::CurrentSettings() const
{
    SViewSettings settings = settings_;
    settings.SwitchTime = engine_.State().SwitchTime;
    settings.SecTicker = engine_.State().SecTicker;
    settings.StarSize = renderer_.StarSize;
    return settings;
}

void CQuizmoraView::SetPuzzlePath(const QString& path)
{
    prevPicPath_ = settings_.PicPath;
    ApplyPuzzlePath(path.toStdString());
}

void CQuizmoraView::ApplyPuzzlePath(std::string path)
{
    RemoveSlash(path);
    settings_.PicPath = std::move(path);
    // The game number stays: the next start loads its successor from the new path.
    engine_.SetPuzzlePath(settings_.PicPath);
}

void CQuizmoraView::CheckPuzzlePathAtStart()
{
    if (GetPathType(settings_.PicPath) < kPathFolder && postCommand_)
        postCommand_(CommandId::PuzzlePath);
}

void CQuizmoraView::StartBuzzers(const QString& host, int port)
{
    buzzers_->SetEndpoint(QHostAddress(host), static_cast<quint16>(port));
    buzzers_->SwitchOn();
}

QString CQuizmoraView::BuzzerJoinUrl() const
{
    return buzzers_->JoinUrl();
}

void CQuizmoraView::SetCursorParkMode(int mode)
{
    cursorParkMode_ = mode;
    UpdateParkRect();
}

void CQuizmoraView::UpdateParkRect()
{
    const QPoint topLeft = mapToGlobal(QPoint(0, 0));
    parkRect_ = {topLeft.x(), topLeft.y(), topLeft.x() + width() - 1, topLeft.y() + height()};
}

void CQuizmoraView::ParkCursor()
{
    if (cursorParkMode_ != 2)
        return;
    const QPoint cursor = QCursor::pos();
    if (parkRect_.Contains(cursor.x(), cursor.y()))
        QCursor::setPos(parkRect_.right, parkRect_.bottom - 1);
}

void CQuizmoraView::resizeEvent(QResizeEvent* event)
{
    renderer_.OnSize(event->size().width(), event->size().height());
    // The full-screen switch reaches its final size only after the mode was set.
    if (cursorParkMode_ != 0)
        UpdateParkRect();
    QWidget::resizeEvent(event);
}

void CQuizmoraView::TimerStep()
{
    if (!renderer_.HasSize() || busy_)
        return;
    const CBusyMark mark(busy_);
    ParkCursor();
    engine_.GameStep();
    renderer_.DrawStep();
}

void CQuizmoraView::PlayGameSound(const char* name)
{
    sound_.PlayGameSound(name);
}

void CQuizmoraView::SetStarSize(int size)
{
    renderer_.SetStarSize(size);
}

void CQuizmoraView::ToggleSecondTick()
{
    std::int32_t& ticker = engine_.State().SecTicker;
    ticker = ticker == 0 ? 1 : 0;
}

void CQuizmoraView::ShowRemoteState(const std::string& portName)
{
    const QString port = portName.empty() ? QStringLiteral("–") : QString::fromStdString(portName);
    remoteStatus_ = QStringLiteral("Fernbedienung: ") + port;
    if (statusPane_)
        statusPane_->setText(remoteStatus_);
    emit RemoteStatusChanged(remoteStatus_);
}

void CQuizmoraView::AttachStatusPane(QWidget* parent)
{
    auto* frame = qobject_cast<QMainWindow*>(parent);
    if (frame == nullptr)
        return;
    QStatusBar* bar = frame->statusBar();
    statusPane_ = new QLabel(remoteStatus_, bar);
    statusPane_->setObjectName(QStringLiteral("remotePane"));
    bar->addPermanentWidget(statusPane_);
}

std::unique_ptr<IGameView> CreateGameView(const GameViewContext& context)
{
    return std::make_unique<CQuizmoraView>(context);
}
