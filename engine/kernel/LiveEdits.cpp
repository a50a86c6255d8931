#include "engine/kernel/LiveEdits.h"

#include "engine/kernel/CorvexProgram.h"
#include "engine/kernel/KernelBase.h"
#include "engine/kernel/ModuleWiring.h"
#include "engine/kernel/PortBinding.h"

namespace corvex {

namespace {

void shift(PortEntry** bindings, int index, int direction) {
    if (direction > 0) {
        for (int i = kMaxConnections - 1; i > index; --i) bindings[i] = bindings[i - 1];
        bindings[index] = nullptr;
    } else {
        for (int i = index; i + 1 < kMaxConnections; ++i) bindings[i] = bindings[i + 1];
        bindings[kMaxConnections - 1] = nullptr;
    }
}

} // namespace

void LiveEdits::shiftBindings(CorvexProgram& part, int p, int index, int direction) {
    shift(part.partBindings, index, direction);
    for (VoiceRecord& v : voices_)
        if (v.ownerPart == p && v.built) shift(v.bindings, index, direction);
}

// Patches the part's shared modules and then each of its voices; the first failure stops the walk.
int LiveEdits::patchPlayingPart(CorvexProgram& part, int p) {
    if (!part.running) return 0;
    int result = wiring_.patchPart(part);
    for (VoiceRecord& v : voices_) {
        if (result != 0) break;
        if (v.ownerPart == p && v.built) result |= wiring_.patchVoice(v, part);
    }
    return result;
}

void LiveEdits::unbindEverywhere(CorvexProgram& part, int p, int index) {
    unbindPort(part.partBindings[index]);
    for (VoiceRecord& v : voices_)
        if (v.ownerPart == p && v.built) unbindPort(v.bindings[index]);
}

int LiveEdits::insertConnection(int p, int index, const uint16_t* words) {
    CorvexProgram& part = *kernel_.program(p);
    ModuleManager& m = part.connections;
    ConnectionRecord record;
    if (!decodeConnection(words, record) || index > m.count() || m.count() >= kMaxConnections) return -1;
    shiftBindings(part, p, index, +1);
    m.insertConnection(index, record);
    return patchPlayingPart(part, p);
}

int LiveEdits::removeConnection(int p, int index) {
    CorvexProgram& part = *kernel_.program(p);
    ModuleManager& m = part.connections;
    if (index >= m.count()) return -1;
    unbindEverywhere(part, p, index);
    shiftBindings(part, p, index, -1);
    m.removeConnectionAt(index);
    return patchPlayingPart(part, p);
}

// A replaced record may name another source: the module order is derived again, so that a source
// no voice had yet is built, and the record is bound afresh.
int LiveEdits::replaceConnection(int p, int index, const uint16_t* words) {
    CorvexProgram& part = *kernel_.program(p);
    ModuleManager& m = part.connections;
    ConnectionRecord record;
    if (index >= m.count() || !decodeConnection(words, record)) return -1;
    unbindEverywhere(part, p, index);
    m.setConnection(index, record);
    m.rebuild();
    patchPlayingPart(part, p);
    return 0;
}

void LiveEdits::setConnectionAmount(int p, int index, int16_t amount) {
    kernel_.program(p)->connections.setConnectionAmount(index, static_cast<uint16_t>(amount));
}

void LiveEdits::setConnectionSecond(int p, int index, int16_t value) {
    kernel_.program(p)->connections.setConnectionAmount2(index, static_cast<uint16_t>(value));
}

// A whole list replaces the part's wiring at once; should the part be playing, its voices are bound
// to the new list rather than left reading the old one's sources.
int LiveEdits::loadConnectionList(int p, const uint16_t* data, int length) {
    // A first chunk carries a three-word block header before its records.
    const int headWords = (data[1] >> 8) == 0 ? 7 : 4;
    if (length < headWords || (length - headWords) % kExternalConnectionWords != 0) return -1;
    CorvexProgram& part = *kernel_.program(p);
    const bool last = (data[1] & 255) != 0;
    if (last && part.running)
        for (int r = 0; r < kMaxConnections; ++r) unbindEverywhere(part, p, r);
    const int result = part.connections.setConnections(data, (length - headWords) / kExternalConnectionWords);
    if (last) patchPlayingPart(part, p);
    return result;
}

} // namespace corvex
