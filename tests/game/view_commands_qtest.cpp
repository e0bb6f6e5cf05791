// The view's commands through the command table: what runs, what is refused, what is checked.
#include "ViewTestSupport.h"

#include "app/CommandIds.h"

#include <QApplication>
#include <QCursor>
#include <QLineEdit>
#include <QPushButton>

class ViewCommandsTest : public QObject {
    Q_OBJECT

private slots:

    // The layouts are the renderer's; here the check marks, and the view drawing the new layout.
    void starSizesCarryExactlyOneCheckMark()
    {
        const CConfigSandbox config;
        CViewHarness h;
        const std::uint32_t sizes[] = {CommandId::SmallStars, CommandId::MediumStars, CommandId::LargeStars,
                                       CommandId::TwoRows, CommandId::MediumStars};
        for (const std::uint32_t command : sizes) {
            QVERIFY(h.commands.Dispatch(command));
            for (const std::uint32_t id : sizes)
                QCOMPARE(h.commands.IsChecked(id), std::optional<bool>(id == command));
        }
        // The new layout is drawn at the next tick: the separator starts right after the column.
        h.view->TimerStep();
        QCOMPARE(h.Pixel(102, 10), 0xDEDEDEu);
        QCOMPARE(h.Pixel(102 + 5, 10), 0x2C2C2Cu);
    }

    void theCursorIsParkedOnlyInFullScreenFromAMaximizedWindow_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("parked");
        QTest::newRow("normal window") << 0 << false;
        QTest::newRow("full screen from a normal window") << 1 << false;
        QTest::newRow("full screen from a maximized window") << 2 << true;
    }
    void theCursorIsParkedOnlyInFullScreenFromAMaximizedWindow()
    {
        QFETCH(int, mode);
        QFETCH(bool, parked);
        const CConfigSandbox config;
        CViewHarness harness;
        CQuizmoraView& view = *harness.view;
        view.SetCursorParkMode(mode);
        const QPoint topLeft = view.mapToGlobal(QPoint(0, 0));
        const QPoint corner = topLeft + QPoint(view.width() - 1, view.height() - 1);
        const QPoint inside = topLeft + QPoint(100, 100);
        QCursor::setPos(inside);
        QTRY_COMPARE(QCursor::pos(), inside);
        view.TimerStep();
        QCOMPARE(QCursor::pos(), parked ? corner : inside);

        // The parking spot itself lies outside: a cursor left there stays.
        QCursor::setPos(corner);
        QTRY_COMPARE(QCursor::pos(), corner);
        view.TimerStep();
        QCOMPARE(QCursor::pos(), corner);

        // The full-screen switch resizes the view after the mode was set.
        view.resize(view.width() + 50, view.height() + 40);
        QCursor::setPos(corner);
        QTRY_COMPARE(QCursor::pos(), corner);
        view.TimerStep();
        QCOMPARE(QCursor::pos(), parked ? corner + QPoint(50, 40) : corner);
    }

    void aNewPuzzleFromTheEditorStartsAtOnce()
    {
        const CConfigSandbox config;
        const CPuzzleFolder puzzles;
        puzzles.Write(1, "Wie heißt die Hauptstadt von Frankreich?\nParis\n");
        CViewHarness h;
        h.view->SetPuzzlePath(puzzles.Path());
        QVERIFY(h.commands.Dispatch(CommandId::NextPuzzle));

        QString title;
        WhenShown<QDialog>([&title](QDialog& dialog) {
            title = dialog.windowTitle();
            dialog.findChild<QLineEdit*>(QStringLiteral("questionEdit"))->setText(QStringLiteral("Neue Frage"));
            dialog.findChild<QLineEdit*>(QStringLiteral("answerEdit"))->setText(QStringLiteral("Neu"));
            QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("okButton")), Qt::LeftButton);
        });
        QVERIFY(h.commands.Dispatch(CommandId::NewPuzzle));
        QCOMPARE(title, QStringLiteral("Neues Bild erstellen"));
        QCOMPARE(h.State().Running, 1);
        QCOMPARE(h.State().QuestionText(), std::string_view("Neue Frage"));
        QCOMPARE(h.State().CoveredCount, 3);
        // The step that ran with it has drawn the new question and three covered cells.
        QCOMPARE(h.State().QuestionDirty, 0);
        QCOMPARE(h.State().AnswerDirty, 0);
        QVERIFY(h.CountColour(142, 0, h.view->width() - 284, 36, 0x000000) < (h.view->width() - 284) * 36);
        QVERIFY(QApplication::overrideCursor() == nullptr);
    }

};

QTEST_MAIN(ViewCommandsTest)
#include "view_commands_qtest.moc"
