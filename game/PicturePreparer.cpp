#include "game/PicturePreparer.h"

#include "imaging/GraphicsFile.h"
#include "store/PuzzleFolder.h"
#include "store/PuzzleLoader.h"

#include <algorithm>

namespace {

// As many fitted copies as a shown picture keeps.
constexpr std::size_t kMaxFits = 3;

// The boxes the picture may meet: one per shape of the answers the load may draw.
std::vector<SPictureBox> BoxesForAnswers(const CPuzzleLines& lines, SScreenShape screen)
{
    std::vector<SPictureBox> boxes;
    const auto add = [&](std::string_view answer) {
        answer = answer.substr(0, answer.find('\0')).substr(0, kPuzzleLineMaxBytes);
        const SAnswerRows rows = SplitAnswerRows(answer);
        const SPictureBox box =
            ComputeAnswerLayout(screen.width, screen.height, screen.starColumnWidth, rows.count, rows.widest).PictureBox();
        if (std::find(boxes.begin(), boxes.end(), box) == boxes.end() && boxes.size() < kMaxFits)
            boxes.push_back(box);
    };
    if (lines.Candidates.empty())
        add({});
    for (const std::string& candidate : lines.Candidates)
        add(SplitSwitchTimePrefix(candidate, 0).Text);
    return boxes;
}

bool SameTarget(const SPictureRequest& a, const SPictureRequest& b)
{
    // A search that starts at a number finds that number when it has a text, which is the only
    // case in which its picture is asked for alone.
    return a.puzzlePath == b.puzzlePath && a.firstNumber == b.firstNumber && a.screen == b.screen;
}

}  // namespace

std::optional<SFileStamp> FileStampOf(const std::filesystem::path& file)
{
    std::error_code error;
    SFileStamp stamp;
    stamp.size = std::filesystem::file_size(file, error);
    if (error)
        return std::nullopt;
    stamp.time = std::filesystem::last_write_time(file, error);
    if (error)
        return std::nullopt;
    return stamp;
}

SPreparedPicture PreparePicture(const SPictureRequest& request, SPreparedPicture* reuse)
{
    SPreparedPicture prepared;
    prepared.puzzlePath = request.puzzlePath;
    std::optional<CPuzzleSource> source;
    for (int i = 0; i < std::max(request.searchCount, 1); ++i) {
        const int number = request.firstNumber + i;
        source = ReadPuzzleSource(request.puzzlePath, number);
        if (source || request.searchCount <= 1) {
            prepared.number = number;
            break;
        }
    }
    if (prepared.number < 0)
        return prepared;
    const std::optional<std::filesystem::path> file =
        FindPuzzleFile(request.puzzlePath, prepared.number, kPuzzlePictureFileName);
    if (!file)
        return prepared;
    prepared.file = *file;
    prepared.stamp = FileStampOf(*file);
    if (reuse != nullptr && reuse->result == kLoadOk && reuse->file == prepared.file && reuse->stamp == prepared.stamp) {
        prepared.image = std::move(reuse->image);
        prepared.result = kLoadOk;
    } else {
        prepared.result = LoadGraphicsFile(file->native(), prepared.image);
    }
    if (prepared.result != kLoadOk || !source)
        return prepared;
    for (const SPictureBox box : BoxesForAnswers(source->Lines, request.screen)) {
        SFittedPicture fitted;
        if (FitPicture(prepared.image, box, fitted))
            prepared.fits.push_back(std::move(fitted));
    }
    return prepared;
}

CPicturePreparer::CPicturePreparer(std::function<void()> onReady)
    : onReady_(std::move(onReady)), worker_([this](std::stop_token stop) { Run(stop); })
{
}

void CPicturePreparer::Prepare(const SPictureRequest& request)
{
    {
        const std::lock_guard lock(mutex_);
        if ((pending_ && SameTarget(*pending_, request)) || (working_ && SameTarget(*working_, request)))
            return;
        pending_ = request;
    }
    wake_.notify_one();
}

std::optional<SPreparedPicture> CPicturePreparer::Take(const std::filesystem::path& puzzlePath, int number)
{
    const std::lock_guard lock(mutex_);
    if (!ready_ || ready_->number != number || ready_->puzzlePath != puzzlePath)
        return std::nullopt;
    std::optional<SPreparedPicture> taken = std::move(ready_);
    ready_.reset();
    return taken;
}

bool CPicturePreparer::Busy() const
{
    const std::lock_guard lock(mutex_);
    return pending_.has_value() || working_.has_value();
}

void CPicturePreparer::Run(std::stop_token stop)
{
    while (true) {
        std::optional<SPreparedPicture> earlier;
        {
            std::unique_lock lock(mutex_);
            if (!wake_.wait(lock, stop, [this] { return pending_.has_value(); }) || stop.stop_requested())
                return;
            working_ = std::move(pending_);
            pending_.reset();
            // A result nobody took is replaced now; its decoded picture may serve again.
            earlier = std::move(ready_);
            ready_.reset();
        }
        SPreparedPicture prepared = PreparePicture(*working_, earlier ? &*earlier : nullptr);
        earlier.reset();
        {
            const std::lock_guard lock(mutex_);
            ready_ = std::move(prepared);
            working_.reset();
        }
        if (onReady_)
            onReady_();
    }
}
