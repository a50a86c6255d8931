// What every fuzz target shares: a private settings folder per process, the JUCE runtime, an instrument built
// once, and helpers that put an input where a reader expects it.
#include "fuzz/FuzzSupport.h"

#include <unistd.h>

#include <cstdlib>

#include <juce_events/juce_events.h>

#include "instrument/CorvanAudioFilter.h"
#include "presets/CorvanPresetServices.h"

namespace corvex::fuzz {

namespace {

constexpr double kSampleRate = 44100.0;
constexpr int kBlock = 32;

// Writes are synced to disk and folders made and removed on every input: a folder in memory keeps the disk
// out of the loop. TMPDIR, when set, is taken as it is.
juce::File scratchParent() {
    const juce::File memory("/dev/shm");
    if (std::getenv("TMPDIR") == nullptr && memory.isDirectory() && memory.hasWriteAccess()) return memory;
    return juce::File::getSpecialLocation(juce::File::tempDirectory);
}

// Built on first use, from the thread that runs the inputs, which JUCE then takes as its message thread.
// Torn down in order: the instruments first, then the folder, then JUCE.
struct Process {
    // Named by the process: CTest replays several targets at once, and a folder a crashed run left behind
    // under the same number is stale.
    Process() : root(scratchParent().getChildFile("corvex-fuzz-" + juce::String(static_cast<int>(getpid())))) {
        root.deleteRecursively();
        root.createDirectory();
        // Anything that asks for the user's settings folder instead of the one it was given lands here.
        setenv("XDG_CONFIG_HOME", root.getChildFile("config").getFullPathName().toRawUTF8(), 1);
    }
    ~Process() {
        bare.reset();
        library.reset();
        deliverMessages();
        bareFolder.reset();
        libraryFolder.reset();
        root.deleteRecursively();
    }

    juce::File root;
    juce::ScopedJuceInitialiser_GUI juce;
    std::unique_ptr<MorvaneFindFolder> bareFolder;
    std::unique_ptr<MorvaneFindFolder> libraryFolder;
    std::unique_ptr<CorvanAudioFilter> bare;
    std::unique_ptr<CorvanAudioFilter> library;
};

Process* current = nullptr;

void shutdown() {
    delete current;
    current = nullptr;
}

// Exit handlers run in reverse order of registration, static objects' destructors among them: registered
// again after each part is made, the shutdown runs before JUCE's own statics that the part brought up go.
void shutdownAtExit() { std::atexit(shutdown); }

Process& process() {
    if (current == nullptr) {
        current = new Process;
        shutdownAtExit();
    }
    return *current;
}

std::unique_ptr<CorvanAudioFilter> prepared(std::unique_ptr<CorvanAudioFilter> instrument) {
    if (instrument == nullptr) {
        // Nothing can be fuzzed without it, and every input would look accepted.
        std::abort();
    }
    instrument->prepareToPlay(kSampleRate, kBlock);
    renderBlock(*instrument);
    deliverMessages();
    return instrument;
}

} // namespace

const juce::File& scratchRoot() { return process().root; }

juce::File freshFolder(const juce::String& name) {
    const juce::File folder = scratchRoot().getChildFile(name);
    folder.deleteRecursively();
    folder.createDirectory();
    return folder;
}

void writeInput(const juce::File& file, const uint8_t* data, size_t size) {
    file.getParentDirectory().createDirectory();
    juce::FileOutputStream out(file);
    if (!out.openedOk()) std::abort();
    out.setPosition(0);
    out.truncate();
    if (size > 0) out.write(data, size);
    out.flush();
    if (out.getStatus().failed()) std::abort();
}

void deliverMessages() {
    juce::MessageManager* messages = juce::MessageManager::getInstanceWithoutCreating();
    if (messages == nullptr) return;
    // Messages are delivered in order, so the marker arrives after everything posted before it.
    bool reached = false;
    juce::MessageManager::callAsync([&reached] { reached = true; });
    while (!reached)
        messages->runDispatchLoopUntil(1);
}

void renderBlock(CorvanAudioFilter& instrument) {
    float left[kBlock] = {}, right[kBlock] = {};
    float* channels[2] = {left, right};
    juce::MidiBuffer none;
    instrument.processBlock(channels, 2, kBlock, false, none);
}

std::vector<uint8_t> chunkBytes(MorvanePresetChunkInterface& chunk) {
    std::vector<uint8_t> bytes;
    chunk.write(bytes);
    return bytes;
}

void readChunk(CorvanAudioFilter& instrument, MorvanePresetChunkInterface& chunk, const std::vector<uint8_t>& initial,
               const uint8_t* data, size_t size) {
    if (chunk.read(data, size)) {
        renderBlock(instrument);
        chunkBytes(chunk);
        chunk.read(initial.data(), initial.size());
    }
    renderBlock(instrument);
}

CorvanAudioFilter& bareInstrument() {
    Process& p = process();
    if (p.bare == nullptr) {
        p.bareFolder = std::make_unique<MorvaneFindFolder>(freshFolder("bare"), "Corvex2");
        p.bare = prepared(CorvanAudioFilter::createPluginFilter(*p.bareFolder, std::make_unique<NoPresetServices>()));
        shutdownAtExit();
    }
    return *p.bare;
}

CorvanAudioFilter& libraryInstrument() {
    Process& p = process();
    if (p.library == nullptr) {
        p.libraryFolder = std::make_unique<MorvaneFindFolder>(freshFolder("library"), "Corvex2");
        p.library = prepared(CorvanAudioFilter::createPluginFilter(
            *p.libraryFolder, std::make_unique<CorvanPresetServices>(*p.libraryFolder)));
        shutdownAtExit();
    }
    return *p.library;
}

bool AcceptingChunks::read(const uint8_t*, size_t size) {
    bytesRead += size;
    return true;
}

void AcceptingChunks::write(std::vector<uint8_t>& out) {
    static const uint8_t kSound[] = {'s', 'o', 'u', 'n', 'd'};
    out.insert(out.end(), std::begin(kSound), std::end(kSound));
}

} // namespace corvex::fuzz
