#pragma once
// The subcommands of quizmora-puzzles. Each lives in a file of its own and is one row of the
// table in Subcommands.cpp.

#include <span>
#include <string_view>

struct CSubcommand {
    std::string_view name;
    std::string_view usage;  // the arguments after the name
    int (*run)(std::span<const std::string_view> args);
};

std::span<const CSubcommand> Subcommands();

// Exit codes shared by the subcommands.
inline constexpr int kExitOk = 0;
inline constexpr int kExitProblems = 1;  // the command ran and found puzzles that do not load
inline constexpr int kExitUsage = 2;

int RunList(std::span<const std::string_view> args);
int RunAdd(std::span<const std::string_view> args);
int RunRender(std::span<const std::string_view> args);
