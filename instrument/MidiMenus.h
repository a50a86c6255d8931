// What a choice in the receive-channel menu or a parameter's controller menu means, apart from any display.
#pragma once

#include <optional>

namespace corvex {

// Channel menu: item 1 "All", items 2..17 "1".."16"; 0 means dismissed.
constexpr int kChannelMenuItems = 17;
// Controller menu: item 1 "none", items 2..129 "0".."127"; 0 means dismissed.
constexpr int kControllerMenuItems = 129;

// The receive channel after the menu closed with this result.
int channelAfterMenu(int menuResult, int currentChannel);

// The controller to assign (-1 = none), or nothing when the menu was dismissed.
std::optional<int> controllerFromMenu(int menuResult);

// The item id that shows the ticked state: channel 0..16, controller -1..127.
int channelMenuItemFor(int channel);
int controllerMenuItemFor(int controller);

} // namespace corvex
