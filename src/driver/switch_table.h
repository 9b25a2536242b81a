// The switch table: which switches exist, in the order the driver tests them, and what each one does.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace cx {

enum class SwitchOutcome {
    EndWithFlag,  // the handler's result is a Boolean: true ends the run with 0, false with 1
    EndWithCode,  // the handler's result is the exit code
    GoOn,         // the result is ignored and the driver tests the next switch
};

// Every handler has one shape; a Boolean handler returns 1 for true and 0 for false.
using SwitchHandler = std::int32_t (*)(const std::wstring& value);

struct SwitchEntry {
    std::wstring_view name;
    SwitchOutcome outcome;
    SwitchHandler handler;
    // The name is a prefix and the rest of the parameter is the handler's argument; an empty rest
    // does nothing.
    bool takesValue = false;
    // Acts only when the entry before it did not ("nu" when "ni" is absent).
    bool elseOfPrevious = false;
    // What the switch does for every user of the machine when the modifier kAllUsersSwitch is given;
    // null for a switch that acts machine-wide already and so is the same with or without it.
    SwitchHandler allUsers = nullptr;
};

// The modifier "am" (all users): no action of its own. With it the switches that act for the current
// user act for the machine instead, as a deployment running as LocalSystem needs: such a run writes
// nothing under HKEY_CURRENT_USER, which would be LocalSystem's own profile.
inline constexpr wchar_t kAllUsersSwitch[] = L"am";

// What the interactive mode calls for its Yes and No answers. Entries that do not exist yet are null,
// and the answer then does nothing.
struct InteractiveActions {
    bool (*registerAppServer)(bool doRegister) = nullptr;
    std::int32_t (*installWordAddin)() = nullptr;
    std::int32_t (*uninstallWordAddin)() = nullptr;
};

struct CommandSet {
    std::span<const SwitchEntry> switches;
    InteractiveActions interactive;
};

// The tool's own switches and actions.
const CommandSet& ToolCommands();

}  // namespace cx
