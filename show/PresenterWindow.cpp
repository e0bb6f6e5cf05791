#include "show/PresenterWindow.h"

#include "app/CommandIds.h"
#include "app/CommandRouter.h"
#include "game/GameEngine.h"
#include "support/Cp1252.h"

#include <QGridLayout>
#include <QKeySequence>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

struct SPresenterCommand {
    std::uint32_t id;
    QKeyCombination key;
    const char* text;  // UTF-8
    QKeyCombination alsoKey = QKeyCombination();
};

// The game's keys in the order of the keyboard; each is a button and a key of this window.
const SPresenterCommand kCommands[] = {
    {CommandId::FirstPlayerUp, Qt::Key_F1, "Erster Spieler +"},
    {CommandId::SecondPlayerUp, Qt::Key_F2, "Zweiter Spieler +"},
    {CommandId::FirstPlayerDown, Qt::Key_F3, "Erster Spieler -"},
    {CommandId::SecondPlayerDown, Qt::Key_F4, "Zweiter Spieler -"},
    {CommandId::NextPuzzle, Qt::Key_F5, "Starte nächstes Rätsel"},
    {CommandId::RevealText, Qt::Key_F6, "Text aufdecken", Qt::Key_F9},
    {CommandId::StopFirstTimer, Qt::Key_F7, "Ersten Timer anhalten"},
    {CommandId::StopSecondTimer, Qt::Key_F8, "Zweiten Timer anhalten"},
    {CommandId::FullScreen, Qt::Key_F10, "Vollbild"},
    {CommandId::NextGameNumber, QKeyCombination(Qt::CTRL, Qt::Key_N), "Nächste Spielnummer"},
    {CommandId::SwapScreens, QKeyCombination(), "Bildschirme tauschen"},
};
constexpr int kButtonColumns = 4;

QString FromUtf8(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString FromCp1252(std::string_view text)
{
    return QString::fromStdU16String(Cp1252ToUtf16(text));
}

// The answer row by row; uncovered letters on a light background, covered ones plain.
QString MarkedAnswer(const CGameState& state)
{
    QString html = QStringLiteral("<div style=\"white-space:pre\">");
    bool firstRow = true;
    for (const auto& row : AnswerRows(state)) {
        if (!firstRow)
            html += QStringLiteral("<br>");
        firstRow = false;
        for (const SAnswerCell& cell : row) {
            const QString text = FromUtf8(cell.text).toHtmlEscaped();
            if (cell.uncovered)
                html += QStringLiteral("<span style=\"background-color:#ffd84d;color:#000000\"><b>") + text +
                        QStringLiteral("</b></span>");
            else
                html += text;
        }
    }
    return html + QStringLiteral("</div>");
}

void SetIfChanged(QLabel* label, const QString& text)
{
    if (label->text() != text)
        label->setText(text);
}

}  // namespace

CPresenterWindow::CPresenterWindow(CCommandRouter& router, const CGameEngine& engine, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , router_(router)
    , engine_(engine)
{
    setObjectName(QStringLiteral("presenterWindow"));
    setWindowTitle(QStringLiteral("Moderatorenansicht"));
    auto* layout = new QVBoxLayout(this);
    place_ = AddText({}, "placeText", 14);
    question_ = AddText(QStringLiteral("Frage"), "questionText", 18);
    answer_ = AddText(QStringLiteral("Antwort"), "answerText", 26);
    answer_->setTextFormat(Qt::RichText);
    next_ = AddText(QStringLiteral("Nächste Frage"), "nextQuestionText", 14);
    stars_ = AddText(QStringLiteral("Sterne"), "starsText", 16);
    state_ = AddText(QStringLiteral("Zustand"), "stateText", 16);
    seconds_ = AddText(QStringLiteral("Sekunden seit dem Start"), "secondsText", 16);
    buzzer_ = AddText({}, "buzzerText", 14);
    buzzer_->hide();
    layout->addStretch(1);
    AddButtons();

    router_.Table().AddObserver([window = QPointer<CPresenterWindow>(this)] {
        if (window)
            window->Refresh();
    });
    connect(&refresh_, &QTimer::timeout, this, &CPresenterWindow::Refresh);
    refresh_.start(kRefreshMs);
    Refresh();
}

QLabel* CPresenterWindow::AddText(const QString& caption, const char* name, int pointSize)
{
    auto* layout = static_cast<QVBoxLayout*>(this->layout());
    if (!caption.isEmpty()) {
        auto* heading = new QLabel(caption + QLatin1Char(':'), this);
        QFont small = heading->font();
        small.setPointSize(10);
        heading->setFont(small);
        layout->addWidget(heading);
    }
    auto* label = new QLabel(this);
    label->setObjectName(QLatin1String(name));
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    QFont font = label->font();
    font.setPointSize(pointSize);
    label->setFont(font);
    layout->addWidget(label);
    return label;
}

void CPresenterWindow::AddButtons()
{
    auto* grid = new QGridLayout;
    int index = 0;
    for (const SPresenterCommand& command : kCommands) {
        QString key;
        for (const QKeyCombination combination : {command.key, command.alsoKey}) {
            if (combination.key() == Qt::Key_unknown)
                continue;
            router_.AddAccelerator(this, QKeySequence(combination), command.id);
            key += (key.isEmpty() ? QString() : QStringLiteral(" / ")) +
                   QKeySequence(combination).toString(QKeySequence::NativeText);
        }
        const QString label = key.isEmpty() ? FromUtf8(command.text) : key + QStringLiteral("  ") + FromUtf8(command.text);
        auto* button = new QPushButton(label, this);
        button->setObjectName(QStringLiteral("command%1").arg(command.id));
        // The keys stay with the window, whatever button was clicked last.
        button->setFocusPolicy(Qt::NoFocus);
        const std::uint32_t id = command.id;
        connect(button, &QPushButton::clicked, this, [this, id] { router_.Dispatch(id); });
        grid->addWidget(button, index / kButtonColumns, index % kButtonColumns);
        buttons_.emplace(id, button);
        ++index;
    }
    static_cast<QVBoxLayout*>(layout())->addLayout(grid);
}

QPushButton* CPresenterWindow::CommandButton(std::uint32_t id) const
{
    const auto found = buttons_.find(id);
    return found == buttons_.end() ? nullptr : found->second;
}

void CPresenterWindow::SetBuzzerText(const QString& text)
{
    buzzer_->setText(text);
    buzzer_->setVisible(!text.isEmpty());
}

void CPresenterWindow::ShowPuzzleSet()
{
    const CGameState& state = engine_.State();
    if (engine_.PuzzlePath() != setPath_ || state.GameNumber != setGameNumber_) {
        setPath_ = engine_.PuzzlePath();
        setGameNumber_ = state.GameNumber;
        set_ = ViewPuzzleSet(setPath_, setGameNumber_);
    }
    SetIfChanged(place_, FromUtf8(PuzzlePlaceText(state.GameNumber, set_.count)));
    SetIfChanged(next_, FromUtf8(set_.nextQuestion));
}

void CPresenterWindow::Refresh()
{
    if (!isVisible())
        return;
    const CGameState& state = engine_.State();
    ShowPuzzleSet();
    SetIfChanged(question_, FromCp1252(state.QuestionText()));
    const QString answer = MarkedAnswer(state);
    if (answer != answerHtml_) {
        answerHtml_ = answer;
        answer_->setText(answerHtml_);
    }
    SetIfChanged(stars_, QStringLiteral("links %1 · rechts %2").arg(state.Stars[0]).arg(state.Stars[1]));
    SetIfChanged(state_, FromUtf8(PhaseText(PhaseOf(state))));
    stopwatch_.Update(state, engine_.Clock().Now());
    SetIfChanged(seconds_, QString::number(stopwatch_.Seconds()));
    for (const auto& [id, button] : buttons_)
        button->setEnabled(router_.Table().IsEnabled(id));
}
