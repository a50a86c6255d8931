// What the MIDI-learn popup shows of a controller code and the code its switch and number menus make of it.
#pragma once

#include <optional>

namespace corvex {

// The "morvane_id" of the popup's three number labels.
constexpr int kControllerNumberLabel = 4;
constexpr int kNrpnHighLabel = 5;
constexpr int kNrpnLowLabel = 6;
// What a number menu gives back besides 0..127.
constexpr int kMenuChoseNone = -1;
constexpr int kMenuDismissed = -2;

enum class ControllerKind { None, Plain, Nrpn, Rpn };

struct ControllerParts {
    ControllerKind kind = ControllerKind::None;
    int number = -1; // plain controllers
    int high = 0;    // NRPN and RPN
    int low = 0;
};

ControllerParts describeController(int code);

// The code after a click on the "Use NRPN" switch.
int codeAfterNrpnSwitch(int code);

// The number a label's menu ticks: -1 ticks "none", 0..127 that number, anything else nothing.
int tickedMenuNumber(int label, int code);

// The code to assign after a number menu closed with result (kMenuDismissed, kMenuChoseNone or 0..127);
// nothing when the choice changes nothing.
std::optional<int> codeAfterNumberChoice(int label, int code, int result);

} // namespace corvex
