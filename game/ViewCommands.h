#pragma once
// The game view's commands: what each runs, when it is enabled and when it carries a check mark,
// and the rules by which the settings prompts take the quiz master's input.

#include <cstdint>
#include <optional>

class CCommandTable;
class CQuizmoraView;

void RegisterViewCommands(CCommandTable& commands, CQuizmoraView& view);

// The game number after the quiz master typed `entered` into the prompt that offered
// current + 1: entered - 1 when that lies in 0..999 and differs from current; otherwise none.
std::optional<std::int32_t> AcceptedGameNumber(std::int64_t entered, std::int32_t current);
