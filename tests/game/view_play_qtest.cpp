// Whole puzzles played as the quiz master plays them: the program's own frame, its keys, the
// game view on a simulated clock, and the screen checked in the back buffer.
#include "ViewTestSupport.h"

#include "app/CommandIds.h"
#include "game/GameColours.h"
#include "tests/remote/RemoteTestSupport.h"

#include <QImage>
#include <QLabel>

#include <cstdlib>

namespace {

constexpr std::uint32_t kPictureColour = 0x2040C0;

struct Rect {
    int x, y, w, h;
};

// The program with the screen's parts and counts of their pixels.
struct CProgram : CViewHarness {
    using CViewHarness::CViewHarness;

    int Width() const { return view->width(); }
    int Height() const { return view->height(); }
    int Count(Rect r, std::uint32_t colour)
    {
        return CountIf(r.x, r.y, r.w, r.h, [colour](std::uint32_t rgb) { return rgb == colour; });
    }
    // Letters are stretched smoothly: their solid pixels may round a step away from the colour.
    int CountNear(Rect r, std::uint32_t colour)
    {
        return CountIf(r.x, r.y, r.w, r.h, [colour](std::uint32_t rgb) {
            for (const int shift : {0, 8, 16})
                if (std::abs(static_cast<int>(rgb >> shift & 0xFF) - static_cast<int>(colour >> shift & 0xFF)) > 3)
                    return false;
            return true;
        });
    }
    int CountGreenInk(Rect r)
    {
        return CountIf(r.x, r.y, r.w, r.h, [](std::uint32_t rgb) { return (rgb & 0xFF00FF) == 0 && (rgb >> 8) >= 0x80; });
    }
    Rect LeftColumn() const { return {0, 0, 136, Height()}; }
    Rect RightColumn() const { return {Width() - 136, 0, 136, Height()}; }
    Rect QuestionStrip() const { return {142, 0, Width() - 284, 36}; }
    Rect AnswerArea() const { return {142, 42, Width() - 284, Height() - 42}; }
    bool ColumnIs(Rect column, std::uint32_t colour)
    {
        // The top cell never holds a star in these tests.
        return Count({column.x, 0, column.w, 40}, colour) == column.w * 40;
    }
};

}  // namespace

class ViewPlayTest : public QObject {
    Q_OBJECT

private slots:
    void aPuzzlePlayedThroughTheKeys()
    {
        const CConfigSandbox config;
        const CPuzzleFolder puzzles;
        puzzles.Write(1, "Wie hei\xDF" "t die Hauptstadt von Frankreich?\nParis\n");
        QImage picture(300, 120, QImage::Format_RGB32);
        picture.fill(QColor::fromRgb(kPictureColour));
        picture.save(puzzles.Path() + QStringLiteral("/Game001/Pic.png"));
        CProgram program(puzzles.Path());
        QVERIFY(program.Ready());
        program.Tick();
        QCOMPARE(program.Count(program.AnswerArea(), 0x000000), program.AnswerArea().w * program.AnswerArea().h);
        // The first tick has set the worker on the first puzzle's picture.
        QTRY_VERIFY(program.view->PictureSupply().Idle());

        // F5: question, five covered cells and the picture, at once.
        program.Press(Qt::Key_F5);
        QCOMPARE(program.State().GameNumber, 1);
        program.Tick();
        // The question's soft brush blends its green into the black.
        QVERIFY(program.CountGreenInk(program.QuestionStrip()) > 2000);
        const int coveredInk = program.CountNear(program.AnswerArea(), GameColours::CoveredCell);
        QVERIFY(coveredInk > 100);
        QCOMPARE(program.Count(program.AnswerArea(), kPictureColour), 300 * 120);
        QCOMPARE(program.CountNear(program.AnswerArea(), GameColours::ShownLetter), 0);

        // One switch time later one letter shows (its sounds are the engine's).
        program.RunFor(5000);
        QCOMPARE(program.State().CoveredCount, 4);
        QVERIFY(program.CountNear(program.AnswerArea(), GameColours::ShownLetter) > 20);
        QVERIFY(program.CountNear(program.AnswerArea(), GameColours::CoveredCell) < coveredInk);

        // F7 stops the left player (the rules of stops, time-outs and starts are the engine's).
        program.Press(Qt::Key_F7);
        program.Tick();
        QVERIFY(program.ColumnIs(program.LeftColumn(), 0xBCBC00));
        QVERIFY(program.ColumnIs(program.RightColumn(), 0x000000));

        // F6 reveals: every letter shown, both columns neutral again; F1 lights a star.
        program.Press(Qt::Key_F6);
        program.Press(Qt::Key_F1);
        program.Tick();
        QCOMPARE(program.CountNear(program.AnswerArea(), GameColours::CoveredCell), 0);
        QVERIFY(program.ColumnIs(program.LeftColumn(), 0x000000));
        QCOMPARE(program.State().Stars[0], 1);
        const Rect bottomCell{0, program.Height() - 136, 136, 136};
        QVERIFY(program.Count(bottomCell, 0x000000) < 136 * 136 - 2000);
    }

    void theRemoteStopsAndPostsThroughTheRules()
    {
        const CConfigSandbox config;
        CTestPty remote;
        config.Store(QStringLiteral("ComDevice"), QString::fromStdString(remote.Path()));
        const CPuzzleFolder puzzles;
        puzzles.Write(1, "Frage\nAntwort\n");
        CProgram program(puzzles.Path());
        QVERIFY(program.Ready());
        auto* pane = program.app->Frame()->findChild<QLabel*>(QStringLiteral("remotePane"));
        QVERIFY(pane != nullptr);
        const QString open = QStringLiteral("Fernbedienung: ") + QString::fromStdString(remote.Path());
        QTRY_COMPARE(pane->text(), open);

        // Button 3 (reveal) is refused while nothing is stopped; button 2 starts the puzzle.
        remote.Send("3D00000000\r");
        remote.Send("2D00000000\r");
        QTRY_COMPARE(program.State().Running, 1);
        QCOMPARE(program.State().CoveredCount, 7);

        // Button 0 stops the left player on the reader thread.
        remote.Send("0D00000000\r");
        QTRY_COMPARE(program.State().PlayerState[0].load(), kPlayerStoppedClock);
        program.Tick();
        QVERIFY(program.ColumnIs(program.LeftColumn(), 0xBCBC00));

        QTest::qWait(150);  // past the button's debounce
        remote.Send("3D0000ABCD\r\n");
        QTRY_COMPARE(program.State().Running, 0);
        QCOMPARE(program.State().PlayerState[0].load(), kPlayerNeutral);

        remote.Pull();
        QTRY_COMPARE(pane->text(), QStringLiteral("Fernbedienung: –"));
    }
};

QTEST_MAIN(ViewPlayTest)
#include "view_play_qtest.moc"
