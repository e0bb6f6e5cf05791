#include "game/PictureSupply.h"

#include "imaging/GraphicsFile.h"
#include "store/PuzzleFolder.h"

namespace {

// A picture that failed to load leaves the one on screen.
void Install(SPreparedPicture& prepared, CShownPicture& picture)
{
    if (prepared.result == kLoadOk)
        picture.Replace(prepared.image, std::move(prepared.fits));
}

}  // namespace

void CPictureSupply::PrepareNext(const std::filesystem::path& puzzlePath, int gameNumber)
{
    if (awaited_)
        return;
    const SPictureRequest request{puzzlePath, gameNumber + 1, CGameEngine::kStartAttempts, screen_};
    if (lastNext_ == request)
        return;
    lastNext_ = request;
    preparer_.Prepare(request);
}

void CPictureSupply::LoadPicture(const std::filesystem::path& puzzlePath, int number, CShownPicture& picture)
{
    awaited_.reset();
    const std::optional<std::filesystem::path> file = FindPuzzleFile(puzzlePath, number, kPuzzlePictureFileName);
    if (!file)
        return;
    std::optional<SPreparedPicture> prepared = preparer_.Take(puzzlePath, number);
    if (prepared && prepared->file == *file && prepared->stamp == FileStampOf(*file)) {
        Install(*prepared, picture);
        return;
    }
    // Not prepared, or the file changed since: read again, shown when it is ready.
    awaited_ = SAwaited{puzzlePath, number};
    lastNext_.reset();
    preparer_.Prepare({puzzlePath, number, 1, screen_});
}

bool CPictureSupply::TakeAwaited(CShownPicture& picture)
{
    if (!awaited_)
        return false;
    std::optional<SPreparedPicture> prepared = preparer_.Take(awaited_->puzzlePath, awaited_->number);
    if (!prepared)
        return false;
    awaited_.reset();
    Install(*prepared, picture);
    return true;
}
