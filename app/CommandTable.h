#pragma once
// One table of the program's commands keyed by their numeric identifiers. Menu items, tool-bar
// buttons, accelerators and posted commands all end in Dispatch, which asks the command's enabled
// rule first, so a disabled command never runs whatever its source. The widgets read the same
// rules to show enabled states and check marks.

#include <cstdint>
#include <functional>
#include <optional>
#include <unordered_map>
#include <vector>

class CCommandTable {
public:
    using Handler = std::function<void()>;
    using Rule = std::function<bool()>;

    // A later registration of the same id replaces the earlier one. A command without an enabled
    // rule is always enabled; one without a checked rule carries no check mark.
    void Register(std::uint32_t id, Handler handler, Rule enabled = {}, Rule checked = {});

    bool Contains(std::uint32_t id) const;
    // Unknown commands are disabled.
    bool IsEnabled(std::uint32_t id) const;
    // Empty when the command has no check rule.
    std::optional<bool> IsChecked(std::uint32_t id) const;

    // Runs the command when it is known and enabled; returns whether it ran. Observers are told
    // after every call, ran or not, so the widgets follow the rules at once.
    bool Dispatch(std::uint32_t id);

    // Called after every dispatch (for refreshing menus and buttons).
    void AddObserver(std::function<void()> observer);

private:
    struct Entry {
        Handler handler;
        Rule enabled;
        Rule checked;
    };
    std::unordered_map<std::uint32_t, Entry> entries_;
    std::vector<std::function<void()>> observers_;
};
