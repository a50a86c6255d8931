// What every fuzz target shares: a private settings folder per process, the JUCE runtime, an instrument built
// once, and helpers that put an input where a reader expects it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include <juce_core/juce_core.h>

#include "instrument/MorvaneFindFolder.h"
#include "instrument/PresetServices.h"
#include "presets/MorvanePresetManagerInterface.h"

// The entry point libFuzzer calls, and that the replay driver calls once per corpus file.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace corvex {

class CorvanAudioFilter;

namespace fuzz {

// A folder under the system's temporary folder, made on first use and removed when the process ends
// normally. Nothing a target does writes anywhere else: the settings root points here too.
const juce::File& scratchRoot();

// A settings folder of its own below the scratch root, made empty.
juce::File freshFolder(const juce::String& name);

// Replaces the file with exactly the input's bytes (an empty input leaves an empty file).
void writeInput(const juce::File& file, const uint8_t* data, size_t size);

// Delivers what the preset managers and the instrument posted to the message thread meanwhile.
void deliverMessages();

// Renders one kernel block so that the program words queued by a read reach the kernel.
void renderBlock(CorvanAudioFilter& instrument);

// What a chunk writes now.
std::vector<uint8_t> chunkBytes(MorvanePresetChunkInterface& chunk);

// Reads the input through one of the instrument's chunks. An accepted stream is rendered, written out again
// as the next save would, then undone by reading initial back; a refused one changes nothing by contract.
void readChunk(CorvanAudioFilter& instrument, MorvanePresetChunkInterface& chunk, const std::vector<uint8_t>& initial,
               const uint8_t* data, size_t size);

// The instrument on its own settings folder, prepared to play: with no preset library, or with the real one
// over a folder where the factory bank is installed. Made on first use and kept until the process ends.
CorvanAudioFilter& bareInstrument();
CorvanAudioFilter& libraryInstrument();

// Fake chunks for the preset library: they accept any payload and write a fixed one.
struct AcceptingChunks : MorvanePresetChunkInterface {
    bool read(const uint8_t* data, size_t size) override;
    bool check(const uint8_t*, size_t) override { return true; }
    void write(std::vector<uint8_t>& out) override;
    size_t bytesRead = 0;
};

// What a preset manager answers its presets, without the manager: "Characteristics" takes several values,
// the bank keys come from the folder and are not written.
struct PresetOwner : MorvanePresetManagerInterface {
    void presetChanged(MorvanePreset*) override {}
    void presetRenamed(MorvanePreset*) override {}
    void presetSaved(MorvanePreset*) override {}
    void presetLoaded(MorvanePreset*) override {}
    void presetReverted(MorvanePreset*) override {}
    bool isAttributeMultiValued(const juce::String& key) override { return key == "Characteristics"; }
    bool isAttributeStored(const juce::String& key) override { return key != "Fact_User" && key != "Demo"; }
};

struct NullPresetListener : MorvanePresetManagerListener {
    void presetManagerChanged(int, int, int, MorvanePreset*) override {}
};

} // namespace fuzz
} // namespace corvex
