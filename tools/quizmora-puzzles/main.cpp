// quizmora-puzzles: looks at a puzzle set from the command line.

#include "tools/quizmora-puzzles/Subcommand.h"

#include <cstdio>
#include <string_view>
#include <vector>

namespace {

void PrintUsage(std::FILE* out)
{
    std::fprintf(out, "Aufruf:\n");
    for (const CSubcommand& command : Subcommands())
        std::fprintf(out, "  quizmora-puzzles %.*s %.*s\n", static_cast<int>(command.name.size()),
                     command.name.data(), static_cast<int>(command.usage.size()), command.usage.data());
}

}  // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string_view> args(argv + 1, argv + argc);
    if (args.empty() || args[0] == "--help" || args[0] == "-h") {
        PrintUsage(args.empty() ? stderr : stdout);
        return args.empty() ? kExitUsage : kExitOk;
    }
    for (const CSubcommand& command : Subcommands())
        if (command.name == args[0])
            return command.run(std::span(args).subspan(1));
    std::fprintf(stderr, "Unbekannter Befehl: %.*s\n", static_cast<int>(args[0].size()), args[0].data());
    PrintUsage(stderr);
    return kExitUsage;
}
