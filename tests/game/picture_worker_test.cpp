// Starting puzzles whose pictures come from the worker: prepared while another puzzle plays, read
// again when the file changed since, and the old picture kept when the new one does not load.
#include "GameTestBed.h"

#include "game/PictureSupply.h"
#include "imaging/GraphicsFile.h"

#include <chrono>
#include <thread>

namespace {

class PictureWorker : public GameTestBed {
protected:
    PictureWorker()
    {
        supply.SetScreen({1280, 720, 136});
        engine.SetPictureSource(&supply);
    }
    ~PictureWorker() override { engine.SetPictureSource(nullptr); }

    void WritePicture(int number, int width, int height, std::uint32_t colour)
    {
        CGraphicsImage picture;
        ASSERT_TRUE(picture.Create(24, width, height, colour));
        char name[32];
        std::snprintf(name, sizeof name, "Game%03i/Pic.png", number);
        ASSERT_EQ(SaveGraphicsFile((puzzles.Root() / name).string(), picture), kSaveOk);
    }

    // Bounded: the worker has a few small files to read.
    bool WaitIdle()
    {
        for (int i = 0; i < 1000 && !supply.Idle(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        return supply.Idle();
    }

    void Next()
    {
        ASSERT_EQ(State().Running, 0);
        engine.StartNextPuzzle();
        ASSERT_EQ(State().Running, 1) << "the texts are there at once";
    }
    void Finish()
    {
        engine.StopPlayer(0);
        engine.RevealAll();
    }

    std::uint32_t Shown() const { return engine.Picture().GetPixelFn(0, 0) & 0xFFFFFF; }

    CPictureSupply supply{[] {}};
};

TEST_F(PictureWorker, PreparedOrNotTheStartShowsItsTextsAtOnceAndItsPictureWhenReady)
{
    struct Case {
        const char* name;
        bool prepareFirst;   // the worker was asked before the start, and may still be at it
        bool waitPrepared;   // it has finished before the start
        bool shownAtOnce;
    };
    const Case cases[] = {
        {"not prepared", false, false, false},
        {"being prepared", true, false, false},
        {"prepared", true, true, true},
    };
    int number = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ++number;
        puzzles.WritePuzzle(number, "Frage\nAntwort\n");
        const std::uint32_t colour = 0x102030u * static_cast<std::uint32_t>(number);
        WritePicture(number, 1600, 900, colour);
        if (c.prepareFirst)
            supply.PrepareNext(puzzles.Root(), State().GameNumber);
        if (c.waitPrepared) {
            ASSERT_TRUE(WaitIdle());
        }
        Next();
        EXPECT_EQ(State().AnswerText(), "Antwort");
        if (c.shownAtOnce) {
            EXPECT_FALSE(supply.Awaiting());
        } else if (supply.Awaiting()) {
            ASSERT_TRUE(WaitIdle());
            EXPECT_TRUE(supply.TakeAwaited(engine.ShownPicture()));
        }
        EXPECT_EQ(Shown(), colour);
        // Fitted for 1280 x 720 with one row of seven cells: 996 x 534 at most.
        const CGraphicsImage* fitted = engine.ShownPicture().ForBox({996, 534});
        ASSERT_NE(fitted, nullptr);
        EXPECT_EQ(fitted->Width(), 949u);
        EXPECT_EQ(fitted->Height(), 534u);
        Finish();
    }
}

TEST_F(PictureWorker, AFileChangedSincePreparingIsReadAgain)
{
    puzzles.WritePuzzle(1, "Frage\nAntwort\n");
    WritePicture(1, 64, 48, 0x112233);
    supply.PrepareNext(puzzles.Root(), 0);
    ASSERT_TRUE(WaitIdle());
    WritePicture(1, 80, 60, 0x445566);  // another size: another file size
    Next();
    EXPECT_TRUE(supply.Awaiting());
    ASSERT_TRUE(WaitIdle());
    ASSERT_TRUE(supply.TakeAwaited(engine.ShownPicture()));
    EXPECT_EQ(engine.Picture().Width(), 80u);
    EXPECT_EQ(Shown(), 0x445566u);
}

TEST_F(PictureWorker, APictureThatFailsLeavesTheOldOne)
{
    puzzles.WritePuzzle(1, "Frage\nEins\n");
    WritePicture(1, 64, 48, 0x112233);
    puzzles.WritePuzzle(2, "Frage\nZwei\n");
    puzzles.WriteFile("Game002/Pic.png", std::string("\x89PNG\r\n\x1a\n", 8) + std::string(40, '\0'));
    for (int number = 1; number <= 2; ++number) {
        supply.PrepareNext(puzzles.Root(), State().GameNumber);
        ASSERT_TRUE(WaitIdle());
        Next();
        EXPECT_FALSE(supply.Awaiting());
        Finish();
    }
    EXPECT_EQ(State().AnswerText(), "Zwei");
    EXPECT_EQ(Shown(), 0x112233u);
}

}  // namespace
