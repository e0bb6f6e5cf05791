// The editor dialog and the Neu command on the offscreen platform: the OK checks and their
// messages, the picture history, the browser, the kept entries, and a puzzle written and started.

#include "game/GameEngine.h"
#include "store/NewPuzzle.h"
#include "store/NewPuzzleDlg.h"
#include "support/SettingsKey.h"

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <deque>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>

namespace {

std::string ReadAll(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFile(const std::filesystem::path& path, std::string_view bytes)
{
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

// What a message box showed before the script closed it.
struct CSeenMessage {
    QString caption;
    QString text;
    QMessageBox::Icon icon;
};

// Steps run one after the other, each on the modal window that is active when its turn comes:
// the editor dialog, a message box over it, the file browser. Every step returns once done.
class CModalScript {
public:
    using Step = std::function<void(QWidget* modal)>;

    CModalScript& Then(Step step)
    {
        state_->steps.push_back(std::move(step));
        return *this;
    }
    // Closes the message box that must be active now, remembering what it said.
    CModalScript& CloseMessage()
    {
        auto state = state_;
        return Then([state](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            if (box == nullptr) {
                state->failures.push_back(QStringLiteral("no message box"));
                return;
            }
            state->messages.push_back({box->windowTitle(), box->text(), box->icon()});
            box->button(QMessageBox::Ok)->click();
        });
    }
    void Start() { Poll(state_, nullptr, 0); }
    // Shows the editor dialog over `fields` with the steps running on it; what DoModal gave.
    bool Show(CNewPuzzleFields& fields)
    {
        CNewPuzzleDlg dialog(fields);
        Start();
        return dialog.DoModal();
    }

    const std::vector<CSeenMessage>& Messages() const { return state_->messages; }
    const QStringList& Failures() const { return state_->failures; }
    bool Finished() const { return state_->steps.empty(); }

private:
    struct State {
        std::deque<Step> steps;
        std::vector<CSeenMessage> messages;
        QStringList failures;
    };

    // A step runs once a modal window other than the one the last step acted on is up (or the
    // same one, when the last step left it open and nothing new appeared after a while).
    static void Poll(const std::shared_ptr<State>& state, QWidget* previous, int tries)
    {
        if (state->steps.empty())
            return;
        QWidget* modal = QApplication::activeModalWidget();
        const bool ready = modal != nullptr && modal->isVisible() && (modal != previous || tries > 5);
        if (!ready) {
            if (tries < 500)
                QTimer::singleShot(10, [state, previous, tries] { Poll(state, previous, tries + 1); });
            else
                GiveUp(*state, QStringLiteral("no modal window came up"));
            return;
        }
        Step step = std::move(state->steps.front());
        state->steps.pop_front();
        // A click may open the next modal window and run its event loop inside the step: the next
        // poll must already be waiting then.
        QTimer::singleShot(10, [state, modal] { Poll(state, modal, 0); });
        step(modal);
    }

    // Closes whatever is open so that the test fails instead of hanging.
    static void GiveUp(State& state, const QString& why)
    {
        state.failures.push_back(why);
        state.steps.clear();
        while (QWidget* modal = QApplication::activeModalWidget()) {
            auto* dialog = qobject_cast<QDialog*>(modal);
            if (dialog == nullptr)
                break;
            dialog->reject();
            QCoreApplication::processEvents();
        }
    }

    std::shared_ptr<State> state_ = std::make_shared<State>();
};

template <typename T>
T* Child(QWidget* dialog, const char* name)
{
    return dialog->findChild<T*>(QString::fromLatin1(name));
}

// Fills the dialog's controls.
CModalScript::Step Fill(QString picture, QString question, QString answer, QString number, const char* mode = nullptr)
{
    return [=](QWidget* dialog) {
        Child<QComboBox>(dialog, "pictureCombo")->setEditText(picture);
        Child<QLineEdit>(dialog, "questionEdit")->setText(question);
        Child<QLineEdit>(dialog, "answerEdit")->setText(answer);
        Child<QLineEdit>(dialog, "numberEdit")->setText(number);
        if (mode != nullptr)
            Child<QRadioButton>(dialog, mode)->setChecked(true);
    };
}

CModalScript::Step Click(const char* button)
{
    return [button](QWidget* dialog) { Child<QPushButton>(dialog, button)->click(); };
}

#define QVERIFY_SCRIPT_DONE(script) QVERIFY2((script).Failures().isEmpty(), qPrintable((script).Failures().join(u',')))

class CNoGameSound final : public IGameSound {
public:
    void PlayGameSound(const char*) override {}
};

}  // namespace

class NewPuzzleDlgTest : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        settingsFolder_ = std::make_unique<QTemporaryDir>();
        puzzleFolder_ = std::make_unique<QTemporaryDir>();
        QVERIFY(settingsFolder_->isValid() && puzzleFolder_->isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsFolder_->path());
        root_ = puzzleFolder_->path().toStdString();
        picture_ = QString::fromUtf8(QUIZMORA_TEST_DATA "/editor/picture.png");
    }

    void checksKeepTheDialogOpenWithTheirMessages()
    {
        CNewPuzzleFields fields;
        fields.Entries.Number = 0;
        QString shownNumber;
        CModalScript script;
        script.Then([&shownNumber](QWidget* modal) { shownNumber = Child<QLineEdit>(modal, "numberEdit")->text(); })
            .Then(Fill(QString::fromStdString(root_ + "/fehlt.png"), {}, {}, QStringLiteral("0")))
            .Then(Click("okButton"))
            .CloseMessage()
            .Then(Fill({}, {}, {}, QStringLiteral("0")))
            .Then(Click("okButton"))
            .CloseMessage()
            .Then(Fill({}, QStringLiteral("Was ist grün?"), {}, QStringLiteral("0")))
            .Then(Click("okButton"))
            .CloseMessage()
            .Then(Fill({}, QStringLiteral("Was ist grün?"), QStringLiteral("Gras"), QStringLiteral("0")))
            .Then(Click("okButton"));
        QVERIFY(script.Show(fields));
        QVERIFY_SCRIPT_DONE(script);
        QCOMPARE(shownNumber, QStringLiteral("0"));
        const QStringList expected{QStringLiteral("Bitte ein gültiges Bild auswählen !"),
                                   QStringLiteral("Bitte eine Frage eingen:\n\nz.B. : 'Was ist hier zu sehen ?'"),
                                   QStringLiteral("Bitte eine Antwort eingen !")};
        QCOMPARE(int(script.Messages().size()), expected.size());
        for (int index = 0; index < expected.size(); ++index) {
            QCOMPARE(script.Messages()[index].text, expected[index]);
            QCOMPARE(script.Messages()[index].caption, QStringLiteral("Quizmora"));
        }
        QCOMPARE(fields.Entries.Number, 1);  // 0 typed becomes 1 in the dialog
        QCOMPARE(fields.Entries.Question, std::string("Was ist gr\xFCn?"));
        QCOMPARE(fields.Entries.Answer, std::string("Gras"));
        QVERIFY(fields.Entries.PicturePath.empty());
    }

    void historyFillsTheListAndKeepsTheConfirmedPathFirst()
    {
        const std::vector<std::string> stored{"/bilder/zebra.png", "/bilder/Affe.png", "", "/bilder/maus.png"};
        CSettingsKey().WriteMultiString(kPictureHistoryValue, stored);
        CNewPuzzleFields fields;
        fields.Entries.PicturePath = "/vorher.png";
        QStringList listed;
        QString shownPath;
        CModalScript script;
        script.Then([&](QWidget* modal) {
                  auto* combo = Child<QComboBox>(modal, "pictureCombo");
                  for (int index = 0; index < combo->count(); ++index)
                      listed << combo->itemText(index);
                  shownPath = combo->currentText();
              })
            .Then(Fill(picture_, QStringLiteral("F"), QStringLiteral("A"), QStringLiteral("1")))
            .Then(Click("okButton"));
        QVERIFY(script.Show(fields));
        QCOMPARE(shownPath, QStringLiteral("/bilder/zebra.png"));  // the path confirmed last
        QCOMPARE(listed, (QStringList{QStringLiteral("/bilder/Affe.png"), QStringLiteral("/bilder/maus.png"),
                                      QStringLiteral("/bilder/zebra.png")}));
        std::vector<std::string> history;
        QVERIFY(CSettingsKey().ReadMultiString(kPictureHistoryValue, history));
        const std::vector<std::string> expected{picture_.toStdString(), "/bilder/Affe.png", "/bilder/maus.png",
                                                "/bilder/zebra.png"};
        QCOMPARE(history, expected);
    }

    void browserPicksAPictureOfAnyFormat()
    {
        CNewPuzzleFields fields;
        fields.Entries.PicturePath = picture_.toStdString();
        const QString chosen = QString::fromUtf8(QUIZMORA_TEST_DATA "/editor/picture.bmp");
        QString title;
        QStringList filters;
        QStringList startSelection;
        bool hasBitmap = false;
        QString shownAfter;
        CModalScript script;
        script.Then([&](QWidget* modal) {
                  auto* browse = Child<QPushButton>(modal, "browseButton");
                  hasBitmap = !browse->icon().isNull();
                  browse->click();
              })
            .Then([&](QWidget* modal) {
                auto* browser = qobject_cast<QFileDialog*>(modal);
                if (browser == nullptr)
                    return;
                title = browser->windowTitle();
                filters = browser->nameFilters();
                startSelection = browser->selectedFiles();
                browser->selectFile(chosen);
                static_cast<QDialog*>(browser)->accept();  // QFileDialog::accept checks the selection
            })
            .Then([&](QWidget* modal) {
                shownAfter = Child<QComboBox>(modal, "pictureCombo")->currentText();
                Child<QPushButton>(modal, "cancelButton")->click();
            });
        QVERIFY(!script.Show(fields));
        QVERIFY_SCRIPT_DONE(script);
        QVERIFY(hasBitmap);
        QCOMPARE(title, QStringLiteral("Bilddatei auswählen"));
        QCOMPARE(filters, (QStringList{QStringLiteral("Bilder (*.png)"), QStringLiteral("Alle Dateien (*)")}));
        QCOMPARE(startSelection, QStringList{picture_});
        QCOMPARE(shownAfter, chosen);
        QCOMPARE(fields.Entries.PicturePath, chosen.toStdString());
    }

    void newPuzzleWritesAndStartsThePuzzle()
    {
        WriteFile(root_ + "/Game001/Game.txt", "Eins\nEins\n");
        WriteFile(root_ + "/Game002/Game.txt", "Zwei\nZwei\n");
        CManualTicks clock(5000);
        CRandom random;
        CNoGameSound sound;
        CGameEngine engine(clock, random, sound);
        engine.SetPuzzlePath(root_);
        engine.State().GameNumber = 2;
        CNewPuzzleFields fields;
        int steps = 0;
        CModalScript script;
        script.Then(Fill(picture_, QStringLiteral("Was ist grün?"), QStringLiteral("@3000 Gras|halm"),
                         QStringLiteral("2"), "modeInsert"))
            .Then(Click("okButton"));
        script.Start();
        NewPuzzle(nullptr, engine, [&steps] { ++steps; }, fields);
        QVERIFY_SCRIPT_DONE(script);
        QCOMPARE(steps, 1);
        QCOMPARE(ReadAll(root_ + "/Game002/Game.txt"), std::string("Was ist gr\xFCn?\n@3000 Gras|halm\n"));
        QCOMPARE(ReadAll(root_ + "/Game003/Game.txt"), std::string("Zwei\nZwei\n"));
        const CGameState& state = engine.State();
        QCOMPARE(state.GameNumber, 2);
        QCOMPARE(state.Running, 1);
        QCOMPARE(state.AnswerText(), std::string_view("Gras|halm"));
        QCOMPARE(state.CurSwitchTime, 3000u);
        QCOMPARE(state.LastSwitchTick, 5000u);
        QCOMPARE(engine.Picture().Width(), 6u);
        QVERIFY(QApplication::overrideCursor() == nullptr);
    }

    void newPuzzleShowsAFailureAndStartsNothing()
    {
        WriteFile(root_ + "/Game001/Game.txt", "Eins\nEins\n");
        CManualTicks clock;
        CRandom random;
        CNoGameSound sound;
        CGameEngine engine(clock, random, sound);
        engine.SetPuzzlePath(root_);
        CNewPuzzleFields fields;
        int steps = 0;
        CModalScript script;
        script.Then(Fill({}, QStringLiteral("F"), QStringLiteral("A"), QStringLiteral("1500"), "modeOverwrite"))
            .Then(Click("okButton"))
            .CloseMessage();
        script.Start();
        NewPuzzle(nullptr, engine, [&steps] { ++steps; }, fields);
        QVERIFY_SCRIPT_DONE(script);
        QCOMPARE(int(script.Messages().size()), 1);
        QCOMPARE(script.Messages()[0].caption, QStringLiteral("Fehler"));
        QCOMPARE(script.Messages()[0].text, QStringLiteral("Die Bildenummer ist falsch (1..999) !"));
        QCOMPARE(script.Messages()[0].icon, QMessageBox::Critical);
        QCOMPARE(steps, 0);
        QCOMPARE(engine.State().Running, 0);
        QCOMPARE(ReadAll(root_ + "/Game001/Game.txt"), std::string("Eins\nEins\n"));
        QVERIFY(QApplication::overrideCursor() == nullptr);
    }

private:
    std::unique_ptr<QTemporaryDir> settingsFolder_;
    std::unique_ptr<QTemporaryDir> puzzleFolder_;
    std::string root_;
    QString picture_;
};

QTEST_MAIN(NewPuzzleDlgTest)
#include "newpuzzle_dlg_qtest.moc"
