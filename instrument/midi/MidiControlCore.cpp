// Control changes to parameters: NRPN/RPN selection, MIDI learn, the controller map under the edit lock.
#include "instrument/midi/MidiControlCore.h"

#include "instrument/midi/ControllerCodes.h"

namespace corvex {

namespace {

MidiEvent removedEvent(int index) { return {MidiEventType::ControllerRemoved, static_cast<int16_t>(index), 0, 0}; }
MidiEvent assignedEvent(int index, int code) {
    return {MidiEventType::ControllerAssigned, static_cast<int16_t>(index), code, 0};
}

} // namespace

void MidiControlCore::beginBlock() {
    if (pending_.size() == 0)
        return;
    std::unique_lock<std::mutex> lock(editLock_, std::try_to_lock);
    if (!lock.owns_lock())
        return;
    for (int i = 0; i < pending_.size(); ++i)
        learnAndDispatch(pending_[i].code, pending_[i].value, pending_[i].mayLearn);
    pending_.clear();
}

void MidiControlCore::handleControlChange(int controller, int value) {
    value &= 0x7F;
    switch (controller) {
    case 99: nrpnMsb_ = static_cast<uint8_t>(value); rpnMsb_ = rpnLsb_ = 0x7F; return;
    case 98: nrpnLsb_ = static_cast<uint8_t>(value); rpnMsb_ = rpnLsb_ = 0x7F; return;
    case 101: rpnMsb_ = static_cast<uint8_t>(value); nrpnMsb_ = nrpnLsb_ = 0x7F; return;
    case 100: rpnLsb_ = static_cast<uint8_t>(value); nrpnMsb_ = nrpnLsb_ = 0x7F; return;
    case 6:
        if (rpnMsb_ != 0x7F || rpnLsb_ != 0x7F)
            dispatchOrDefer(rpnCode(rpnMsb_, rpnLsb_), value, false); // RPNs are the sender's settings, never learned
        else if (nrpnMsb_ != 0x7F || nrpnLsb_ != 0x7F)
            dispatchOrDefer(nrpnCode(nrpnMsb_, nrpnLsb_), value, true);
        return;
    default:
        if (controller >= 0 && controller <= 127)
            dispatchOrDefer(controller, value, true);
        return;
    }
}

void MidiControlCore::dispatchOrDefer(int32_t code, int value, bool mayLearn) {
    std::unique_lock<std::mutex> lock(editLock_, std::try_to_lock);
    if (!lock.owns_lock()) {
        pending_.put(code, value, mayLearn);
        return;
    }
    learnAndDispatch(code, value, mayLearn);
}

void MidiControlCore::learnAndDispatch(int32_t code, int value, bool mayLearn) {
    if (mayLearn) {
        const int target = learnTarget_.exchange(-1, std::memory_order_relaxed);
        if (isValidParameterIndex(target)) {
            map_.removeIndex(target);
            events_.push(removedEvent(target));
            if (map_.add(code, target))
                events_.push(assignedEvent(target, code));
        }
    }
    map_.forEachIndexOf(code, [&](int index) {
        sink_.setParameterFromMidi(index, static_cast<float>(value) / 127.0f);
        events_.push({MidiEventType::LearnedControllerMoved, static_cast<int16_t>(index), value, 0});
    });
}

MidiNotices MidiControlCore::assignController(int code, int index) {
    MidiNotices notices;
    if (!isValidParameterIndex(index) || (code != kNoController && !isValidControllerCode(code)))
        return notices;
    std::lock_guard<std::mutex> lock(editLock_);
    map_.removeIndex(index);
    notices.add(removedEvent(index));
    if (code != kNoController && map_.add(code, index))
        notices.add(assignedEvent(index, code));
    return notices;
}

MidiNotices MidiControlCore::clearParameterController(int index) { return assignController(kNoController, index); }

int MidiControlCore::getParameterController(int index) const {
    std::lock_guard<std::mutex> lock(editLock_);
    return map_.controllerOf(index);
}

void MidiControlCore::loadMap(const std::vector<ControllerEntry>& entries) {
    std::lock_guard<std::mutex> lock(editLock_);
    map_.clear();
    for (const ControllerEntry& e : entries) {
        map_.removeIndex(e.index);
        map_.add(e.code, e.index);
    }
}

std::vector<ControllerEntry> MidiControlCore::mapSnapshot() const {
    std::lock_guard<std::mutex> lock(editLock_);
    return map_.entries();
}

} // namespace corvex
