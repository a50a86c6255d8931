// corvex-fuzz-seeds OUT: writes a small seed corpus for every fuzz target into OUT/<target>/, each file made
// by the program's own writers (the instrument's chunks and host state, the preset library's files and
// projects, the settings files), so that fuzzing starts from what real files look like.
#include <cstdlib>
#include <iostream>

#include <juce_events/juce_events.h>

#include "app/StandalonePrefs.h"
#include "fuzz/FuzzSupport.h"
#include "instrument/CorvanAudioFilter.h"
#include "instrument/MidiPrefsFile.h"
#include "presets/CorvanMultiFilterManager.h"
#include "presets/FactoryBank.h"
#include "presets/MorvanePreferedPresetManager.h"
#include "presets/ProjectFile.h"
#include "presetmap/CorvanSoundmapAdapter.h"
#include "presetmap/PresetMapBuilder.h"

namespace corvex::fuzz {
namespace {

// Factory sounds that differ from one another: plain, with effects, with modulation, split and dual patches.
const juce::StringArray kPrograms{"Default", "U_1001", "U_1005", "U_1012"};
const juce::StringArray kPatches{"Default", "U_2001", "U_2006", "U_2012"};

class SeedWriter {
public:
    explicit SeedWriter(const juce::File& out) : out_(out) {}

    bool failed() const { return failed_; }

    void write(const char* target, const juce::String& name, const void* data, size_t size) {
        const juce::File file = out_.getChildFile(target).getChildFile(name);
        file.getParentDirectory().createDirectory();
        if (!file.replaceWithData(data, size)) fail(juce::String("cannot write ") + file.getFullPathName());
    }
    void write(const char* target, const juce::String& name, const std::vector<uint8_t>& bytes) {
        write(target, name, bytes.data(), bytes.size());
    }
    void copy(const char* target, const juce::File& file) {
        juce::MemoryBlock bytes;
        if (!file.loadFileAsData(bytes)) return fail("cannot read " + file.getFullPathName());
        write(target, file.getFileName(), bytes.getData(), bytes.getSize());
    }
    void fail(const juce::String& why) {
        std::cerr << "corvex-fuzz-seeds: " << why << "\n";
        failed_ = true;
    }

private:
    juce::File out_;
    bool failed_ = false;
};

const FactoryBankFile* factoryFile(const juce::String& name) {
    for (const FactoryBankFile& file : factoryBankFiles())
        if (file.name == name) return &file;
    return nullptr;
}

// Layer and patch streams of factory sounds, as the instrument writes them after loading each.
void writeChunks(SeedWriter& seeds) {
    CorvanAudioFilter& instrument = bareInstrument();
    std::vector<uint8_t> bytes;
    instrument.upperChunk().write(bytes);
    seeds.write("layer_chunk", "initial-upper", bytes);
    bytes.clear();
    instrument.multiChunk().write(bytes);
    seeds.write("patch_chunk", "initial", bytes);

    const juce::File folder = freshFolder("seeds-factory");
    for (const FactoryBankFile& file : factoryBankFiles())
        folder.getChildFile(file.name).replaceWithData(file.data, file.size);
    PresetOwner owner;
    for (const juce::String& name : kPrograms) {
        MorvanePreset program(&owner, "CorvanProgram", folder.getChildFile(name + ".cvp"));
        // The Lower layer's stream of the same sound, as a Lower preset saves it.
        if (!program.load(&instrument.lowerChunk())) return seeds.fail("factory program " + name + " does not load");
        bytes.clear();
        instrument.lowerChunk().write(bytes);
        seeds.write("layer_chunk", name + "-lower", bytes);
    }
    for (const juce::String& name : kPatches) {
        MorvanePreset patch(&owner, "CorvanMulti", folder.getChildFile(name + ".cvm"));
        if (!patch.load(&instrument.multiChunk())) return seeds.fail("factory patch " + name + " does not load");
        bytes.clear();
        instrument.multiChunk().write(bytes);
        seeds.write("patch_chunk", name, bytes);
    }
}

// The controller map a first start has, one edited on another channel, and an empty one.
void writeMidiPrefs(SeedWriter& seeds) {
    MorvaneMidiManager& midi = bareInstrument().getMidiManager();
    const juce::File folder = freshFolder("seeds-midi");
    const juce::File initial = folder.getChildFile("default-map.prefs");
    if (midi.saveToFile(initial)) seeds.copy("midi_prefs", initial);
    midi.setChannel(3);
    midi.assignController(74, 12);
    midi.assignController(1, 184);
    const juce::File edited = folder.getChildFile("channel-3.prefs");
    if (midi.saveToFile(edited)) seeds.copy("midi_prefs", edited);
    const juce::File empty = folder.getChildFile("empty-map.prefs");
    if (saveMidiPrefs(empty, MidiPrefs{}, nullptr)) seeds.copy("midi_prefs", empty);
}

// What the preferences dialog keeps for an ALSA device with a MIDI input, for a JACK one whose name is not
// ASCII, and for no device at all.
void writeStandalonePrefs(SeedWriter& seeds) {
    const juce::File folder = freshFolder("seeds-standalone");
    juce::XmlElement alsa("DEVICESETUP");
    alsa.setAttribute("deviceType", "ALSA");
    alsa.setAttribute("audioOutputDeviceName", "HDA Intel PCH, ALC892 Analog; Front output / input");
    alsa.setAttribute("audioInputDeviceName", "");
    alsa.setAttribute("audioDeviceRate", 48000.0);
    alsa.setAttribute("audioDeviceBufSize", 256);
    alsa.setAttribute("audioDeviceInChans", "0");
    alsa.setAttribute("audioDeviceOutChans", "11");
    juce::XmlElement* midiInput = alsa.createNewChildElement("MIDIINPUT");
    midiInput->setAttribute("name", "USB Keystation 49 MIDI 1");
    midiInput->setAttribute("identifier", "24-0");
    juce::XmlElement jack("DEVICESETUP");
    jack.setAttribute("deviceType", "JACK");
    jack.setAttribute("audioOutputDeviceName", juce::String::fromUTF8("Sortie \xc3\xa0 gauche"));
    jack.setAttribute("audioDeviceRate", 44100.0);
    jack.setAttribute("audioDeviceBufSize", 128);
    const std::pair<const char*, const juce::XmlElement*> states[] = {
        {"alsa-with-midi.prefs", &alsa}, {"jack-utf8-name.prefs", &jack}, {"no-device.prefs", nullptr}};
    for (const auto& [name, state] : states) {
        const juce::File file = folder.getChildFile(name);
        if (corvex::writeStandalonePrefs(file, state)) seeds.copy("standalone_prefs", file);
    }
}

void writePreferredPresets(SeedWriter& seeds) {
    const MorvaneFindFolder folder(freshFolder("seeds-preferred"), "Corvex2");
    MorvanePreferedPresetManager preferred(1, folder);
    preferred.save(0, "U_2001");
    seeds.copy("preferred_presets", preferred.getFile());
    // A gap below a slot is filled with empty slots.
    preferred.save(4, "Default");
    preferred.save(2, juce::String::fromUTF8("U_1700000000000_\xc3\xa9t\xc3\xa9"));
    seeds.write("preferred_presets", "slots-with-gap.prefs", [&] {
        juce::MemoryBlock bytes;
        preferred.getFile().loadFileAsData(bytes);
        return std::vector<uint8_t>(static_cast<const uint8_t*>(bytes.getData()),
                                    static_cast<const uint8_t*>(bytes.getData()) + bytes.getSize());
    }());
}

// The factory files as shipped, user copies written by the library, the host states of a few chosen patches
// and an exported project.
void writeLibrarySeeds(SeedWriter& seeds) {
    CorvanAudioFilter& instrument = libraryInstrument();
    CorvanMultiFilterManager& patches = *instrument.getPatchFilterManager();
    MorvanePresetManager& patchManager = *patches.getPresetManager();
    MorvanePresetManager& programManager = *patches.getUpperPrograms()->getPresetManager();

    for (const juce::String& name : {juce::String("Default.cvp"), juce::String("U_1005.cvp"),
                                     juce::String("U_2006.cvm")}) {
        const FactoryBankFile* file = factoryFile(name);
        if (file == nullptr) return seeds.fail("no factory file " + name);
        for (const char* target : {"preset_file", "bank_scan"}) seeds.write(target, name, file->data, file->size);
    }

    juce::MemoryBlock state;
    instrument.getStateInformation(state);
    seeds.write("host_state", "initial", state.getData(), state.getSize());
    for (const juce::String& name : kPatches) {
        MorvanePreset* patch = patchManager.findPreset(name);
        if (patch == nullptr) return seeds.fail("no factory patch " + name);
        patches.setCurrentPreset(patch, true);
        deliverMessages();
        instrument.getStateInformation(state);
        seeds.write("host_state", "patch-" + name, state.getData(), state.getSize());
    }
    // A filter column chosen in the browser travels with the state.
    patches.setFilterText(0, "Characteristics");
    patches.setFilterValues(0, juce::StringArray{"Bright"});
    instrument.getStateInformation(state);
    seeds.write("host_state", "filtered", state.getData(), state.getSize());

    // A user patch in project "Live" playing user copies of two programs.
    MorvanePreset* upper = programManager.duplicatePreset(programManager.findPreset("U_1001"));
    MorvanePreset* lower = programManager.duplicatePreset(programManager.findPreset("U_1005"));
    MorvanePreset* patch = patchManager.duplicatePreset(patchManager.findPreset("U_2012"));
    deliverMessages();
    if (upper == nullptr || lower == nullptr || patch == nullptr) return seeds.fail("user copies cannot be written");
    patch->setAttribute(CorvanMultiFilterManager::kUpperProgramKey, upper->getIdentifier(), true);
    patch->setAttribute(CorvanMultiFilterManager::kLowerProgramKey, lower->getIdentifier(), true);
    patch->setAttribute(CorvanMultiFilterManager::kProjectKey, "Live", true);
    if (!patch->saveAttributes()) return seeds.fail("the user patch cannot be saved");
    for (const MorvanePreset* written : {upper, patch})
        for (const char* target : {"preset_file", "bank_scan"}) seeds.copy(target, written->getFile());

    const std::pair<const char*, std::set<juce::String>> projects[] = {
        {"live.project", {patch->getIdentifier()}},
        {"factory-patches.project", {"U_2001", "U_2006"}},
        {"empty.project", {}}};
    for (const auto& [name, identifiers] : projects) {
        juce::MemoryOutputStream out;
        if (!patches.saveState(identifiers, out)) return seeds.fail(juce::String("project ") + name + " not written");
        seeds.write("project", name, out.getData(), out.getDataSize());
    }
    // The same sections as a project file packs them: the project above, and one without patches.
    const std::pair<const char*, const char*> files[] = {{"live.cve", "Live"}, {"empty.cve", "Nobody"}};
    for (const auto& [name, project] : files) {
        const std::optional<juce::MemoryBlock> file = projectfile::pack(patches, project);
        if (!file) return seeds.fail(juce::String("project file ") + name + " not written");
        seeds.write("project", name, file->getData(), file->getSize());
    }
    deliverMessages();
}

// The factory bank's map as a rebuild writes it, and a few records whose texts need escaping.
void writePresetMapCaches(SeedWriter& seeds) {
    CorvanAudioFilter& instrument = libraryInstrument();
    const MorvaneFindFolder folder(freshFolder("seeds-map"), "Corvex2");
    CorvanSoundmapAdapter adapter(*instrument.getPatchFilterManager(), instrument, folder, nullptr);
    if (!PresetMapBuilder(adapter).run()) return seeds.fail("the factory bank's map was not built");
    seeds.copy("preset_map_cache", juce::File(adapter.getCacheFilePath()));

    PresetMapRecords records(3);
    const char* texts[][2] = {{"Bass & Piano", "A. Person, Esq."}, {"100% wet", ""}, {"Fl\xc3\xbbte d'\xc3\xa9t\xc3\xa9", "Me"}};
    for (size_t n = 0; n < records.size(); ++n) {
        records[n].key = 1700000000000 + static_cast<int64_t>(n);
        records[n].type = static_cast<int32_t>(n * 5);
        records[n].x = 1023.0f / 3.0f * static_cast<float>(n);
        records[n].y = 0.1f + static_cast<float>(n);
        records[n].flagA = n == 1;
        records[n].setName(texts[n][0]);
        records[n].setAuthor(texts[n][1]);
    }
    const std::string text = formatPresetMapCache(records);
    seeds.write("preset_map_cache", "escaped-texts.dat", text.data(), text.size());
}

} // namespace
} // namespace corvex::fuzz

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: corvex-fuzz-seeds OUT\n";
        return 2;
    }
    const juce::File out = juce::File::getCurrentWorkingDirectory().getChildFile(juce::String::fromUTF8(argv[1]));
    // Seeds of a previous run may come from writers that changed since.
    out.deleteRecursively();
    corvex::fuzz::SeedWriter seeds(out);
    corvex::fuzz::writeChunks(seeds);
    corvex::fuzz::writeMidiPrefs(seeds);
    corvex::fuzz::writeStandalonePrefs(seeds);
    corvex::fuzz::writePreferredPresets(seeds);
    corvex::fuzz::writeLibrarySeeds(seeds);
    corvex::fuzz::writePresetMapCaches(seeds);
    return seeds.failed() ? 1 : 0;
}
