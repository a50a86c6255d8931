// The state a host keeps, read back by the instrument with its own preset library: each of its three sounds
// goes through the instrument's real readers, and the state is taken whole or not at all.
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <juce_events/juce_events.h>

#include "instrument/CorvanAudioFilter.h"
#include "instrument/state/ChunkStream.h"
#include "presets/CorvanMultiFilterManager.h"
#include "presets/CorvanPresetServices.h"
#include "tests/presets/PresetTestSupport.h"

namespace corvex::testing {
namespace {

constexpr int kUpperCutoff = 12;

// One chunk of a sound in a state: where its magic starts, its id and its payload's size.
struct ChunkAt {
    size_t at;
    int32_t id;
    size_t size;
};

class HostStateTest : public ::testing::Test {
protected:
    HostStateTest() {
        filter = CorvanAudioFilter::createPluginFilter(folder, std::make_unique<CorvanPresetServices>(folder));
    }

    CorvanMultiFilterManager& patches() { return *filter->getPatchFilterManager(); }
    MorvanePresetFilterManager& programs(bool lower) { return *filter->getProgramFilterManager(lower); }

    std::vector<uint8_t> state() {
        juce::MemoryBlock block;
        filter->getStateInformation(block);
        const auto* p = static_cast<const uint8_t*>(block.getData());
        return {p, p + block.getSize()};
    }
    void setState(const std::vector<uint8_t>& bytes) {
        filter->setStateInformation(bytes.data(), static_cast<int>(bytes.size()));
    }
    // A patch from the list, another program in the Lower layer, a turned knob and an LCD page.
    void play(int patch, int lowerProgram, float cutoff, float page) {
        patches().setCurrentPreset(patches().getPreset(patch), false);
        programs(true).setCurrentPreset(programs(true).getPreset(lowerProgram), false);
        filter->setParameter(kUpperCutoff, cutoff);
        filter->setLcdPageValue(page);
    }

    // Everything a state could change: the state written now, each part's current preset and its "*".
    struct Seen {
        std::vector<uint8_t> state;
        std::vector<MorvanePreset*> current;
        std::vector<bool> modified;
        bool operator==(const Seen& o) const {
            return state == o.state && current == o.current && modified == o.modified;
        }
    };
    Seen seen() {
        Seen s{state(), {}, {}};
        for (MorvanePresetFilterManager* part : {static_cast<MorvanePresetFilterManager*>(&patches()), &programs(true),
                                                 &programs(false)}) {
            s.current.push_back(part->getCurrentPreset());
            s.modified.push_back(part->getCurrentPreset()->isModified());
        }
        return s;
    }

    // The chunks of the patch's, the Lower and the Upper sound, in that order, as they lie in a state.
    static std::vector<std::vector<ChunkAt>> soundsOf(const std::vector<uint8_t>& bytes) {
        std::vector<std::vector<ChunkAt>> sounds;
        ByteReader in(bytes);
        float page = 0.0f;
        in.readFloat(page);
        for (int section = 0; section < 3; ++section) {
            const size_t start = in.position();
            std::string identifier;
            int32_t size = 0;
            in.readString(identifier);
            in.readInt32(size);
            std::vector<ChunkAt> chunks;
            for (size_t at = in.position(); at + 12 <= in.position() + static_cast<size_t>(size);) {
                chunks.push_back({at, int32At(bytes, at + 4), static_cast<size_t>(int32At(bytes, at + 8))});
                at += 12 + chunks.back().size;
            }
            sounds.push_back(chunks);
            in.seek(start);
            MorvanePresetFilterManager::StateSection skipped;
            EXPECT_TRUE(MorvanePresetFilterManager::readStateSection(in, skipped));
        }
        return sounds;
    }

    juce::ScopedJuceInitialiser_GUI juce;
    TempFolder temp;
    MorvaneFindFolder folder{temp.root(), "Corvex2"};
    std::unique_ptr<CorvanAudioFilter> filter;
};

TEST_F(HostStateTest, ADamagedStateChangesNothingAndAGoodOneIsTakenWhole) {
    ASSERT_NE(filter, nullptr);
    play(0, 3, 0.2f, 0.25f);
    const std::vector<uint8_t> saved = state();
    const Seen playing = seen();
    play(1, 5, 0.8f, 0.75f);
    programs(true).setPresetModified(programs(true).getCurrentPreset(), true, false);
    const Seen before = seen();
    for (size_t part = 0; part < 3; ++part)
        ASSERT_NE(before.current[part], playing.current[part]) << "a state that changes nothing shows nothing";

    struct Case {
        std::string what;
        std::vector<uint8_t> bytes;
    };
    std::vector<Case> cases;
    const std::vector<std::vector<ChunkAt>> sounds = soundsOf(saved);
    const char* const names[] = {"patch", "Lower", "Upper"};
    for (size_t s = 0; s < 3; ++s) {
        const std::vector<ChunkAt>& chunks = sounds[s];
        const ChunkAt* program = nullptr;
        for (const ChunkAt& c : chunks)
            if (c.id == ChunkId::kProg || c.id == ChunkId::kMult)
                program = &c;
        ASSERT_TRUE(program != nullptr && program->size >= 6) << names[s];
        ASSERT_EQ(chunks.back().id, ChunkId::kEnd) << names[s];
        const std::string name = names[s];

        // The container reads, but the kernel program refuses a block shorter than its own head.
        cases.push_back({name + ": program refused", saved});
        cases.back().bytes[program->at + 12 + 4] = 2;
        cases.back().bytes[program->at + 12 + 5] = 0;
        cases.push_back({name + ": chunk size past the end", saved});
        for (size_t i = 0; i < 4; ++i)
            cases.back().bytes[program->at + 8 + i] = i < 3 ? 0xFF : 0x7F;
        cases.push_back({name + ": bad end marker", saved});
        cases.back().bytes[chunks.back().at] ^= 0xFF;
    }
    for (const size_t cut : {size_t{4}, sounds[2].front().at + 20, saved.size() - 1}) {
        cases.push_back({"cut at " + std::to_string(cut), saved});
        cases.back().bytes.resize(cut);
    }

    for (const Case& c : cases) {
        ::testing::internal::CaptureStderr();
        setState(c.bytes);
        EXPECT_FALSE(::testing::internal::GetCapturedStderr().empty()) << c.what;
        EXPECT_TRUE(seen() == before) << c.what;
    }

    setState(saved);
    const Seen after = seen();
    EXPECT_EQ(after.current, playing.current);
    EXPECT_EQ(after.state, saved);
}

} // namespace
} // namespace corvex::testing
