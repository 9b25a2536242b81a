#include "driver/switch_table.h"

#include "driver/app_server.h"

namespace cx {
namespace {

// Tested in this order, whatever the order on the command line.
constexpr SwitchEntry kSwitches[] = {
    {L"ni", SwitchOutcome::GoOn, [](const std::wstring&) -> std::int32_t { return RegisterAppServer(true); }},
    {L"nu", SwitchOutcome::GoOn, [](const std::wstring&) -> std::int32_t { return RegisterAppServer(false); },
     false, true},
};

}  // namespace

const CommandSet& ToolCommands() {
    static const CommandSet commands{kSwitches, InteractiveActions{&RegisterAppServer, nullptr, nullptr}};
    return commands;
}

}  // namespace cx
