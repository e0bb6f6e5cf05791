#include "tools/quizmora-puzzles/Subcommand.h"

#include <array>

std::span<const CSubcommand> Subcommands()
{
    static constexpr std::array kSubcommands{
        CSubcommand{"list", "DIR", RunList},
        CSubcommand{"add", "DIR --question Q --answer A [--picture FILE] [--number N] [--mode next|insert|overwrite]", RunAdd},
#ifdef QUIZMORA_WITH_RENDER
        CSubcommand{"render", "DIR N OUT.png [--size WxH] [--uncover K] [--stars L,R] [--stop left|right] [--timeout] [--star-size 0..3] [--seed S]", RunRender},
#endif
    };
    return kSubcommands;
}
