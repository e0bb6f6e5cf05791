#pragma once
// The quiz master's window over the running game: the question and the whole answer with the
// letters already uncovered marked, the puzzle's place in the set and the next question, both
// players' stars, the state of the puzzle and its seconds, and a button for each game command of
// the function keys. Buttons and keys go through the command table, so its rules hold here as
// they do in the game's own window; every key of the game works while this window has the focus.

#include "show/PresenterModel.h"

#include <QPointer>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <cstdint>
#include <filesystem>
#include <map>

class CCommandRouter;
class CGameEngine;
class QLabel;
class QPushButton;

class CPresenterWindow final : public QWidget {
    Q_OBJECT
public:
    static constexpr int kRefreshMs = 100;

    CPresenterWindow(CCommandRouter& router, const CGameEngine& engine, QWidget* parent = nullptr);

    // Reads the game's state into the texts and the buttons' enabled states.
    void Refresh();

    // The line below the stars for the phones' buzzers (race margin, join code); hidden while the
    // text is empty.
    void SetBuzzerText(const QString& text);

    // The answer as rich text, uncovered letters marked.
    QString AnswerHtml() const { return answerHtml_; }
    QPushButton* CommandButton(std::uint32_t id) const;

private:
    QLabel* AddText(const QString& caption, const char* name, int pointSize);
    void AddButtons();
    void ShowPuzzleSet();

    CCommandRouter& router_;
    const CGameEngine& engine_;
    QLabel* place_ = nullptr;
    QLabel* question_ = nullptr;
    QLabel* answer_ = nullptr;
    QLabel* next_ = nullptr;
    QLabel* stars_ = nullptr;
    QLabel* state_ = nullptr;
    QLabel* seconds_ = nullptr;
    QLabel* buzzer_ = nullptr;
    std::map<std::uint32_t, QPushButton*> buttons_;
    QString answerHtml_;
    CPuzzleStopwatch stopwatch_;
    // What the puzzle set view was read for, so that the disk is read only when it changes.
    std::filesystem::path setPath_;
    std::int32_t setGameNumber_ = -1;
    SPuzzleSetView set_;
    QTimer refresh_;
};
