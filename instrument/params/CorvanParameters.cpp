#include "instrument/params/CorvanParameters.h"

#include <algorithm>

#include "instrument/params/ParameterIndex.h"
#include "instrument/params/ParameterRows.h"

namespace corvex {

namespace {

// Keyboard-route rows (Upper numbering) and the values that older layer payloads, written before the
// routes existed, leave them at: no destination, a centred amount.
struct RouteDefault {
    int upperIndex;
    float value;
};
constexpr RouteDefault kKeyboardRouteDefaults[] = {
    {590, 0.0f}, {591, 0.0f}, {592, 0.0f}, {593, 0.5f}, {594, 0.5f}, {595, 0.5f}, {596, 0.0f},
    {597, 0.5f}, {598, 0.5f}, {599, 1.0f}, {600, 0.0f}, {601, 0.0f}, {602, 0.0f}, {603, 0.5f},
    {604, 0.5f}, {605, 0.5f}, {606, 0.0f}, {607, 0.5f}, {608, 0.5f}, {609, 1.0f},
};
constexpr int kFirstKeyboardRouteVersion = 2;

// Global rows whose cached value must reach the kernel on load: the 'mult' chunk does not carry them.
bool globalRowSetsTheKernel(int i) {
    using namespace ParameterIndex;
    return i == kVolume || i == kBalance || i == kMasterTune || i == kDetune || (i >= kUpperHold && i <= kLfoTrigger) ||
           i == kPortamentoSwitch || i == kPortamento || (i >= kKeyMode && i <= kArpeggioMode) || i == kNotePriority ||
           i == kUnisonVoices || i == kPolyphony;
}

// A row told to re-read itself (-1.0) may still hold that signal in its cache: save what its mapper reads
// back instead, so a loaded multi or layer keeps what it was saved with. A row whose mapper has nothing to
// give still saves the signal, which the readers skip.
float savedValue(const ParameterMapping& table, int index) {
    const float cached = table.getCachedValue(index);
    if (cached != ParameterMapper::kUseCachedValue) return cached;
    ParameterMapper* m = table.mapper(index);
    return m ? m->getValue(index) : cached;
}

// A saved value as the table takes it: the re-read signal as it is, anything else within 0..1 (the entry
// points once let values past it into the cache, and presets were saved with them).
float loadedValue(float saved) {
    return saved == ParameterMapper::kUseCachedValue ? saved : std::clamp(saved, 0.0f, 1.0f);
}

} // namespace

std::string layerKey(int layer, const std::string& name) { return (layer == 1 ? "L" : "U") + name; }

CorvanParameters::CorvanParameters(MapperManagerListener* listener, CorvanKernelProgram& program)
    : ParameterMapping(listener), program_(program) {
    buildTable();
}

void CorvanParameters::buildTable() {
    for (int layer = 0; layer < 2; ++layer) {
        addWordRows(*this, layer);
        addConnectionRows(*this, layer);
        addRoutingRows(*this, layer);
        addEffectLineRows(*this, layer);
        addSequencerRows(*this, layer);
    }
    addGlobalWordRows(*this);
    addMultiRows(*this);
    addDoubleConnectionRows(*this);
    addMasterEffectRows(*this);
    // The kernel keeps its own initial program: building touches only the cache.
    for (int i = 0; i < kCount; ++i) setValue(i, 0.0f);
}

void CorvanParameters::placeLayerMapper(int upperIndex, int layer, const std::shared_ptr<ParameterMapper>& mapper) {
    setMapper(ParameterIndex::unfold(upperIndex, layer), mapper);
}

void CorvanParameters::placeGlobalMapper(int index, const std::shared_ptr<ParameterMapper>& mapper) {
    setMapper(index, mapper);
}

void CorvanParameters::writeLayerCache(ByteWriter& out, int layer) const {
    for (int i = 0; i < kCount; ++i) {
        if (ParameterIndex::layerOf(i) != layer) continue;
        const std::string key = getName(i);
        out.writeInt32(ParameterIndex::foldToUpper(i));
        out.writeString(key.empty() ? key : key.substr(1));
        out.writeFloat(savedValue(*this, i));
    }
}

void CorvanParameters::readLayerCache(int layer, ByteReader& in, int version) {
    for (;;) {
        const size_t start = in.position();
        int32_t upper = 0;
        std::string key;
        float value = 0.0f;
        if (!in.readInt32(upper) || !in.readString(key) || !in.readFloat(value)) {
            in.seek(start);
            break;
        }
        const int target = ParameterIndex::unfold(upper, layer);
        if (!ParameterIndex::isValid(target)) continue;
        // Insert-effect rows change their keys with the chosen effect: they are taken by position.
        const bool effectRow = key.compare(0, 2, "Ef") == 0;
        if (getName(target).find(key) == std::string::npos && !effectRow) continue;
        setValue(target, loadedValue(value));
    }
    if (version < kFirstKeyboardRouteVersion)
        for (const RouteDefault& d : kKeyboardRouteDefaults) setValue(ParameterIndex::unfold(d.upperIndex, layer), d.value);
}

void CorvanParameters::writeGlobalCache(ByteWriter& out) const {
    for (int i = 0; i < kCount; ++i) {
        if (ParameterIndex::layerOf(i) != -1) continue;
        out.writeInt32(i);
        out.writeString(getName(i));
        out.writeFloat(savedValue(*this, i));
    }
}

void CorvanParameters::readGlobalCache(ByteReader& in) {
    for (;;) {
        const size_t start = in.position();
        int32_t index = 0;
        std::string key;
        float value = 0.0f;
        if (!in.readInt32(index) || !in.readString(key) || !in.readFloat(value)) {
            in.seek(start);
            break;
        }
        // A row that moved keeps its key: look for it among the global rows.
        if (!ParameterIndex::isValid(index) || getName(index) != key) {
            index = -1;
            for (int i = 0; i < kCount && index < 0; ++i)
                if (ParameterIndex::layerOf(i) == -1 && getName(i) == key) index = i;
        }
        if (index < 0) continue;
        value = loadedValue(value);
        if (globalRowSetsTheKernel(index)) {
            // A payload written before the re-read signal was kept out of the cache may hold it for such a
            // row: it names no setting, and pushed through a mode mapper it would read as the first mode.
            if (value != ParameterMapper::kUseCachedValue) setParameter(index, value);
        } else {
            // Here it is what the row reads (an effect parameter that the chosen effect lacks): kept, so a
            // saved patch reads the same after loading.
            setValue(index, value);
        }
    }
}

} // namespace corvex
