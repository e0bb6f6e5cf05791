// The program's bitmap resources are embedded picture files; they load like any picture file.

#include "imaging/GraphicsFile.h"
#include "imaging/GraphicsImage.h"

#include <string>

bool CGraphicsImage::LoadFromResource(int resourceId)
{
    Clear();
    const std::string path = "RES://BITMAP/" + std::to_string(resourceId);
    if (LoadGraphicsFile(path, *this) != 0) {
        Clear();
        return false;
    }
    return true;
}
