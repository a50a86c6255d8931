// What a choice in the receive-channel menu or a parameter's controller menu means, apart from any display.
#include "instrument/MidiMenus.h"

namespace corvex {

int channelAfterMenu(int menuResult, int currentChannel) {
    if (menuResult < 1 || menuResult > kChannelMenuItems)
        return currentChannel;
    return menuResult - 1;
}

std::optional<int> controllerFromMenu(int menuResult) {
    if (menuResult < 1 || menuResult > kControllerMenuItems)
        return std::nullopt;
    return menuResult - 2;
}

int channelMenuItemFor(int channel) { return channel + 1; }

// A plain-menu item has no entry for NRPN codes, so they tick nothing (not even "none").
int controllerMenuItemFor(int controller) {
    if (controller < 0)
        return 1;
    return controller <= 127 ? controller + 2 : 0;
}

} // namespace corvex
