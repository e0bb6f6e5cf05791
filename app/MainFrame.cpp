#include "app/MainFrame.h"

#include "app/CommandIds.h"
#include "app/CommandRouter.h"
#include "app/GameViewInterface.h"
#include "app/QuizmoraDoc.h"
#include "support/Cp1252.h"
#include "support/SettingsKey.h"

#include <QCloseEvent>
#include <QMoveEvent>
#include <QShowEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QToolBar>
#include <QVBoxLayout>
#include <QWindow>

namespace {

constexpr std::string_view kSettingsSubkey = "Settings";

QString FromCp1252(const std::string& text)
{
    return QString::fromStdU16String(Cp1252ToUtf16(text));
}

std::string ToCp1252(const QString& text)
{
    return Utf16ToCp1252(text.toStdU16String());
}

}  // namespace

CMainFrame::CMainFrame(CCommandRouter& router, CQuizmoraDoc& document, QWidget* parent)
    : QMainWindow(parent)
    , router_(router)
    , document_(document)
    , client_(new QFrame(this))
{
    const CSettingsKey settings(kSettingsSubkey);
    std::uint32_t flat = 1;
    settings.ReadDword("FlatMode", flat);
    flatMode_ = flat != 0;
    settings.ReadDword("ShowGamerBar", showGamerBar_);

    client_->setObjectName(QStringLiteral("viewEdge"));
    client_->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    auto* layout = new QVBoxLayout(client_);
    layout->setContentsMargins(client_->frameWidth(), client_->frameWidth(), client_->frameWidth(),
                               client_->frameWidth());
    setCentralWidget(client_);

    RegisterCommands();
    CreateMenus();
    CreateToolBar();
    BuildMenuImages();
    CreateStatusBar();
    CreateAccelerators();
    // Where a window appears when nothing is stored: three quarters of the screen's work area.
    if (const QScreen* primary = QGuiApplication::primaryScreen()) {
        const QRect area = primary->availableGeometry();
        resize(area.width() * 3 / 4, area.height() * 3 / 4);
        move(area.left() + area.width() / 8, area.top() + area.height() / 8);
    }
    toolBarWasVisible_ = !toolBar_->isHidden();
    statusBarWasVisible_ = !statusBar()->isHidden();
    UpdateCaption();
    router_.UpdateActions();
}

CMainFrame::~CMainFrame()
{
    if (!placementSaved_ && isVisible())
        SavePlacement();
    CSettingsKey settings(kSettingsSubkey);
    settings.WriteDword("FlatMode", flatMode_ ? 1u : 0u);
    settings.WriteDword("ShowGamerBar", showGamerBar_);
}

void CMainFrame::SetView(IGameView* view)
{
    auto* layout = client_->layout();
    if (view_ != nullptr && view_->Widget() != nullptr)
        layout->removeWidget(view_->Widget());
    view_ = view;
    if (view_ != nullptr && view_->Widget() != nullptr)
        layout->addWidget(view_->Widget());
}

void CMainFrame::RegisterCommands()
{
    CCommandTable& table = router_.Table();
    table.Register(CommandId::FullScreen, [this] { ToggleFullScreen(); });
    table.Register(CommandId::FlatToolBar, [this] { ToggleFlatMode(); }, {}, [this] { return flatMode_; });
    table.Register(CommandId::StayOnTop, [this] { ToggleStayOnTop(); }, {}, [this] { return stayOnTop_; });
    table.Register(
        CommandId::ViewToolBar, [this] { toolBar_->setHidden(!toolBar_->isHidden()); }, {},
        [this] { return toolBar_ != nullptr && !toolBar_->isHidden(); });
    table.Register(
        CommandId::ViewStatusBar, [this] { statusBar()->setHidden(!statusBar()->isHidden()); }, {},
        [this] { return !statusBar()->isHidden(); });
    table.Register(CommandId::Exit, [this] { close(); });
    table.Register(CommandId::BuzzerKeys, [this] { ChooseBuzzerKeys(); });
    // The document's save commands exist but have nothing to save.
    table.Register(CommandId::SaveDocument, [] {});
    table.Register(CommandId::SaveDocumentAs, [] {});
    // Unavailable until the show around the game takes them over.
    table.Register(CommandId::PresenterView, {});
    table.Register(CommandId::SwapScreens, {});
}

void CMainFrame::UpdateCaption()
{
    setWindowTitle(document_.Caption());
}

std::vector<ScreenRect> CMainFrame::Monitors(int& primary)
{
    std::vector<ScreenRect> monitors;
    primary = 0;
    const auto screens = QGuiApplication::screens();
    for (qsizetype i = 0; i < screens.size() && i < 16; ++i) {
        const QRect area = screens[i]->geometry();
        monitors.push_back({area.left(), area.top(), area.left() + area.width(), area.top() + area.height()});
        if (screens[i] == QGuiApplication::primaryScreen())
            primary = static_cast<int>(i);
    }
    return monitors;
}

bool CMainFrame::RestorePlacement()
{
    const CSettingsKey settings(kSettingsSubkey);
    std::uint32_t zoomed = 0;
    if (!settings.ReadDword("IsZoomed", zoomed))
        return false;
    StoredPlacement stored;
    stored.zoomed = zoomed != 0;
    settings.ReadDword("LastPosX", stored.x);
    settings.ReadDword("LastPosY", stored.y);
    settings.ReadDword("LastSizeX", stored.width);
    settings.ReadDword("LastSizeY", stored.height);
    settings.ReadDword("LastMonitor", stored.monitor);

    int primary = 0;
    const std::vector<ScreenRect> monitors = Monitors(primary);
    const QRect current = geometry();
    const ScreenRect defaultRect{current.left(), current.top(), current.left() + current.width(),
                                 current.top() + current.height()};
    const RestoredPlacement placement = ::RestorePlacement(stored, monitors, primary, defaultRect);
    if (!(placement.rect == defaultRect)) {
        // Before the window exists the position is the border's; the size is the client's until
        // the border is known (ApplyOuterSize).
        move(placement.rect.left, placement.rect.top);
        resize(placement.rect.Width(), placement.rect.Height());
        pendingOuterSize_ = QSize(placement.rect.Width(), placement.rect.Height());
    }
    return placement.zoomed;
}

void CMainFrame::ApplyOuterSize()
{
    if (!pendingOuterSize_.isValid() || !isVisible())
        return;
    if (windowState() != Qt::WindowNoState) {
        pendingOuterSize_ = QSize();
        return;
    }
    const QSize border = frameGeometry().size() - size();
    if (border.width() <= 0 && border.height() <= 0)
        return;  // the window system has not told the border yet
    resize(pendingOuterSize_ - border);
    pendingOuterSize_ = QSize();
}

void CMainFrame::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    ApplyOuterSize();
}

void CMainFrame::moveEvent(QMoveEvent* event)
{
    QMainWindow::moveEvent(event);
    ApplyOuterSize();
}

void CMainFrame::SavePlacement()
{
    placementSaved_ = true;
    CSettingsKey settings(kSettingsSubkey);
    // Full screen counts as maximized: the next start shows a maximized window with caption.
    const bool zoomed = isMaximized() || fullScreenState_ != 0;
    settings.WriteDword("IsZoomed", zoomed ? 1u : 0u);
    // The window as the user sees it, border and caption included.
    const QRect outer = frameGeometry();
    const ScreenRect rect{outer.left(), outer.top(), outer.left() + outer.width(), outer.top() + outer.height()};
    if (!zoomed) {
        settings.WriteDword("LastPosX", static_cast<std::uint32_t>(rect.left));
        settings.WriteDword("LastPosY", static_cast<std::uint32_t>(rect.top));
        settings.WriteDword("LastSizeX", static_cast<std::uint32_t>(rect.Width()));
        settings.WriteDword("LastSizeY", static_cast<std::uint32_t>(rect.Height()));
    }
    int primary = 0;
    const std::vector<ScreenRect> monitors = Monitors(primary);
    if (monitors.size() >= 2)
        settings.WriteDword("LastMonitor", static_cast<std::uint32_t>(MonitorOfRect(monitors, rect)));
    settings.Sync();
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    SavePlacement();
    QMainWindow::closeEvent(event);
}

void CMainFrame::ToggleFullScreen()
{
    if (fullScreenState_ == 0) {
        fullScreenState_ = isMaximized() ? 2 : 1;
        if (fullScreenState_ == 1)
            normalGeometry_ = geometry();
        pendingOuterSize_ = QSize();
        statusBarWasVisible_ = !statusBar()->isHidden();
        statusBar()->hide();
        toolBarWasVisible_ = !toolBar_->isHidden();
        toolBar_->hide();
        menuBar()->hide();
        client_->setFrameShape(QFrame::NoFrame);
        client_->layout()->setContentsMargins(0, 0, 0, 0);
        // A window manager that draws the window's border also honours the full-screen state and
        // keeps the rectangle to come back to; on a bare window system we do both ourselves.
        managedWindow_ = frameGeometry() != geometry();
        // The window system's full-screen state is the caption-less window over the whole screen of
        // the window. A maximized window stays maximized beneath it, so that the window manager
        // keeps the normal rectangle under the maximized one.
        setWindowState(windowState() | Qt::WindowFullScreen);
        show();
        // Through the native window: the widget's own setGeometry would end the full-screen state.
        if (QScreen* current = screen(); !managedWindow_ && current != nullptr && windowHandle() != nullptr)
            windowHandle()->setGeometry(current->geometry());
        if (view_ != nullptr)
            view_->SetCursorParkMode(fullScreenState_);
    } else {
        if (statusBarWasVisible_ && statusBar()->isHidden())
            statusBar()->show();
        if (toolBarWasVisible_ && toolBar_->isHidden())
            toolBar_->show();
        client_->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
        const int edge = client_->frameWidth();
        client_->layout()->setContentsMargins(edge, edge, edge, edge);
        menuBar()->show();
        if (fullScreenState_ == 2) {
            setWindowState((windowState() & ~Qt::WindowFullScreen) | Qt::WindowMaximized);
            show();
        } else {
            showNormal();
            if (!managedWindow_ && normalGeometry_.isValid())
                setGeometry(normalGeometry_);
        }
        fullScreenState_ = 0;
        if (view_ != nullptr)
            view_->SetCursorParkMode(0);
    }
    repaint();
}

void CMainFrame::ToggleFlatMode()
{
    flatMode_ = !flatMode_;
    ApplyFlatMode();
}

void CMainFrame::ToggleStayOnTop()
{
    stayOnTop_ = !stayOnTop_;
    const bool wasVisible = isVisible();
    const Qt::WindowStates states = windowState();
    // Changing the flag re-creates the native window; show it again where it was, unactivated.
    setWindowFlag(Qt::WindowStaysOnTopHint, stayOnTop_);
    if (wasVisible) {
        setAttribute(Qt::WA_ShowWithoutActivating, true);
        setWindowState(states);
        show();
        setAttribute(Qt::WA_ShowWithoutActivating, false);
    }
}

bool CMainFrame::PostExit()
{
    router_.PostCommand(CommandId::Exit);
    return true;
}

bool CMainFrame::PostCommand(std::uint32_t id)
{
    router_.PostCommand(id);
    return true;
}

bool CMainFrame::SetStatusText(std::uint32_t pane, const std::string& text)
{
    if (pane >= panes_.size() || panes_[pane] == nullptr)
        return false;
    panes_[pane]->setText(FromCp1252(text));
    panes_[pane]->repaint();
    return true;
}

QString CMainFrame::StatusText(int pane) const
{
    if (pane < 0 || static_cast<std::size_t>(pane) >= panes_.size() || panes_[static_cast<std::size_t>(pane)] == nullptr)
        return {};
    return panes_[static_cast<std::size_t>(pane)]->text();
}

std::string CMainFrame::JoinUrl() const
{
    return view_ != nullptr ? view_->BuzzerJoinUrl().toStdString() : std::string();
}

std::string CMainFrame::DocumentPath() const
{
    return ToCp1252(document_.PathName());
}

bool CMainFrame::OpenDocument(const std::string& path)
{
    const bool opened = document_.OpenDocument(FromCp1252(path), view_ != nullptr);
    UpdateCaption();
    return opened;
}
