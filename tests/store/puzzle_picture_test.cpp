#include "imaging/GraphicsFile.h"
#include "imaging/GraphicsImage.h"
#include "store/PuzzlePicture.h"
#include "tests/store/TemporaryPuzzleSet.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace {

std::string Fixture(const char* name)
{
    std::ifstream in(std::filesystem::path(QUIZMORA_TEST_DATA) / "store" / name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class PuzzlePicture : public testing::Test {
protected:
    PuzzlePicture()
    {
        set.WriteFile("Game001/Pic.png", Fixture("pic-4x3.png"));
        EXPECT_EQ(LoadPuzzlePicture(set.Root(), 1, picture), kLoadOk);
    }

    CTemporaryPuzzleSet set;
    CGraphicsImage picture;
};

TEST_F(PuzzlePicture, LoadsThePicturesSize)
{
    EXPECT_EQ(picture.Width(), 4u);
    EXPECT_EQ(picture.Height(), 3u);
}

TEST_F(PuzzlePicture, MissingPictureKeepsThePreviousOne)
{
    set.WritePuzzle(2, "Frage\nA");
    EXPECT_EQ(LoadPuzzlePicture(set.Root(), 2, picture), kLoadCannotOpen);
    EXPECT_EQ(picture.Width(), 4u);
    EXPECT_EQ(picture.Height(), 3u);
}

TEST_F(PuzzlePicture, DamagedPictureKeepsThePreviousOne)
{
    set.WriteFile("Game002/Pic.png", Fixture("damaged.png"));
    EXPECT_NE(LoadPuzzlePicture(set.Root(), 2, picture), kLoadOk);
    EXPECT_EQ(picture.Width(), 4u);
    EXPECT_EQ(picture.Height(), 3u);
    EXPECT_FALSE(picture.IsEmpty());
}

TEST_F(PuzzlePicture, NotAPictureKeepsThePreviousOne)
{
    set.WriteFile("Game002/Pic.png", "Frage\nAntwort\n");
    EXPECT_NE(LoadPuzzlePicture(set.Root(), 2, picture), kLoadOk);
    EXPECT_EQ(picture.Width(), 4u);
}

TEST_F(PuzzlePicture, FindsACaseVariantOfTheName)
{
    set.WriteFile("GAME002/pic.PNG", Fixture("pic-2x5.png"));
    EXPECT_EQ(LoadPuzzlePicture(set.Root(), 2, picture), kLoadOk);
    EXPECT_EQ(picture.Width(), 2u);
    EXPECT_EQ(picture.Height(), 5u);
}

}  // namespace
