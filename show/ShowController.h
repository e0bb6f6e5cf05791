#pragma once
// The show around the game: the presenter window on the quiz master's monitor (the game on the
// audience's, the two swappable and the choice kept per monitor layout), and the show's state on
// disk at every change, offered back at the next start when the program did not end cleanly.

#include "show/PresenterWindow.h"
#include "show/ScreenChoice.h"
#include "show/ShowState.h"

#include <QObject>
#include <QPointer>
#include <QTimer>

#include <filesystem>
#include <memory>
#include <optional>

class CCommandRouter;
class CMainFrame;
class CQuizmoraApp;
class CQuizmoraView;

class CShowController final : public QObject {
    Q_OBJECT
public:
    static constexpr int kSaveCheckMs = 250;

    // Registers the presenter's commands. stateFile: where the show's state lives.
    CShowController(CCommandRouter& router, CMainFrame& frame, CQuizmoraView& view, std::filesystem::path stateFile);
    ~CShowController() override;

    // At start: offers a show that did not end (dialog "Spielstand wiederherstellen"), then opens
    // the presenter when asked for, with the game moved to its monitor first.
    void Start(bool presenter);
    // A clean exit: the show on disk is marked as ended.
    void EndShow();

    void TogglePresenter();
    bool PresenterShown() const;
    CPresenterWindow* Presenter() const { return presenter_; }
    // The game's and the presenter's monitors as indices into QGuiApplication::screens().
    SScreenChoice Screens() const;
    void SwapScreens();
    // The phones' buzzers: the race margin and the join code for the presenter, kept for a
    // presenter opened later.
    void SetBuzzerText(const QString& text);

    // The show as it stands in the game now.
    SShowState Snapshot() const;
    // Writes the show when it differs from what was written last.
    void SaveIfChanged();

private:
    void OfferRecovery();
    void Restore(const SShowState& state);
    void OpenPresenter(bool moveGame);
    void MoveGameTo(int monitor);
    void PlacePresenter(const SScreenChoice& choice);
    void RememberScreens(const SScreenChoice& choice) const;

    CCommandRouter& router_;
    CMainFrame& frame_;
    CQuizmoraView& view_;
    std::filesystem::path stateFile_;
    QPointer<CPresenterWindow> presenter_;
    std::optional<SShowState> written_;
    bool writeFailed_ = false;
    QString buzzerText_;
    QTimer saveCheck_;
};

// Makes the show part of the program: the controller is created during the start, in `slot`, and
// stays until the caller resets it (after the event loop, with EndShow on a clean exit).
void InstallShow(CQuizmoraApp& app, std::unique_ptr<CShowController>& slot, std::filesystem::path stateFile);
