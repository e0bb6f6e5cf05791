#pragma once
// The game view: hosts the engine and the renderer, drives them from the 50 ms game timer, keeps
// the view's settings, runs the remote reader and offers the game's commands with their rules.
// The game logic lives in the engine and the renderer; this class wires them to the window.

#include "app/GameViewInterface.h"
#include "buzzers/EngineBuzzerGame.h"
#include "game/GameEngine.h"
#include "game/GameRenderer.h"
#include "game/ImageWndTarget.h"
#include "game/PictureSupply.h"
#include "game/QtLetterGlyphs.h"
#include "game/ViewRemoteHost.h"
#include "game/ViewSettings.h"
#include "remote/RemotePortSetting.h"
#include "support/Random.h"
#include "support/TickCount.h"

#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>
#include <string>

class CBuzzerControl;
class CImageWnd;
class CRemoteReader;
class QLabel;

// A screen rectangle with exclusive right and bottom edges, as the cursor parking compares it.
struct SParkRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
};

struct SViewOptions {
    const CTickSource* clock = nullptr;  // default: the steady clock (tests pass a manual one)
};

class CQuizmoraView final : public QWidget, public IGameView {
    Q_OBJECT
public:
    using Options = SViewOptions;

    static constexpr int kTimerPeriodMs = 50;

    // Reads the settings, seeds the random generator, builds the screen, starts the remote reader
    // and the game timer.
    explicit CQuizmoraView(const GameViewContext& context, Options options = {});
    // Writes the settings, then stops the remote reader before anything it uses goes.
    ~CQuizmoraView() override;

    // IGameView
    QWidget* Widget() override { return this; }
    void RegisterCommands(CCommandTable& commands) override;
    void SetPuzzlePath(const QString& path) override;
    void SetCursorParkMode(int mode) override;
    void CheckPuzzlePathAtStart() override;
    void StartBuzzers(const QString& host, int port) override;
    QString BuzzerJoinUrl() const override;

    // One tick of the game timer: the game step, then the drawing step. Does nothing while the
    // view has no size or a tick is still in progress.
    void TimerStep();

    void PlayGameSound(const char* name);
    void SetStarSize(int size);
    void ToggleSecondTick();

    // The puzzle editor: a new puzzle written below the puzzle path and started at once. A
    // picturePath is the picture the editor starts with.
    void RunPuzzleEditor(const std::string& picturePath = {});

    // The prompts of the settings commands (modal).
    void ChooseComPort();
    void ChooseGameNumber();
    void ChooseSwitchTime();
    void ChoosePuzzlePath();

    // The settings as they stand now (the values that destruction writes).
    SViewSettings CurrentSettings() const;
    const std::string& PreviousPuzzlePath() const { return prevPicPath_; }
    int CursorParkMode() const { return cursorParkMode_; }
    // The view on the screen, its right edge one less, so that the parking spot (right,
    // bottom - 1), the view's bottom-right pixel, lies just outside it.
    SParkRect ParkRect() const { return parkRect_; }

    CGameEngine& Engine() { return engine_; }
    CGameRenderer& Renderer() { return renderer_; }
    CImageWnd& ImageWindow() { return *imageWnd_; }
    CGraphicsImage& BackBuffer() { return target_.BackBuffer(); }
    IRemoteHost& RemoteHost() { return remoteHost_; }
    // The phone buzzers' switch (off until turned on).
    CBuzzerControl& Buzzers() { return *buzzers_; }
    CPictureSupply& PictureSupply() { return *pictureSupply_; }
    // "Fernbedienung: COM3" while a port is open, "Fernbedienung: –" while none can be.
    QString RemoteStatus() const { return remoteStatus_; }

    // The size a new window offers the game before the quiz master places it.
    QSize sizeHint() const override { return {1024, 640}; }

signals:
    void RemoteStatusChanged(const QString& text);

protected:
    void resizeEvent(QResizeEvent* event) override;
    // A picture file dropped on the game opens the editor with it; a puzzle set becomes the path.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void ApplyPuzzlePath(std::string path);
    void UpdateParkRect();
    void ParkCursor();
    void ShowRemoteState(const std::string& portName);
    void AttachStatusPane(QWidget* parent);
    // The picture of a started puzzle that had to wait for the worker.
    void ShowAwaitedPicture();

    IGameSound& sound_;
    std::function<void(std::uint32_t)> postCommand_;
    CSteadyTicks steadyClock_;
    const CTickSource& clock_;
    SViewSettings settings_;
    std::string prevPicPath_;
    CRandom random_;
    CGameEngine engine_;
    CQtLetterGlyphs glyphs_;
    CImageWnd* imageWnd_;  // a child widget, owned by this widget
    CImageWndTarget target_;
    CGameRenderer renderer_;
    bool busy_ = false;
    int cursorParkMode_ = 0;
    SParkRect parkRect_;
    CRemotePortSetting portSetting_;
    CViewRemoteHost remoteHost_;
    QString remoteStatus_;
    QPointer<QLabel> statusPane_;
    CEngineBuzzerGame buzzerGame_;
    std::unique_ptr<CBuzzerControl> buzzers_;
    QTimer gameTimer_;
    std::unique_ptr<CPictureSupply> pictureSupply_;  // its worker posts to this view
    std::unique_ptr<CRemoteReader> reader_;  // last: it calls into the members above
};
