#include "tools/quizmora-puzzles/Subcommand.h"

#include <array>

std::span<const CSubcommand> Subcommands()
{
    static constexpr std::array kSubcommands{
        CSubcommand{"list", "DIR", RunList},
    };
    return kSubcommands;
}
