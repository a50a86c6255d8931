// A library of 2,000 programs and 1,000 patches: the scan of the banks (headers only), patches filtered through
// their programs, and a unique name among 1,000 names of one family.
#include <benchmark/benchmark.h>

#include <map>
#include <random>
#include <vector>

#include <juce_events/juce_events.h>

#include "presets/CorvanMultiManager.h"
#include "presets/PresetFileFormat.h"

namespace {

using corvex::CorvanMultiManager;
using corvex::CorvanProgramManager;

constexpr int kPrograms = 2000;
constexpr int kPatches = 1000;
constexpr int kBassPrograms = 1000; // named "Bass", "Bass_2" ... "Bass_1000"
constexpr size_t kPayloadBytes = 2048;

juce::String programId(int i) { return "U_" + juce::String(juce::int64(1700000000000) + i); }

void writePreset(const juce::File& file, const juce::String& typeName, const juce::String& id, const juce::String& name,
                 const corvex::presetfile::Attributes& attributes, std::mt19937& random) {
    const juce::MemoryBlock header = corvex::presetfile::buildHeaderText(typeName, id, name, attributes, {});
    // A payload that does not compress, as a packed chunk stream; flags 0 so the bytes are the payload itself.
    std::vector<uint8_t> tail(4 + kPayloadBytes, 0);
    for (size_t i = 4; i < tail.size(); ++i)
        tail[i] = static_cast<uint8_t>(random());
    const juce::MemoryBlock bytes = corvex::presetfile::buildFile(header, tail.data(), tail.size());
    file.getParentDirectory().createDirectory();
    file.replaceWithData(bytes.getData(), bytes.getSize());
}

// Written once per run into a temporary folder, half of each kind in the factory bank.
class Library {
public:
    static Library& get() {
        static Library library;
        return library;
    }
    const corvex::MorvaneFindFolder& folder() const { return folder_; }
    ~Library() { root_.deleteRecursively(); }

private:
    Library() : root_(juce::File::createTempFile("preset-bench")), folder_(root_, "Corvex2") {
        juce::MessageManager::getInstance();
        std::mt19937 random(19);
        const juce::StringArray& types = CorvanProgramManager::typeValues();
        const juce::StringArray& characteristics = CorvanProgramManager::characteristicValues();
        const juce::File bank = folder_.getSettingsFolder();
        for (int i = 0; i < kPrograms; ++i) {
            const juce::String name = i == 0 ? juce::String("Bass")
                                      : i < kBassPrograms ? "Bass_" + juce::String(i + 1)
                                                          : "Prog " + juce::String(i);
            corvex::presetfile::Attributes attributes{{"Type", types[int(random() % 12)]}};
            for (int c = 0, count = 1 + int(random() % 3); c < count; ++c)
                attributes.emplace("Characteristics", characteristics[int(random() % 18)]);
            const juce::String folder = i % 2 == 0 ? "Factory/Programs" : "User";
            writePreset(bank.getChildFile(folder).getChildFile(programId(i) + ".cvp"), "CorvanProgram", programId(i),
                        name, attributes, random);
        }
        const char* modes[] = {"Whole", "Dual", "Split"};
        for (int i = 0; i < kPatches; ++i) {
            const juce::String id = "U_" + juce::String(juce::int64(1800000000000) + i);
            corvex::presetfile::Attributes attributes{
                {"Program1", programId(int(random() % kPrograms))},
                {"Program2", programId(int(random() % kPrograms))},
                {"Mode", modes[random() % 3]},
                {"Project", "Set " + juce::String(i / 10)},
            };
            const juce::String folder = i % 2 == 0 ? "Factory/Patches" : "User/Live";
            writePreset(bank.getChildFile(folder).getChildFile(id + ".cvm"), "CorvanMulti", id,
                        "Patch " + juce::String(i), attributes, random);
        }
    }

    juce::File root_;
    corvex::MorvaneFindFolder folder_;
};

// Exposes the dirty mark that an edited program sets, without a message to pump.
struct EditablePrograms : CorvanProgramManager {
    using CorvanProgramManager::CorvanProgramManager;
    void touch() { markIndexDirty(); }
};

void BM_ScanLibrary(benchmark::State& state) {
    const corvex::MorvaneFindFolder& folder = Library::get().folder();
    size_t found = 0;
    for (auto _ : state) {
        CorvanProgramManager programs(folder);
        CorvanMultiManager patches(folder, programs);
        found = programs.getPresets().size() + patches.getPresets().size();
    }
    state.counters["presets"] = static_cast<double>(found);
}
BENCHMARK(BM_ScanLibrary)->Unit(benchmark::kMillisecond);

// range(0): 1 when a program was edited before each query, so that both indices are rebuilt.
void BM_FilterPatchesThroughPrograms(benchmark::State& state) {
    EditablePrograms programs(Library::get().folder());
    CorvanMultiManager patches(Library::get().folder(), programs);
    const bool edited = state.range(0) != 0;
    size_t found = 0;
    for (auto _ : state) {
        if (edited)
            programs.touch();
        std::set<juce::String> names;
        patches.findPresetsWithAttribute("Type", "Bass", names);
        patches.findPresetsWithAttribute("Characteristics", "Dark", names);
        found = names.size();
        benchmark::DoNotOptimize(names);
    }
    state.counters["patches"] = static_cast<double>(found);
}
BENCHMARK(BM_FilterPatchesThroughPrograms)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_MakeUniqueNameAmongABassFamily(benchmark::State& state) {
    CorvanProgramManager programs(Library::get().folder());
    juce::String name;
    for (auto _ : state) {
        name = programs.makeUniqueName("Bass");
        benchmark::DoNotOptimize(name);
    }
    state.SetLabel(name.toStdString());
}
BENCHMARK(BM_MakeUniqueNameAmongABassFamily)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
