// quizmora-puzzles render DIR N OUT.png [options]: the screen the audience would see for puzzle N,
// drawn by the game's own engine and renderer, saved as a PNG. Quiz masters preview a puzzle set
// with it; tests check the screen with it.

#include "game/GameEngine.h"
#include "game/GameRenderer.h"
#include "game/QtLetterGlyphs.h"
#include "game/RenderTarget.h"
#include "imaging/GraphicsFile.h"
#include "support/Cp1252.h"
#include "support/NumberParser.h"
#include "tools/quizmora-puzzles/Subcommand.h"

#include <QGuiApplication>

#include <cstdio>
#include <optional>
#include <string>

namespace {

struct RenderOptions {
    std::string puzzlePath;
    int number = 0;
    std::string output;
    int width = 1920;
    int height = 1080;
    int uncover = 0;
    int stars[2] = {0, 0};
    int stopPlayer = -1;
    bool timeout = false;
    int starSize = 0;
    std::uint32_t seed = 1;
};

int Fail(const std::string& cp1252)
{
    const std::string text = Cp1252ToUtf8(cp1252);
    std::fprintf(stderr, "%s\n", text.c_str());
    return kExitProblems;
}

bool ParseSize(std::string_view text, int& width, int& height)
{
    const auto x = text.find_first_of("xX");
    if (x == std::string_view::npos)
        return false;
    width = ParseNumber(text.substr(0, x));
    height = ParseNumber(text.substr(x + 1));
    return width > 0 && height > 0 && width <= 16000 && height <= 16000;
}

bool ParseStars(std::string_view text, int stars[2])
{
    const auto comma = text.find(',');
    if (comma == std::string_view::npos)
        return false;
    stars[0] = ParseNumber(text.substr(0, comma));
    stars[1] = ParseNumber(text.substr(comma + 1));
    return stars[0] >= 0 && stars[0] <= 255 && stars[1] >= 0 && stars[1] <= 255;
}

std::optional<RenderOptions> ParseOptions(std::span<const std::string_view> args)
{
    if (args.size() < 3)
        return std::nullopt;
    RenderOptions options;
    options.puzzlePath = args[0];
    options.number = ParseNumber(args[1]);
    options.output = args[2];
    for (std::size_t i = 3; i < args.size(); ++i) {
        const std::string_view option = args[i];
        const bool hasValue = i + 1 < args.size();
        const std::string_view value = hasValue ? args[i + 1] : std::string_view();
        bool ok = true;
        if (option == "--timeout") {
            options.timeout = true;
            continue;
        }
        if (!hasValue)
            return std::nullopt;
        if (option == "--size")
            ok = ParseSize(value, options.width, options.height);
        else if (option == "--uncover")
            ok = (options.uncover = ParseNumber(value)) >= 0;
        else if (option == "--stars")
            ok = ParseStars(value, options.stars);
        else if (option == "--stop")
            ok = (options.stopPlayer = value == "left" ? 0 : value == "right" ? 1 : -1) >= 0;
        else if (option == "--star-size")
            ok = (options.starSize = ParseNumber(value)) >= 0 && options.starSize <= 3;
        else if (option == "--seed")
            options.seed = static_cast<std::uint32_t>(ParseNumber(value));
        else
            ok = false;
        if (!ok)
            return std::nullopt;
        ++i;
    }
    return options;
}

int Render(const RenderOptions& options)
{
    CManualTicks clock(1000);
    CRandom random(options.seed);
    CSilentSound sound;
    CGameEngine engine(clock, random, sound);
    engine.SetPuzzlePath(options.puzzlePath);
    if (!engine.StartPuzzleAsCurrent(options.number))
        return Fail("Das R\xE4tsel " + std::to_string(options.number) + " gibt es nicht.");

    // Uncover through the engine's own clock, one switch time per letter; a time-out is the
    // engine's too: it comes with the last letter.
    CGameState& state = engine.State();
    const int letters = options.timeout ? state.CoveredCount + 1 : options.uncover;
    for (int i = 0; i < letters && state.Running != 0; ++i) {
        clock.Advance(state.CurSwitchTime);
        engine.GameStep();
    }
    state.Stars = {static_cast<std::uint8_t>(options.stars[0]), static_cast<std::uint8_t>(options.stars[1])};
    if (options.stopPlayer >= 0)
        engine.StopPlayer(options.stopPlayer);

    CBufferRenderTarget target;
    CQtLetterGlyphs glyphs;
    CGameRenderer renderer(state, engine.ShownPicture(), target, glyphs);
    renderer.LoadResources(options.starSize);
    renderer.OnSize(options.width, options.height);
    renderer.DrawStep();

    // The back buffer keeps the alpha of what was blended in; the screen shows only colours.
    CGraphicsImage screen;
    if (!screen.Create(24, options.width, options.height, 0) || !screen.Draw(target.BackBuffer(), 0, 0))
        return Fail("Zu wenig Speicher");
    if (SaveGraphicsFile(options.output, screen) != 0)
        return Fail(std::string(SaveErrorText()));
    return kExitOk;
}

}  // namespace

int RunRender(std::span<const std::string_view> args)
{
    const std::optional<RenderOptions> options = ParseOptions(args);
    if (!options) {
        std::fprintf(stderr, "Aufruf: quizmora-puzzles render DIR N OUT.png [--size WxH] [--uncover K] "
                             "[--stars L,R] [--stop left|right] [--timeout] [--star-size 0..3] [--seed S]\n");
        return kExitUsage;
    }
    // The letters come from the system's fonts through Qt; no window is ever shown.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    int argc = 1;
    char name[] = "quizmora-puzzles";
    char* argv[] = {name, nullptr};
    QGuiApplication application(argc, argv);
    return Render(*options);
}
