// Importing a 12-megapixel phone photo (4000 x 3000 JPEG, Exif orientation 6) as "Pic.png":
// the import as it was (the whole picture, libpng's default compression) beside the import now
// (fitted to 3840 x 2160 and at its own size, with the compression chosen per picture). Wall and
// CPU time (of every thread) per import; the file written in bytes.
//
// The photo is the JPEG named by QUIZMORA_BENCH_PHOTO (bench/import_vs_imagemagick.sh makes one
// with real sensor-like noise), otherwise the shared photo-like picture; the orientation block
// is put in here either way.

#include "bench/imaging/PhotoLikeImage.h"
#include "imaging/GraphicsFile.h"
#include "imaging/GraphicsImage.h"
#include "imaging/formats/png/PngWriter.h"
#include "store/PictureImport.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>

namespace {

// The APP1 block a phone writes for a picture stored turned left: Exif, a big-endian TIFF header
// and one directory with the orientation tag (0x0112, SHORT) = 6.
const std::string kExifTurnedLeft("\xFF\xE1\x00\x22"
                                  "Exif\0\0"
                                  "MM\0\x2A\0\0\0\x08"
                                  "\0\x01"
                                  "\x01\x12\0\x03\0\0\0\x01\0\x06\0\0"
                                  "\0\0\0\0",
                                  36);

class CPhotoFolder {
public:
    CPhotoFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "quizmora-import-XXXXXX").string();
        if (!::mkdtemp(pattern.data()))
            throw std::runtime_error("no temporary folder");
        folder_ = pattern;
        std::filesystem::path plain = folder_ / "plain.jpg";
        if (const char* given = std::getenv("QUIZMORA_BENCH_PHOTO"))
            plain = given;
        else if (SaveGraphicsFile(plain.native(), benchpicture::PhotoLikeImage()) != kSaveOk)
            throw std::runtime_error("the photo was not written");
        std::ifstream in(plain, std::ios::binary);
        std::string jpeg{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        jpeg.insert(2, kExifTurnedLeft);  // right after the start-of-image marker
        std::ofstream(Photo(), std::ios::binary) << jpeg;
    }
    ~CPhotoFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    std::filesystem::path Photo() const { return folder_ / "photo.jpg"; }
    std::filesystem::path Target() const { return folder_ / "Pic.png"; }

private:
    std::filesystem::path folder_;
};

const CPhotoFolder& Folder()
{
    static const CPhotoFolder folder;
    return folder;
}

void ReportFile(benchmark::State& state, const std::filesystem::path& file)
{
    state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(file));
}

// The import before pictures were fitted and the compression chosen.
void BM_ImportAsBefore(benchmark::State& state)
{
    const CPhotoFolder& folder = Folder();
    for (auto _ : state) {
        CGraphicsImage picture;
        if (LoadGraphicsFile(folder.Photo().native(), picture) != kLoadOk)
            state.SkipWithError("the photo does not load");
        CPngWriter writer;
        writer.SetCompression(PngCompressionLibpngDefault());
        writer.Write(folder.Target().native(), picture, false);
    }
    ReportFile(state, folder.Target());
}

void Import(benchmark::State& state, bool shrink)
{
    const CPhotoFolder& folder = Folder();
    CPictureFit fit;
    fit.Shrink = shrink;
    for (auto _ : state)
        if (!ImportPicture(folder.Photo().native(), fit, folder.Target()))
            state.SkipWithError("the import failed");
    ReportFile(state, folder.Target());
}

void BM_ImportFitted(benchmark::State& state)
{
    Import(state, true);
}

void BM_ImportKeepSize(benchmark::State& state)
{
    Import(state, false);
}

}  // namespace

BENCHMARK(BM_ImportAsBefore)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime()->MeasureProcessCPUTime();
BENCHMARK(BM_ImportFitted)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime()->MeasureProcessCPUTime();
BENCHMARK(BM_ImportKeepSize)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime()->MeasureProcessCPUTime();

BENCHMARK_MAIN();
