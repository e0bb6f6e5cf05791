#include "game/QuizmoraView.h"

#include "app/CommandIds.h"
#include "buzzers/BuzzerControl.h"
#include "game/GameColours.h"
#include "remote/RemoteReader.h"
#include "store/DroppedPath.h"
#include "ui/ImageWnd.h"
#include "ui/PathFunctions.h"

#include <QCursor>
#include <QHostAddress>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QLabel>
#include <QMainWindow>
#include <QMimeData>
#include <QResizeEvent>
#include <QStatusBar>
#include <QUrl>

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

// The first local file or folder of a drop, classified.
SDroppedPath DroppedPathOf(const QMimeData* mime)
{
    if (mime == nullptr || !mime->hasUrls())
        return {};
    for (const QUrl& url : mime->urls()) {
        if (url.isLocalFile())
            return ClassifyDroppedPath(QFile::encodeName(url.toLocalFile()).toStdString());
    }
    return {};
}

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
    , renderer_(engine_.State(), engine_.ShownPicture(), target_, glyphs_)
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

    // Only the posting happens on the worker; the picture is taken on this thread.
    pictureSupply_ = std::make_unique<CPictureSupply>(
        [this] { QMetaObject::invokeMethod(this, [this] { ShowAwaitedPicture(); }, Qt::QueuedConnection); });
    engine_.SetPictureSource(pictureSupply_.get());
    setAcceptDrops(true);

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
    engine_.SetPictureSource(nullptr);
    pictureSupply_.reset();
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
    // Cheap unless the screen, the path or the number changed: then the worker starts on the
    // picture the next start will need.
    pictureSupply_->SetScreen({renderer_.Width, renderer_.Height, renderer_.StarColumnWidth});
    pictureSupply_->PrepareNext(engine_.PuzzlePath(), engine_.State().GameNumber);
    engine_.GameStep();
    renderer_.DrawStep();
}

void CQuizmoraView::ShowAwaitedPicture()
{
    if (pictureSupply_->TakeAwaited(engine_.ShownPicture()))
        engine_.State().AnswerDirty = 1;
}

void CQuizmoraView::dragEnterEvent(QDragEnterEvent* event)
{
    if (DroppedPathOf(event->mimeData()).kind != SDroppedPath::Nothing)
        event->acceptProposedAction();
}

void CQuizmoraView::dropEvent(QDropEvent* event)
{
    SDroppedPath dropped = DroppedPathOf(event->mimeData());
    if (dropped.kind == SDroppedPath::Nothing)
        return;
    event->acceptProposedAction();
    if (dropped.kind == SDroppedPath::PuzzleSet) {
        SetPuzzlePath(QFile::decodeName(QByteArray::fromStdString(dropped.path.string())));
        return;
    }
    // The editor is modal: it runs once the drop is over, so the dragging program is not held.
    QMetaObject::invokeMethod(
        this, [this, picture = dropped.path.string()] { RunPuzzleEditor(picture); }, Qt::QueuedConnection);
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
