// The kernel's arpeggiator: turns the held keys into one stepped note stream, advanced once per block.
#include "engine/kernel/NoteGenerator.h"

#include <cmath>

#include "engine/dsp/TempoSync.h"
#include "engine/modules/EngineContext.h"
#include "engine/modules/types/GlobalBlock.h"

namespace corvex {

namespace {

constexpr float kBlockFrames = 32.0f;
constexpr float kDefaultRate = 44100.0f;
// With no running tempo (a host that reports 0, or a stopped clock that left NaN) sync steps fall
// back to the engine's own default tempo rather than stopping the arpeggio or dividing by zero.
constexpr float kFallbackTempo = 120.0f;
constexpr int kHighestNote = 127;

constexpr uint32_t kRandomMultiplier = 196314165u;
constexpr uint32_t kRandomIncrement = 907633515u;

int clampTo(int v, int lo, int hi) { return v < lo ? lo : (v > hi ? hi : v); }

// Maps a fresh draw to 0 .. count - 1; double keeps the largest draw from rounding up to count.
int drawIndex(uint32_t& state, int count) {
    state = state * kRandomMultiplier + kRandomIncrement;
    const double unit = (static_cast<double>(static_cast<int32_t>(state)) / 2147483648.0 + 1.0) * 0.5;
    return clampTo(static_cast<int>(static_cast<double>(count) * unit), 0, count - 1);
}

} // namespace

void NoteGenerator::reset(const EngineContext* context, const GlobalBlockParams* config) {
    for (int i = 0; i < kMaxHeld; ++i) {
        listNotes_[i] = listVelocities_[i] = 0;
        heldNotes_[i] = heldVelocities_[i] = 0;
    }
    heldCount_ = 0;
    position_ = 0;
    lastNote_ = -1;
    sampleCounter_ = 0.0f;
    octave_ = 0;
    direction_ = 1;
    firstStep_ = true;
    context_ = context;
    config_ = config;
}

bool NoteGenerator::switchedOn(int part) const {
    if (config_ == nullptr) return false;
    if (part == 0) return config_->layer1Arpeggiator != 0;
    if (part == 1) return config_->layer2Arpeggiator != 0;
    return false;
}

int NoteGenerator::pendingAction(int part) const { return (part == 0 || part == 1) ? pendingAction_[part] : NoAction; }

void NoteGenerator::clearPendingAction(int part) {
    if (part == 0 || part == 1) pendingAction_[part] = NoAction;
}

float NoteGenerator::stepLength() const {
    const float rate = context_ ? context_->sampleRate : kDefaultRate;
    if (config_ != nullptr && config_->tempoSync != 0) {
        float tempo = context_ ? context_->tempo : kFallbackTempo;
        if (!(tempo > 0.0f)) tempo = kFallbackTempo;
        return tempoSyncPeriodSamples(config_->syncCode, tempo, rate);
    }
    float freeRate = config_ ? config_->freeRate : kSlowestFreeRate;
    if (!(freeRate >= kSlowestFreeRate)) freeRate = kSlowestFreeRate;
    // Free time counts whole samples; floor rather than an int cast so a wild rate cannot overflow.
    return std::floor(rate * 60.0f / freeRate);
}

void NoteGenerator::forgetPosition() {
    octave_ = 0;
    direction_ = 1;
    position_ = -1;
    firstStep_ = true;
}

void NoteGenerator::rebuildList() {
    int n = 0;
    for (int i = 0; i < kMaxHeld; ++i) {
        if (heldNotes_[i] == 0) continue;
        listNotes_[n] = heldNotes_[i];
        listVelocities_[n] = heldVelocities_[i];
        ++n;
    }
    for (int i = n; i < kMaxHeld; ++i) listNotes_[i] = listVelocities_[i] = 0;
}

void NoteGenerator::noteInput(int velocity, int part, int statusNibble, int note) {
    if (config_ == nullptr) return;
    // With only layer 2 arpeggiating, layer 1's keys play straight and must not join the arpeggio.
    if (part == 0 && config_->layer1Arpeggiator == 0 && config_->layer2Arpeggiator != 0) return;
    // An entry of 0 means empty, so key 0 cannot be held; bytes above 127 are no keys at all.
    if (note < 1 || note > kHighestNote) return;
    const bool press = statusNibble == 9 && velocity > 0;
    const bool release = statusNibble == 8 || (statusNibble == 9 && velocity <= 0);

    if (press) {
        int freeEntry = -1;
        for (int i = 0; i < kMaxHeld; ++i) {
            if (heldNotes_[i] == note) return;
            if (freeEntry < 0 && heldNotes_[i] == 0) freeEntry = i;
        }
        if (freeEntry < 0) return;
        heldNotes_[freeEntry] = static_cast<uint8_t>(note);
        heldVelocities_[freeEntry] = static_cast<uint8_t>(clampTo(velocity, 1, 127));
        ++heldCount_;
        // Every entry before the first empty one is taken, so the entry index is also the key's place
        // in the arpeggio; keys at or before the current step push it along to keep it on its note.
        if (freeEntry <= position_) ++position_;
        // The first key sounds at the next block instead of after a whole step of silence.
        if (heldCount_ == 1) sampleCounter_ = stepLength();
    } else if (release) {
        int entry = -1;
        int place = 0; // the key's place in the arpeggio: entries released earlier leave gaps
        for (int i = 0; i < kMaxHeld && entry < 0; ++i) {
            if (heldNotes_[i] == note) entry = i;
            else if (heldNotes_[i] != 0) ++place;
        }
        if (entry < 0) return;
        heldNotes_[entry] = 0;
        heldVelocities_[entry] = 0;
        --heldCount_;
        if (position_ >= place) --position_;
        if (heldCount_ == 0) forgetPosition();
    } else {
        return;
    }
    rebuildList();
    if (position_ >= heldCount_) position_ = -1;
}

void NoteGenerator::clearHeldNotes() {
    for (int i = 0; i < kMaxHeld; ++i) heldNotes_[i] = heldVelocities_[i] = 0;
    heldCount_ = 0;
    rebuildList();
    forgetPosition();
}

int NoteGenerator::nextNote(int* velocity) {
    const int n = heldCount_;
    const int o = config_ ? clampTo(config_->octaveRange, 0, kMaxOctaveRange) : 0;
    const int octaves = o + 1;
    int p = position_;
    int q = octave_;
    switch (config_ ? config_->mode : ArpeggioUp) {
    case ArpeggioDown:
        // The first step starts from "before the first note" and wraps straight to the top.
        if (!firstStep_) --p;
        if (p < 0) {
            p = n - 1;
            if (--q < 0) q = o;
        }
        break;
    case ArpeggioUpDown:
        p += direction_;
        // The end notes turn the direction without sounding twice.
        if (p >= n && q == o) {
            p -= 2 * direction_;
            direction_ = -direction_;
        } else if (p < 0 && q == 0) {
            direction_ = -direction_;
            p += 2 * direction_;
        }
        if (p >= n) {
            q = (q + 1) % octaves;
            p = 0;
        } else if (p < 0 && direction_ < 0) {
            q = ((q - 1) % octaves + octaves) % octaves;
            p = n - 1;
        }
        break;
    case ArpeggioRandom:
        p = drawIndex(random_, n);
        q = drawIndex(random_, octaves);
        break;
    default:
        if (++p >= n) {
            p = 0;
            q = (q + 1) % octaves;
        }
        break;
    }
    p = clampTo(p, 0, n - 1);
    position_ = p;
    octave_ = q;
    firstStep_ = false;
    *velocity = listVelocities_[p];
    // The top octaves of a high key would leave the MIDI range; they sound an octave lower instead.
    int note = listNotes_[p] + 12 * q;
    while (note > kHighestNote) note -= 12;
    return note;
}

void NoteGenerator::step(uint32_t events[2]) {
    events[0] = 0;
    events[1] = 0;
    for (int part = 0; part < 2; ++part) {
        const bool on = switchedOn(part);
        if (on != lastSwitch_[part]) {
            pendingAction_[part] = on ? Release : ReleaseAndStrike;
            lastSwitch_[part] = on;
        }
    }
    sampleCounter_ += kBlockFrames;
    if (heldCount_ == 0) {
        if (lastNote_ >= 0) {
            events[0] = events[1] = noteEvent(0, lastNote_);
            lastNote_ = -1;
        }
        return;
    }
    const float length = stepLength();
    if (!(sampleCounter_ >= length)) return;
    sampleCounter_ -= length;
    events[0] = lastNote_ >= 0 ? noteEvent(0, lastNote_) : 0u;
    int velocity = 0;
    const int note = nextNote(&velocity);
    events[1] = noteEvent(velocity, note);
    lastNote_ = note;
}

} // namespace corvex
