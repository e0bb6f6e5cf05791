#pragma once
// The puzzle picture as the screen shows it: the picture itself, drawn at its own size when it
// fits its box, and the copies of it scaled down for the boxes it did not fit. A copy is made once
// per box and kept, so a redraw never scales; a new window size, star size or answer shape asks
// for a new box and so for a new copy. Used on the GUI thread only.

#include "game/AnswerLayout.h"
#include "imaging/GraphicsImage.h"

#include <vector>

// A picture scaled down into a box: its size is the largest that fits, aspect kept.
struct SFittedPicture {
    SPictureBox box;
    CGraphicsImage image;
};

// The size a picture of w x h is shown at in box: its own when it fits, otherwise the largest
// that fits with the same aspect (at least one pixel each way). The box must not be empty.
SPictureBox FittedSize(int w, int h, SPictureBox box);

// Scales `source` into `box` with the library's box filter. False when it fits already, the box
// is empty or there is no memory.
bool FitPicture(const CGraphicsImage& source, SPictureBox box, SFittedPicture& fitted);

class CShownPicture {
public:
    const CGraphicsImage& Image() const { return image_; }
    // For callers that change the picture in place: every kept copy is dropped.
    CGraphicsImage& ImageToChange()
    {
        fits_.clear();
        return image_;
    }
    // Takes over a newly loaded picture (`image` gets the old one), with copies already fitted
    // for the boxes it is likely to meet.
    void Replace(CGraphicsImage& image, std::vector<SFittedPicture> fits = {});

    bool HasPixels() const { return image_.Width() != 0 && image_.Height() != 0; }
    // What to draw in box: the picture itself when it fits, else its copy for this box (made now
    // when there is none). Null when the box is empty or the copy cannot be made.
    const CGraphicsImage* ForBox(SPictureBox box);

private:
    CGraphicsImage image_;
    std::vector<SFittedPicture> fits_;
};
