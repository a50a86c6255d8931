#include "engine/kernel/VoiceAllocator.h"

#include <algorithm>

#include "engine/kernel/CorvexProgram.h"
#include "engine/kernel/HoldRing.h"
#include "engine/kernel/KernelBase.h"
#include "engine/kernel/ModuleWiring.h"
#include "engine/kernel/NoteGenerator.h"
#include "engine/kernel/PortBinding.h"
#include "engine/modules/types/ValueSource.h"
#include "engine/modules/types/VoiceControl.h"

namespace corvex {

namespace {

constexpr int kFirstKeyDown = 1;
constexpr int kLastKeyUp = 3;

void strike(VoiceRecord& v, int note, int velocity) {
    v.state = VoiceRecord::Sounding;
    v.note = static_cast<uint8_t>(note);
    v.velocity = static_cast<uint8_t>(velocity);
    setGate(v.modules[SlotIndex::VoiceValueSource], GateRising);
    if (void* control = v.modules[SlotIndex::VoiceControl]) voiceControlNoteOn(control, note, velocity);
}

void startRelease(VoiceRecord& v) {
    v.state = VoiceRecord::Releasing;
    v.releasePending = 1;
    setGate(v.modules[SlotIndex::VoiceValueSource], GateFalling);
}

} // namespace

CorvexProgram* VoiceAllocator::program(int part) const { return kernel_.program(part); }

void VoiceAllocator::dispatchNote(int status, int data1, int data2) {
    const int p = status & 15;
    CorvexProgram* part = program(p);
    if (part == nullptr) return;
    const int kind = status >> 4;
    if (kind == 9 && data2 != 0) {
        assignVoice(p, data1, data2);
    } else if (kind == 8 || kind == 9) {
        if (!part->heldNotes.contains(data1)) return;
        if (part->voiceLimit == 1)
            releaseMono(p, data1);
        else
            releasePoly(p, data1);
    }
}

int VoiceAllocator::releaseDirectNote(int p, int note) {
    CorvexProgram* part = program(p);
    if (part == nullptr || !part->heldNotes.contains(note)) return 0;
    if (part->voiceLimit == 1)
        releaseMono(p, note);
    else
        releasePoly(p, note);
    return 1;
}

void VoiceAllocator::signalPartKeys(int p, int event) {
    CorvexProgram* part = program(p);
    if (part == nullptr) return;
    // The part's first value source (slot 20) turns key events into its edges.
    setGate(part->partModules[20 - kVoiceSlotCount], event == kFirstKeyDown ? GateRising : GateFalling);
}

int VoiceAllocator::assignVoice(int p, int note, int velocity) {
    CorvexProgram* part = program(p);
    if (part == nullptr) return -1;
    const int unison = part->unison();
    if (unison == 0) return -1;
    NoteList& held = part->heldNotes;
    NoteList& released = part->releasedNotes;
    if (held.empty()) signalPartKeys(p, kFirstKeyDown);

    const int mode = part->assignMode();
    const bool mono = part->voiceLimit == 1;
    int reuse = -1;
    if (!mono && (mode == 0 || mode == 1)) {
        if (mode == 1) {
            if (held.contains(note)) {
                held.remove(note);
                reuse = note;
            } else if (!released.empty()) {
                const int i = released.find(note);
                reuse = released.removeAt(i >= 0 ? i : 0).note;
            }
        } else {
            if (released.contains(note)) {
                released.removeAt(released.find(note));
                reuse = note;
            } else if (held.contains(note)) {
                held.remove(note);
                reuse = note;
            }
        }
        if (held.count() == NoteList::kCapacity) {
            reuse = held.removeAt(0).note;
            held.append(note, velocity);
        } else {
            held.append(note, velocity);
            if (reuse < 0 && held.count() * unison + released.count() > part->voiceLimit) {
                if (!released.empty()) {
                    const int i = mode == 0 ? released.find(note) : -1;
                    reuse = released.removeAt(i >= 0 ? i : 0).note;
                } else {
                    reuse = held.removeAt(0).note;
                }
            }
        }
    }

    int result = 0;
    int pending = reuse;
    const int oldNote = reuse;
    int struck = 0, counted = 0, seen = 0;
    for (int i = 0; i < kVoiceCount && struck < unison;) {
        VoiceRecord& v = voices_[i];
        const bool sounding = v.state == VoiceRecord::Sounding || v.state == VoiceRecord::Releasing;
        if (v.ownerPart == p && pending >= 0 && v.note == pending && sounding) {
            // Recycle: the voice keeps its modules and is struck for the new note next.
            if (part->soundingVoices > 0) --part->soundingVoices;
            v.ownerPart = VoiceRecord::kFreeOwner;
            const int b = released.find(v.note);
            if (b >= 0) released.removeAt(b);
            v.recycled = true;
            pending = -1;
            continue;
        }
        if (v.ownerPart == VoiceRecord::kFreeOwner && pending < 0) {
            if (!v.recycled) {
                v.owner = part;
                v.ownerPart = static_cast<uint8_t>(p);
                const int built = wiring_.buildVoice(v, *part);
                if (built < 0) {
                    v.ownerPart = VoiceRecord::kFreeOwner;
                    v.owner = nullptr;
                    v.state = VoiceRecord::Free;
                    result = built;
                    break;
                }
            }
            v.owner = part;
            v.ownerPart = static_cast<uint8_t>(p);
            v.recycled = false;
            ++part->soundingVoices;
            if (mono) {
                v.note = static_cast<uint8_t>(note);
                v.state = VoiceRecord::Releasing; // silent until step 5 strikes it
                setGate(v.modules[SlotIndex::VoiceValueSource], GateLow);
                ++counted;
                if (counted >= unison) break;
            } else {
                strike(v, note, velocity);
                ++struck;
                // Further unison voices come only from this part's voices of the recycled note.
                if (unison > 1 && oldNote >= 0) pending = oldNote;
            }
            ++i;
            continue;
        }
        if (v.ownerPart == p && sounding) {
            ++counted;
            if (mono) {
                if (counted >= unison) break;
            } else if (counted % unison == 0) {
                seen += unison;
                if (seen >= held.count() * unison + released.count()) break;
            }
        }
        ++i;
    }
    if (result < 0) return result;
    if (!mono) return 0;

    // Monophonic modes: which key sounds, and whether the voices glide to it or start again.
    part->soundingVoices = std::max(part->soundingVoices, 1);
    if (held.count() == NoteList::kCapacity) held.removeAt(0);
    switch (mode) {
    case 4:
        held.append(note, velocity);
        if (held.count() > 1 && note > held.oldest().note) return 0;
        break;
    case 5:
        held.insertSorted(note, velocity);
        if (note < held.newest().note) return 0;
        break;
    default:
        held.append(note, velocity);
        break;
    }
    part->lastNote = note;
    const bool glide = part->legato() && held.count() > 1;
    int set = 0;
    for (VoiceRecord& v : voices_) {
        if (set >= unison) break;
        if (v.ownerPart != p || !v.built) continue;
        if (glide && v.state == VoiceRecord::Sounding) {
            v.note = static_cast<uint8_t>(note);
            if (void* control = v.modules[SlotIndex::VoiceControl]) voiceControlNoteOn(control, note, velocity);
        } else {
            strike(v, note, velocity);
        }
        ++set;
    }
    return 0;
}

void VoiceAllocator::releasePoly(int p, int note) {
    CorvexProgram* part = program(p);
    if (part == nullptr) return;
    for (VoiceRecord& v : voices_) {
        if (v.ownerPart != p || v.state != VoiceRecord::Sounding || v.note != note) continue;
        startRelease(v);
        part->releasedNotes.append(note, 0);
    }
    if (part->heldNotes.remove(note) == 1) signalPartKeys(p, kLastKeyUp);
}

void VoiceAllocator::releaseMono(int p, int note) {
    CorvexProgram* part = program(p);
    if (part == nullptr) return;
    NoteList& held = part->heldNotes;
    held.remove(note);
    const int mode = part->assignMode();
    const int unison = std::max(part->unison(), 1);
    if (!held.empty()) {
        const NoteList::Entry back = mode == 4 ? held.oldest() : held.newest();
        int set = 0;
        for (VoiceRecord& v : voices_) {
            if (set >= unison) break;
            if (v.ownerPart != p || (v.state != VoiceRecord::Sounding && v.state != VoiceRecord::Releasing)) continue;
            v.note = back.note;
            if (void* control = v.modules[SlotIndex::VoiceControl]) voiceControlNoteOn(control, back.note, back.velocity);
            ++set;
        }
        return;
    }
    part->lastNote = -1;
    for (VoiceRecord& v : voices_) {
        if (v.ownerPart != p) continue;
        const bool release = v.state == VoiceRecord::Sounding || (mode != 6 && v.state == VoiceRecord::Releasing);
        if (release) startRelease(v);
    }
    signalPartKeys(p, kLastKeyUp);
}

void VoiceAllocator::partNotesOff(int p) {
    CorvexProgram* part = program(p);
    if (part == nullptr) return;
    for (VoiceRecord& v : voices_)
        if (v.ownerPart == p && v.state != VoiceRecord::Free) freeVoice(v);
    // A recycled voice caught between owners is freed too.
    for (VoiceRecord& v : voices_)
        if (v.recycled && v.owner == part) freeVoice(v);
    part->heldNotes.clear();
    part->releasedNotes.clear();
    holdRings_[p].clear();
    if (p < 2 && noteGenerator_.switchedOn(p)) noteGenerator_.clearHeldNotes();
}

void VoiceAllocator::freePartVoices(int p) {
    CorvexProgram* part = program(p);
    if (part == nullptr) return;
    for (VoiceRecord& v : voices_)
        if (v.ownerPart == p && v.state != VoiceRecord::Free) freeVoice(v);
    part->heldNotes.clear();
    part->releasedNotes.clear();
}

void VoiceAllocator::freeVoice(VoiceRecord& voice) {
    CorvexProgram* part = program(voice.ownerPart);
    if (part) {
        if (part->soundingVoices > 0) --part->soundingVoices;
        const int i = part->releasedNotes.find(voice.note);
        if (i >= 0) part->releasedNotes.removeAt(i);
        wiring_.releaseVoice(voice);
    } else {
        for (PortEntry*& binding : voice.bindings) unbindPort(binding);
    }
    voice.state = VoiceRecord::Free;
    voice.ownerPart = VoiceRecord::kFreeOwner;
    voice.owner = nullptr;
    voice.recycled = false;
}

void VoiceAllocator::freeFinishedVoices() {
    for (VoiceRecord& v : voices_)
        if (v.state == VoiceRecord::Finished) freeVoice(v);
}

int VoiceAllocator::soundingVoiceCount() const {
    int n = 0;
    for (const VoiceRecord& v : voices_)
        if (v.state == VoiceRecord::Sounding || v.state == VoiceRecord::Releasing) ++n;
    return n;
}

void VoiceAllocator::loadVoiceSetup(int p, const uint16_t* data, int length) {
    CorvexProgram* part = program(p);
    if (part == nullptr || length < 24) return;
    auto w = [data](int j) { return static_cast<uint32_t>(data[j + 2]); };
    uint32_t assign = w(3) & 7u;
    assign |= (w(5) & 1u) << 3;
    assign |= (w(7) & 1u) << 4;
    assign |= (w(8) & 1u) << 5;
    assign |= (w(9) & 1u) << 6;
    assign |= (w(10) & 1u) << 7;
    assign |= (w(12) & 1u) << 8;
    assign |= (w(13) & 1u) << 9;
    assign |= (w(15) & 7u) << 10;
    assign |= (w(21) & 1u) << 13;
    assign |= (w(22) & 15u) << 14;
    assign |= (w(23) & 15u) << 18;
    part->voiceAssign = assign;
    const int limit = static_cast<int>(w(17) & 255u);
    part->voiceLimit = static_cast<uint8_t>(limit == 0 || limit > kVoiceCount ? kVoiceCount : limit);
    part->voiceOrder = 0;
    // The layer keeps the key range that the key-range block gave it.
    part->keyLow = kernel_.partSetup(p).lowKey;
    part->keyHigh = kernel_.partSetup(p).highKey;
}

void VoiceAllocator::runNoteGenerator() {
    uint32_t events[2] = {0, 0};
    noteGenerator_.step(events);
    for (int p = 0; p < 2; ++p) {
        CorvexProgram* part = program(p);
        if (part == nullptr) continue;
        const int action = noteGenerator_.pendingAction(p);
        if (action != 0) {
            noteGenerator_.clearPendingAction(p);
            for (int i = 0; i < noteGenerator_.heldCount(); ++i) {
                const int note = noteGenerator_.heldNote(i);
                if (!part->heldNotes.contains(note)) continue;
                if (part->voiceLimit == 1)
                    releaseMono(p, note);
                else
                    releasePoly(p, note);
                if (action == 2) assignVoice(p, note, 85);
            }
        } else if (part->running && part->enabled && noteGenerator_.switchedOn(p)) {
            for (uint32_t e : events) {
                if (e == 0) continue;
                dispatchNote(((e >> 8) & 0xF0) | p, NoteGenerator::eventNote(e), NoteGenerator::eventVelocity(e));
            }
        }
    }
}

} // namespace corvex
