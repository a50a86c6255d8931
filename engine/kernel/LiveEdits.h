// Connection edits that reach a part while it plays: its list changes and its voices are patched in place.
#pragma once

#include <cstdint>

#include "engine/kernel/VoiceRecord.h"

namespace corvex {

class CorvexProgram;
class KernelBase;
class ModuleWiring;

class LiveEdits {
public:
    LiveEdits(const KernelBase& kernel, VoiceRecord (&voices)[kVoiceCount], ModuleWiring& wiring)
        : kernel_(kernel), voices_(voices), wiring_(wiring) {}

    // The part exists and the index is below kMaxConnections (the interpreter has checked both). A
    // refused record or list answers -1; an insert or a removal otherwise answers how the patch went.
    int insertConnection(int part, int index, const uint16_t* record);
    int removeConnection(int part, int index);
    int replaceConnection(int part, int index, const uint16_t* record);
    void setConnectionAmount(int part, int index, int16_t amount);
    void setConnectionSecond(int part, int index, int16_t value);
    int loadConnectionList(int part, const uint16_t* data, int length);

private:
    // Shifts every binding of the part's voices and of the part from the index on: one up to open a
    // gap for an inserted record (+1), or down to close the gap of a removed one (-1).
    void shiftBindings(CorvexProgram& part, int p, int index, int direction);
    int patchPlayingPart(CorvexProgram& part, int p);
    void unbindEverywhere(CorvexProgram& part, int p, int index);

    const KernelBase& kernel_;
    VoiceRecord (&voices_)[kVoiceCount];
    ModuleWiring& wiring_;
};

} // namespace corvex
