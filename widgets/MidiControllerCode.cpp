// What the MIDI-learn popup shows of a controller code and the code its switch and number menus make of it.
#include "widgets/MidiControllerCode.h"

#include "instrument/midi/ControllerCodes.h"

namespace corvex {

namespace {
constexpr int kPartMask = 0x7F;
constexpr int kHighMask = 0x3F80;
constexpr int kBothPartsMask = 0x3FFF;
} // namespace

ControllerParts describeController(int code) {
    ControllerParts parts;
    if (code < 0) return parts;
    parts.high = (code >> 7) & kPartMask;
    parts.low = code & kPartMask;
    if (code >= kRpnBase)
        parts.kind = ControllerKind::Rpn;
    else if ((code & kNrpnBase) != 0)
        parts.kind = ControllerKind::Nrpn;
    else {
        parts.kind = ControllerKind::Plain;
        parts.number = code & kBothPartsMask;
    }
    return parts;
}

// Plain n and NRPN (0, n) turn into each other. An NRPN with a high part has no plain twin (plain controllers
// end at 127), so it keeps its low part; an RPN, which the switch cannot show, becomes the NRPN of its parts.
int codeAfterNrpnSwitch(int code) {
    const ControllerParts parts = describeController(code);
    switch (parts.kind) {
    case ControllerKind::None: return kNrpnBase;
    case ControllerKind::Plain: return code ^ kNrpnBase;
    case ControllerKind::Nrpn: return parts.high == 0 ? code ^ kNrpnBase : parts.low;
    case ControllerKind::Rpn: return kNrpnBase | (code & kBothPartsMask);
    }
    return code;
}

int tickedMenuNumber(int label, int code) {
    if (code < 0) return kMenuChoseNone;
    const ControllerParts parts = describeController(code);
    switch (label) {
    case kControllerNumberLabel: return parts.kind == ControllerKind::Plain ? parts.number : kMenuDismissed;
    case kNrpnHighLabel: return parts.high;
    case kNrpnLowLabel: return parts.low;
    default: return kMenuDismissed;
    }
}

std::optional<int> codeAfterNumberChoice(int label, int code, int result) {
    if (result < 0 || result > kPartMask) return std::nullopt;
    // The part that the choice leaves alone comes from an NRPN only; other codes have no NRPN part to keep.
    const int kept = describeController(code).kind == ControllerKind::Nrpn ? code : 0;
    switch (label) {
    // Controller 0 is bank select, which selects sounds rather than moving a control.
    case kControllerNumberLabel: return result > 0 ? std::optional<int>(result) : std::nullopt;
    case kNrpnHighLabel: return kNrpnBase | (result << 7) | (kept & kPartMask);
    case kNrpnLowLabel: return kNrpnBase | (kept & kHighMask) | result;
    default: return std::nullopt;
    }
}

} // namespace corvex
