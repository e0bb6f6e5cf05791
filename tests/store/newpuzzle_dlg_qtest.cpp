// The editor dialog and the Neu command on the offscreen platform: the OK checks and their
// messages, the picture history, the browser, and a failed write that starts nothing (the view's
// tests start a written puzzle).

#include "game/GameEngine.h"
#include "game/SoundSink.h"
#include "store/NewPuzzle.h"
#include "store/NewPuzzleDlg.h"
#include "support/SettingsKey.h"
#include "tests/ui/ModalSupport.h"

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

#include <fstream>
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

template <typename T>
T* Child(QWidget& dialog, const char* name)
{
    return dialog.findChild<T*>(QString::fromLatin1(name));
}

void Fill(QWidget& dialog, QString picture, QString question, QString answer, QString number, const char* mode = nullptr)
{
    Child<QComboBox>(dialog, "pictureCombo")->setEditText(picture);
    Child<QLineEdit>(dialog, "questionEdit")->setText(question);
    Child<QLineEdit>(dialog, "answerEdit")->setText(answer);
    Child<QLineEdit>(dialog, "numberEdit")->setText(number);
    if (mode != nullptr)
        Child<QRadioButton>(dialog, mode)->setChecked(true);
}

void Click(QWidget& dialog, const char* button)
{
    Child<QPushButton>(dialog, button)->click();
}

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
        SeenMessage seen;
        WhenShown<CNewPuzzleDlg>([&](CNewPuzzleDlg& dialog) {
            shownNumber = Child<QLineEdit>(dialog, "numberEdit")->text();
            Fill(dialog, QString::fromStdString(root_ + "/fehlt.png"), {}, {}, QStringLiteral("0"));
            WhenShown<QMessageBox>(CloseMessage(seen));
            Click(dialog, "okButton");
            Fill(dialog, {}, QStringLiteral("Was ist grün?"), QStringLiteral("Gras"), QStringLiteral("0"));
            Click(dialog, "okButton");
        });
        QVERIFY(CNewPuzzleDlg(fields).DoModal());
        QCOMPARE(shownNumber, QStringLiteral("0"));
        QCOMPARE(seen.text, QStringLiteral("Bitte ein gültiges Bild auswählen !"));
        QCOMPARE(seen.caption, QStringLiteral("Quizmora"));
        QCOMPARE(fields.Entries.Number, 1);  // 0 typed becomes 1 in the dialog
        QCOMPARE(fields.Entries.Question, std::string("Was ist gr\xFCn?"));
        QCOMPARE(fields.Entries.Answer, std::string("Gras"));
        QVERIFY(fields.Entries.PicturePath.empty());
    }

    void historyFillsTheListAndKeepsTheConfirmedPathFirst()
    {
        const std::vector<std::string> stored{"/bilder/zebra.png", "/bilder/Affe.png"};
        CSettingsKey().WriteMultiString(kPictureHistoryValue, stored);
        CNewPuzzleFields fields;
        fields.Entries.PicturePath = "/vorher.png";
        QStringList listed;
        QString shownPath;
        WhenShown<CNewPuzzleDlg>([&](CNewPuzzleDlg& dialog) {
            auto* combo = Child<QComboBox>(dialog, "pictureCombo");
            for (int index = 0; index < combo->count(); ++index)
                listed << combo->itemText(index);
            shownPath = combo->currentText();
            Fill(dialog, picture_, QStringLiteral("F"), QStringLiteral("A"), QStringLiteral("1"));
            Click(dialog, "okButton");
        });
        QVERIFY(CNewPuzzleDlg(fields).DoModal());
        QCOMPARE(shownPath, QStringLiteral("/bilder/zebra.png"));  // the path confirmed last
        QCOMPARE(listed, (QStringList{QStringLiteral("/bilder/Affe.png"), QStringLiteral("/bilder/zebra.png")}));
        std::vector<std::string> history;
        QVERIFY(CSettingsKey().ReadMultiString(kPictureHistoryValue, history));
        QCOMPARE(history, (std::vector<std::string>{picture_.toStdString(), "/bilder/Affe.png", "/bilder/zebra.png"}));
    }

    void browserPicksAPictureOfAnyFormat()
    {
        CNewPuzzleFields fields;
        fields.Entries.PicturePath = picture_.toStdString();
        const QString chosen = QString::fromUtf8(QUIZMORA_TEST_DATA "/editor/picture.bmp");
        QString title;
        QStringList filters;
        QStringList startSelection;
        QString shownAfter;
        WhenShown<CNewPuzzleDlg>([&](CNewPuzzleDlg& dialog) {
            WhenShown<QFileDialog>([&](QFileDialog& browser) {
                title = browser.windowTitle();
                filters = browser.nameFilters();
                startSelection = browser.selectedFiles();
                // selectFile leaves the name box alone while it has the keyboard focus, and whether
                // it has it yet depends on when the window system activated the browser.
                if (QWidget* focused = QApplication::focusWidget())
                    focused->clearFocus();
                browser.selectFile(chosen);
                static_cast<QDialog&>(browser).accept();  // QFileDialog::accept checks the selection
            });
            Click(dialog, "browseButton");
            shownAfter = Child<QComboBox>(dialog, "pictureCombo")->currentText();
            Click(dialog, "cancelButton");
        });
        QVERIFY(!CNewPuzzleDlg(fields).DoModal());
        QCOMPARE(title, QStringLiteral("Bilddatei auswählen"));
        QCOMPARE(filters, (QStringList{QStringLiteral("Bilder (*.png)"), QStringLiteral("Alle Dateien (*)")}));
        QCOMPARE(startSelection, QStringList{picture_});
        QCOMPARE(shownAfter, chosen);
        QCOMPARE(fields.Entries.PicturePath, chosen.toStdString());
    }

    void newPuzzleShowsAFailureAndStartsNothing()
    {
        WriteFile(root_ + "/Game001/Game.txt", "Eins\nEins\n");
        CManualTicks clock;
        CRandom random;
        CSilentSound sound;
        CGameEngine engine(clock, random, sound);
        engine.SetPuzzlePath(root_);
        CNewPuzzleFields fields;
        int steps = 0;
        SeenMessage seen;
        WhenShown<CNewPuzzleDlg>([&seen](CNewPuzzleDlg& dialog) {
            Fill(dialog, {}, QStringLiteral("F"), QStringLiteral("A"), QStringLiteral("1500"), "modeOverwrite");
            WhenShown<QMessageBox>(CloseMessage(seen));  // shown once the dialog has gone
            Click(dialog, "okButton");
        });
        NewPuzzle(nullptr, engine, [&steps] { ++steps; }, fields);
        QCOMPARE(seen.caption, QStringLiteral("Fehler"));
        QCOMPARE(seen.text, QStringLiteral("Die Bildenummer ist falsch (1..999) !"));
        QCOMPARE(seen.icon, QMessageBox::Critical);
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
