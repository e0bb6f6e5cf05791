#pragma once
// The program's one top-level window: menu bar, tool bar, status bar and the game view as its
// client. It keeps its placement across runs (on the monitor it was on), switches to a full
// screen without caption, menu or bars for the audience, can stay on top, and answers the
// messages of other programs (MessageHandler.h) as their target.

#include "app/FramePlacement.h"
#include "app/MenuImages.h"
#include "app/MessageHandler.h"

#include <QMainWindow>
#include <QKeySequence>
#include <QList>
#include <QPixmap>

#include <array>
#include <cstdint>
#include <vector>

class CCommandRouter;
class COwnerDrawMenu;
class CQuizmoraDoc;
class IGameView;
class QFrame;
class QLabel;
class QShortcut;
class QToolBar;
struct SBuzzerKeys;

class CMainFrame final : public QMainWindow, public IMessageTarget {
    Q_OBJECT
public:
    // Reads "FlatMode" and "ShowGamerBar", builds the bars and registers the frame's commands.
    CMainFrame(CCommandRouter& router, CQuizmoraDoc& document, QWidget* parent = nullptr);
    // Writes "FlatMode" and "ShowGamerBar".
    ~CMainFrame() override;

    // The client: the view's widget inside a sunken edge. The view must outlive its use here or
    // be detached with SetView(nullptr).
    void SetView(IGameView* view);

    // Before the first showing: applies the stored placement; true when the window is to be
    // shown maximized.
    bool RestorePlacement();
    // Writes the placement values; done when the window closes.
    void SavePlacement();

    // 0 normal, 1 full screen from a normal window, 2 full screen from a maximized one.
    int FullScreenState() const { return fullScreenState_; }
    void ToggleFullScreen();
    bool FlatMode() const { return flatMode_; }
    void ToggleFlatMode();
    bool StayOnTop() const { return stayOnTop_; }
    void ToggleStayOnTop();

    // The caption follows the document's name.
    void UpdateCaption();

    QToolBar* ToolBar() const { return toolBar_; }
    // The text of a status-bar pane (0 prompt, 1 caps, 2 num, 3 scroll lock).
    QString StatusText(int pane) const;

    // IMessageTarget
    bool PostExit() override;
    bool SetStatusText(std::uint32_t pane, const std::string& text) override;
    std::string DocumentPath() const override;
    bool OpenDocument(const std::string& path) override;
    std::string JoinUrl() const override;
    bool PostCommand(std::uint32_t id) override;

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void moveEvent(QMoveEvent* event) override;

private:
    void RegisterCommands();
    void CreateMenus();
    void CreateToolBar();
    void BuildMenuImages();
    void CreateStatusBar();
    void CreateAccelerators();
    // The keys of the keyboard buzzers: the dialog, and the keys put into force and into the menu.
    void ChooseBuzzerKeys();
    void ApplyBuzzerKeys(const SBuzzerKeys& keys);
    void ApplyFlatMode();
    void UpdateLockPanes();
    // Gives a restored window the stored outer size once the window system knows its border.
    void ApplyOuterSize();
    static std::vector<ScreenRect> Monitors(int& primary);

    CCommandRouter& router_;
    CQuizmoraDoc& document_;
    IGameView* view_ = nullptr;
    QFrame* client_;
    QToolBar* toolBar_ = nullptr;
    CMenuImages menuImages_;
    std::vector<COwnerDrawMenu*> menus_;  // owned by the menu bar
    std::array<QLabel*, 4> panes_{};
    std::array<QShortcut*, 2> stopShortcuts_{};  // children of the frame
    QList<QKeySequence> otherKeys_;               // the accelerators the buzzer keys must not take
    bool toolBarWasVisible_ = true;
    bool statusBarWasVisible_ = true;
    std::uint32_t showGamerBar_ = 0;
    bool stayOnTop_ = false;
    bool flatMode_ = true;
    int fullScreenState_ = 0;
    bool managedWindow_ = false;  // a window manager takes care of the full-screen state
    QRect normalGeometry_;        // the window before it went full screen from a normal state
    QSize pendingOuterSize_;      // a restored size still to be corrected by the border
    bool placementSaved_ = false;
};
