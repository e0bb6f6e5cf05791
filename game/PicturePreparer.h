#pragma once
// The worker that reads, decodes and fits a puzzle's picture while another puzzle plays, so that
// starting it never waits for a decoder. One request at a time: a newer one replaces a request
// that has not started. The result waits in one slot until the GUI thread takes it. No Qt here:
// the owner learns of a result through a callback on the worker thread and posts it on.

#include "game/AnswerLayout.h"
#include "game/ShownPicture.h"
#include "imaging/GraphicsImage.h"

#include <condition_variable>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <mutex>
#include <optional>
#include <stop_token>
#include <thread>
#include <vector>

// Enough of a file's identity to see that it was replaced or rewritten.
struct SFileStamp {
    std::uintmax_t size = 0;
    std::filesystem::file_time_type time;
    bool operator==(const SFileStamp&) const = default;
};

std::optional<SFileStamp> FileStampOf(const std::filesystem::path& file);

// The screen the picture is fitted for.
struct SScreenShape {
    int width = 0;
    int height = 0;
    int starColumnWidth = 0;
    bool operator==(const SScreenShape&) const = default;
};

struct SPictureRequest {
    std::filesystem::path puzzlePath;
    int firstNumber = 1;
    // The picture belongs to the first of this many numbers that has a puzzle text, as the next
    // start finds it; with 1 it is the picture of firstNumber whatever its text.
    int searchCount = 1;
    SScreenShape screen;
    bool operator==(const SPictureRequest&) const = default;
};

struct SPreparedPicture {
    std::filesystem::path puzzlePath;
    int number = -1;  // -1: no puzzle was found
    std::filesystem::path file;       // empty: the puzzle has no picture file
    std::optional<SFileStamp> stamp;  // of the file as it was read
    int result = -1;                  // of LoadGraphicsFile; the image is valid when 0
    CGraphicsImage image;
    std::vector<SFittedPicture> fits;  // for each shape the puzzle's answers give the screen
};

// The picture of the request as the worker makes it (also usable on any thread by itself).
// `reuse` is an earlier result whose decoded image is taken over when its file is unchanged.
SPreparedPicture PreparePicture(const SPictureRequest& request, SPreparedPicture* reuse = nullptr);

class CPicturePreparer {
public:
    // onReady runs on the worker thread after each result is stored.
    explicit CPicturePreparer(std::function<void()> onReady = {});
    // Waits for the picture being worked on, if any.
    ~CPicturePreparer() = default;
    CPicturePreparer(const CPicturePreparer&) = delete;
    CPicturePreparer& operator=(const CPicturePreparer&) = delete;

    // Ignored when the same request waits or is being worked on already.
    void Prepare(const SPictureRequest& request);
    // The stored result for puzzle `number` below `puzzlePath`, taken out of the slot.
    std::optional<SPreparedPicture> Take(const std::filesystem::path& puzzlePath, int number);
    // A request waits or is being worked on.
    bool Busy() const;

private:
    void Run(std::stop_token stop);

    mutable std::mutex mutex_;
    std::condition_variable_any wake_;
    std::optional<SPictureRequest> pending_;
    std::optional<SPictureRequest> working_;
    std::optional<SPreparedPicture> ready_;
    std::function<void()> onReady_;
    std::jthread worker_;  // last: it uses everything above
};
