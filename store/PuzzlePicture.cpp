#include "store/PuzzlePicture.h"

#include "imaging/GraphicsFile.h"
#include "imaging/GraphicsImage.h"
#include "store/PuzzleFolder.h"

int LoadPuzzlePicture(const std::filesystem::path& puzzlePath, int number, CGraphicsImage& picture)
{
    const std::optional<std::filesystem::path> file = FindPuzzleFile(puzzlePath, number, kPuzzlePictureFileName);
    if (!file)
        return kLoadCannotOpen;
    CGraphicsImage loaded;
    const int result = LoadGraphicsFile(file->native(), loaded);
    if (result != kLoadOk)
        return result;
    if (!picture.Swap(loaded))
        return kLoadNoMemory;
    return kLoadOk;
}
