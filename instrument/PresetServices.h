// What the instrument uses of the preset library: its managers, bound to the instrument's state chunks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "instrument/state/HostState.h"

namespace corvex {

// A preset's payload goes through one of these when it is loaded or saved.
class MorvanePresetChunkInterface {
public:
    virtual ~MorvanePresetChunkInterface() = default;
    // False, with the sound left as it was, for a payload that cannot be read.
    virtual bool read(const uint8_t* data, size_t size) = 0;
    // Whether read would take the payload; changes nothing. A state made of several payloads asks this of
    // every one before it reads any.
    virtual bool check(const uint8_t* data, size_t size) = 0;
    virtual void write(std::vector<uint8_t>& out) = 0;
};

class MorvanePreset;
class MorvanePresetFilterManager;
class CorvanMultiFilterManager;

class MorvanePresetManagerListener {
public:
    virtual ~MorvanePresetManagerListener() = default;
    // Message thread, after the change was made; id kPresetLoaded follows a preset loaded through a filter
    // manager. The two values are 0; preset is the one concerned, or null for additions and deletions.
    virtual void presetManagerChanged(int messageId, int value, int value2, MorvanePreset* preset) = 0;
};

// The preset library as the instrument creates, binds and deletes it. The library's own filter managers
// load their current (or default) preset through the chunk they are bound to while they are bound.
class PresetServices {
public:
    static constexpr int kPresetLoaded = 9;

    virtual ~PresetServices() = default;
    // Makes the program and multi managers, registers the listener with the multi manager, then binds the
    // Lower, Upper and multi filter managers to their chunks, in that order.
    virtual void create(MorvanePresetChunkInterface& lower, MorvanePresetChunkInterface& upper, MorvanePresetChunkInterface& multi,
                        MorvanePresetManagerListener& listener) = 0;
    // The multi filter manager's share of the host state; null before create.
    virtual HostStateFilter* multiFilterManager() = 0;
    // The layer's current preset no longer matches what is heard (true: Lower).
    virtual void markLayerPresetModified(bool lower) = 0;
    // Filter managers go first: each unregisters from a manager that must still exist.
    virtual void destroyFilterManagers() = 0;
    virtual void destroyPresetManagers() = 0;
    // What the editor works through; null before create, and from a library that has none.
    virtual CorvanMultiFilterManager* patchFilterManager() { return nullptr; }
    virtual MorvanePresetFilterManager* programFilterManager(bool /*lower*/) { return nullptr; }
};

// A library that holds nothing: the instrument plays its initial program, and nothing is read from or
// written to the settings folder's banks. For the tools that make the factory bank, and tests of one sound.
class NoPresetServices : public PresetServices {
public:
    void create(MorvanePresetChunkInterface&, MorvanePresetChunkInterface&, MorvanePresetChunkInterface&,
                MorvanePresetManagerListener&) override {}
    HostStateFilter* multiFilterManager() override { return nullptr; }
    void markLayerPresetModified(bool) override {}
    void destroyFilterManagers() override {}
    void destroyPresetManagers() override {}
};

} // namespace corvex
