// The insert-effect selectors: which effect each value chooses, how the voice path is rewired in the
// program and the kernel, what the chain's rows are called and read after a change, and a render.
#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <string>
#include <tuple>
#include <vector>

#include "instrument/params/EffectSelectorMapper.h"
#include "tests/instrument/core/EffectChainRig.h"
#include "tests/support/SignalChecks.h"

namespace corvex {
namespace {

using testing::Link;
using namespace testing; // the effect choices

class EffectSelector : public testing::EffectChainRig {
protected:
    // Routes no mapper uses, from the keyboard into the amplifier under kinds the mappers never take.
    void fillPartOneTo(int count) {
        for (int kind = 4; kind < 16 && programList(1).count() < count; ++kind)
            for (int port = 0; port < 7 && programList(1).count() < count; ++port)
                program->connect(1, 1, 0, kind, 8, port, 0, 0);
        ASSERT_EQ(programList(1).count(), count);
        deliver();
    }
};

// The chain's two ends and its effect modules' slots by choice (ring modulator, chorus, distortion,
// EQ, phaser), as the voice path lays them out.
struct ChainLayout {
    Link direct;
    int slots[6];
};
constexpr ChainLayout kLayouts[2] = {
    {{9, 0, 4, 0}, {-1, 12, 14, 16, 18, 10}},
    {{5, 0, 8, 0}, {-1, 13, 15, 17, 19, 11}},
};

bool before(const Link& a, const Link& b) {
    return std::tie(a.sourceSlot, a.sourcePort, a.destinationSlot, a.destinationPort) <
           std::tie(b.sourceSlot, b.sourcePort, b.destinationSlot, b.destinationPort);
}

// Every kind-0 link of a list that leaves the chain's source end, enters its destination end, or
// touches the audio ports of one of the chain's effect modules (inputs 0 and 1, any output).
std::vector<Link> chainLinks(const ConnectionManager& m, int chain) {
    const ChainLayout& c = kLayouts[chain];
    const auto effectSlot = [&](int slot) { return std::count(c.slots + 1, c.slots + 6, slot) > 0; };
    std::vector<Link> links;
    for (int i = 0; i < m.count(); ++i) {
        const ConnectionRecord& r = m.record(i);
        if (r.kind() != 0) continue;
        const Link l{r.sourceSlot(), r.sourcePort(), r.destinationSlot(), r.destinationPort()};
        const bool fromSource = l.sourceSlot == c.direct.sourceSlot && l.sourcePort == c.direct.sourcePort;
        const bool intoDestination =
            l.destinationSlot == c.direct.destinationSlot && l.destinationPort == c.direct.destinationPort;
        const bool audioIntoEffect = effectSlot(l.destinationSlot) && l.destinationPort <= 1;
        if (fromSource || intoDestination || audioIntoEffect || effectSlot(l.sourceSlot)) links.push_back(l);
    }
    std::sort(links.begin(), links.end(), before);
    return links;
}

// What a chain must hold with each choice, written out per chain.
std::vector<Link> expectedLinks(int chain, int choice) {
    const ChainLayout& c = kLayouts[chain];
    std::vector<Link> links;
    if (choice == kNoEffect) {
        links = {c.direct};
    } else {
        const int slot = c.slots[choice];
        const int input = choice == kRingMod ? 1 : 0;
        links = {{c.direct.sourceSlot, c.direct.sourcePort, slot, input},
                 {slot, 0, c.direct.destinationSlot, c.direct.destinationPort}};
        if (choice == kRingMod) links.push_back({0, 0, slot, 0});
    }
    std::sort(links.begin(), links.end(), before);
    return links;
}

std::string describe(const std::vector<Link>& links) {
    std::string s;
    for (const Link& l : links)
        s += "(" + std::to_string(l.sourceSlot) + ":" + std::to_string(l.sourcePort) + "->" +
             std::to_string(l.destinationSlot) + ":" + std::to_string(l.destinationPort) + ") ";
    return s;
}

TEST_F(EffectSelector, ValuesAreClampedToTheSixChoices) {
    struct Case {
        float value;
        int choice;
    };
    for (const Case c : {Case{1.0f, kRingMod}, Case{0.0f, kNoEffect}, Case{0.99f, kRingMod}, Case{0.5f, kEq},
                         Case{0.17f, kChorus}, Case{0.16f, kNoEffect}, Case{1.5f, kRingMod}, Case{-0.5f, kNoEffect},
                         Case{4.0f, kRingMod}, Case{-3.0f, kNoEffect}, Case{1e30f, kRingMod},
                         Case{-1e30f, kNoEffect}, Case{0.34f, kDistortion}, Case{0.7f, kPhaser}}) {
        table->setParameter(249, c.value);
        EXPECT_EQ(chainLinks(programList(1), 0), expectedLinks(0, c.choice)) << c.value;
        EXPECT_FLOAT_EQ(table->mapper(249)->getValue(249), (c.choice + 0.5f) / 6.0f) << c.value;
        EXPECT_EQ(static_cast<EffectSelectorMapper*>(table->mapper(249))->currentChoice(), c.choice) << c.value;
    }
}

TEST_F(EffectSelector, ChainIsRewiredFromEveryChoiceToEveryOther) {
    for (int chain = 0; chain < 2; ++chain) {
        const std::vector<Link> otherChain = chainLinks(programList(1), 1 - chain);
        for (int from = 0; from < 6; ++from) {
            for (int to = 0; to < 6; ++to) {
                SCOPED_TRACE("chain " + std::to_string(chain) + " from " + std::to_string(from) + " to " +
                             std::to_string(to));
                choose(from, chain);
                choose(to, chain);
                const std::vector<Link> links = chainLinks(programList(1), chain);
                EXPECT_EQ(links, expectedLinks(chain, to)) << describe(links);
                deliver();
                const std::vector<Link> kernelLinks = chainLinks(kernelList(1), chain);
                EXPECT_EQ(kernelLinks, expectedLinks(chain, to)) << describe(kernelLinks);
                EXPECT_EQ(records(kernelList(1)), records(programList(1)));
            }
        }
        EXPECT_EQ(chainLinks(programList(1), 1 - chain), otherChain) << "the other chain stays as it was";
        choose(kNoEffect, chain);
    }
}

TEST_F(EffectSelector, ChoosingTheEffectAlreadyChosenSendsNothing) {
    // The initial program's chain is direct: "No Effect" is already chosen.
    table->setParameter(249, 0.1f);
    EXPECT_EQ(posted(), 0);
    EXPECT_TRUE(listener.heard.empty());

    choose(kEq);
    deliver();
    table->setValue(49, 0.3f); // a row of the EQ, as the editor left it
    listener.heard.clear();
    for (float sameStep : {0.5f, 0.52f, 0.66f}) {
        table->setParameter(249, sameStep);
        EXPECT_EQ(posted(), 0) << sameStep;
    }
    EXPECT_TRUE(listener.heard.empty()) << "no row is marked for reading again";
    EXPECT_FLOAT_EQ(table->getCachedValue(49), 0.3f);

    choose(kRingMod);
    deliver();
    choose(kRingMod);
    EXPECT_EQ(posted(), 0) << "the ring modulator's extra input is not made twice";
}

TEST_F(EffectSelector, ANewEffectAsksForEveryRowOfItsChainToBeReadAgain) {
    table->setValue(49, 0.3f);
    table->setValue(71, 0.6f); // chain 2
    listener.heard.clear();
    choose(kChorus);
    std::vector<int> marked;
    for (const auto& [index, value] : listener.heard) {
        EXPECT_EQ(value, -1.0f) << index;
        marked.push_back(index);
    }
    std::vector<int> chainRows;
    for (int i = 48; i <= 69; ++i) chainRows.push_back(i);
    for (int i = 249; i <= 343; ++i) chainRows.push_back(i);
    EXPECT_EQ(marked, chainRows) << "block A first, then block C, each in order";
    EXPECT_EQ(table->getCachedValue(49), -1.0f);
    EXPECT_FLOAT_EQ(table->getCachedValue(249), choiceValue(kChorus)) << "the selector row keeps the value set";
    EXPECT_FLOAT_EQ(table->getCachedValue(71), 0.6f) << "the other chain is not touched";
    // What the row now reads comes from the chorus module's block (word 8 of slot 12).
    EXPECT_FLOAT_EQ(table->getParameter(49), word(1, 12, 8) / 16384.0f);
}

TEST_F(EffectSelector, NoEffectLeavesEveryChainRowWithoutValueOrName) {
    for (int chain = 0; chain < 2; ++chain) {
        for (int layer = 0; layer < 2; ++layer) {
            choose(kPhaser, chain, layer);
            choose(kNoEffect, chain, layer);
            std::vector<int> rows;
            for (int i = 48; i <= 69; ++i) rows.push_back(row(i, chain, layer));
            for (int i = 250; i <= 343; ++i) rows.push_back(row(i, chain, layer));
            for (int r : rows) {
                ParameterMapper* m = table->mapper(r);
                ASSERT_NE(m, nullptr) << r;
                EXPECT_EQ(m->getValue(r), -1.0f) << r;
                EXPECT_EQ(table->getParameter(r), -1.0f) << r << ": the cache says to read it again";
                EXPECT_EQ(table->getLongName(r), "") << r;
                EXPECT_EQ(table->getText(r), "") << r;
                EXPECT_TRUE(table->isDiscrete(r)) << r;
            }
            const int selector = row(249, chain, layer);
            EXPECT_EQ(table->getLongName(selector), "Effect Selector");
            EXPECT_FLOAT_EQ(table->getParameter(selector), 0.5f / 6.0f);
        }
    }
}

TEST_F(EffectSelector, KeysNameTheChainRowsWhateverTheEffect) {
    struct Case {
        int index;
        const char* key;
    };
    constexpr Case kKeys[] = {
        {48, "UEf1DW"},    {49, "UEf1Pr1"},   {50, "UEf1Md1"},   {57, "UEf1Pr5"},   {67, "UEf1Pr10"},
        {68, "UEf1Md10"},  {69, "UEf1Out"},   {249, "UEf1Typ"},  {250, "UEf1N  1"}, {259, "UEf1N 10"},
        {343, "UEf1N 94"}, {70, "UEf2DW"},    {71, "UEf2Pr1"},   {91, "UEf2Out"},   {344, "UEf2Typ"},
        {345, "UEf2N  1"}, {438, "UEf2N 94"}, {140, "LEf1DW"},   {161, "LEf1Out"},  {610, "LEf1Typ"},
        {704, "LEf1N 94"}, {162, "LEf2DW"},   {183, "LEf2Out"},  {705, "LEf2Typ"},  {799, "LEf2N 94"},
    };
    for (int choice : {kNoEffect, kChorus, kRingMod}) {
        for (int chain = 0; chain < 2; ++chain)
            for (int layer = 0; layer < 2; ++layer) choose(choice, chain, layer);
        for (const Case& c : kKeys) EXPECT_EQ(table->getName(c.index), c.key) << c.index << " with " << choice;
    }
    // One selector per chain and layer, at all 117 of its rows.
    struct Span {
        int first, last, selector;
    };
    for (const Span s : {Span{48, 69, 249}, Span{70, 91, 344}, Span{140, 161, 610}, Span{162, 183, 705}}) {
        for (int i = s.first; i <= s.last; ++i) EXPECT_EQ(table->mapper(i), table->mapper(s.selector)) << i;
        for (int i = s.selector; i <= s.selector + 94; ++i) EXPECT_EQ(table->mapper(i), table->mapper(s.selector)) << i;
    }
    EXPECT_NE(table->mapper(249), table->mapper(344));
    EXPECT_NE(table->mapper(249), table->mapper(610));
    EXPECT_NE(table->mapper(344), table->mapper(705));
    EXPECT_NE(table->mapper(439), table->mapper(343)) << "439 belongs to another family";
}

TEST_F(EffectSelector, SelectorFollowsTheWiringOfALoadedProgram) {
    // A program that arrives with the EQ in chain 1, as a stream read would leave it.
    program->disconnect(1, 9, 0, 0, 4, 0);
    program->connect(1, 16, 0, 0, 4, 0, 16384, 0);
    program->connect(1, 9, 0, 0, 16, 0, 16384, 0);
    EXPECT_EQ(table->getLongName(49), "") << "still the choice the selector made last";
    EXPECT_FLOAT_EQ(table->getParameter(249), 3.5f / 6.0f);
    EXPECT_EQ(table->getLongName(49), "EQ LF shelf cutoff");
    // Half a module's wiring is no choice at all.
    program->disconnect(1, 16, 0, 0, 4, 0);
    EXPECT_FLOAT_EQ(table->getParameter(249), 0.0f);
    EXPECT_EQ(table->getLongName(49), "");
    deliver();
    choose(kDistortion);
    EXPECT_EQ(chainLinks(programList(1), 0), expectedLinks(0, kDistortion))
        << "the left-over half is removed with the choice it belonged to: "
        << describe(chainLinks(programList(1), 0));
}

// The kernel program checks every route against the slot table and the list's room, and posts only
// what it recorded; the selector goes through it, so the two lists never part.
TEST_F(EffectSelector, ConnectionTheKernelWouldRefuseIsRefusedOnBothSides) {
    // Slot 14 has four inputs: a choice that names input 7 cannot be wired.
    ModuleSelectorMapper selector(*program, 1, {9, 0}, {4, 0}, {{-1, 0, 0}, {14, 7, 0}});
    selector.setValue(0, 0.75f);
    EXPECT_FALSE(program->findConnection(1, 9, 0, 0, 14, 7) >= 0);
    EXPECT_TRUE(has(1, {14, 0, 4, 0}));
    EXPECT_FLOAT_EQ(selector.getValue(0), 0.0f) << "neither choice is whole";
    deliver();
    EXPECT_EQ(records(kernelList(1)), records(programList(1)));

    // A full list: the chorus gets its output link in the record the direct link frees, and no more.
    build();
    fillPartOneTo(kMaxConnections);
    choose(kChorus);
    EXPECT_EQ(programList(1).count(), kMaxConnections);
    EXPECT_FALSE(has(1, {9, 0, 12, 0}));
    EXPECT_FLOAT_EQ(table->getParameter(249), 0.0f) << "no choice is whole";
    deliver();
    EXPECT_EQ(records(kernelList(1)), records(programList(1)));
    // The half-wired chorus is taken out, so the direct link finds its record again.
    choose(kNoEffect);
    EXPECT_EQ(chainLinks(programList(1), 0), expectedLinks(0, kNoEffect)) << describe(chainLinks(programList(1), 0));
    deliver();
    EXPECT_EQ(records(kernelList(1)), records(programList(1)));

    // A modulation source with no room left.
    build();
    choose(kDistortion);
    fillPartOneTo(kMaxConnections);
    table->setValue(50, 0.5f);
    table->setParameter(280, sourceValue(6));
    EXPECT_FALSE(has(1, {29, 0, 14, 2}));
    EXPECT_FLOAT_EQ(table->getParameter(280), 0.0f);
    EXPECT_FLOAT_EQ(table->getParameter(50), 0.5f) << "no route: the cached amount stands";
    deliver();
    EXPECT_EQ(records(kernelList(1)), records(programList(1)));
}

TEST_F(EffectSelector, LowerRowsActOnPartTwo) {
    const std::vector<ConnectionRecord> upperBefore = records(programList(1));
    table->setParameter(705, choiceValue(kPhaser)); // Lower, chain 2
    table->setParameter(610, choiceValue(kDistortion)); // Lower, chain 1
    EXPECT_EQ(chainLinks(programList(2), 1), expectedLinks(1, kPhaser));
    EXPECT_EQ(chainLinks(programList(2), 0), expectedLinks(0, kDistortion));
    table->setParameter(162, 0.25f); // Lower chain 2 dry/wet: phaser word 13
    table->setParameter(141, 0.5f);  // Lower chain 1 drive: distortion word 8
    EXPECT_EQ(word(2, 19, 13), 4096);
    EXPECT_EQ(word(2, 14, 8), 8192);
    EXPECT_EQ(table->getLongName(162), "Phaser Dry/Wet");
    EXPECT_EQ(table->getLongName(141), "Distortion Drive");
    EXPECT_EQ(table->getLongName(70), "") << "the Upper chain 2 has no effect";
    EXPECT_EQ(records(programList(1)), upperBefore) << "part 1 untouched";
    EXPECT_NE(word(1, 19, 13), 4096);
    EXPECT_FLOAT_EQ(table->mapper(705)->getValue(344), table->mapper(705)->getValue(705))
        << "any index of the chain folds to the same row";
}

TEST_F(EffectSelector, SecondChainRowsAreFirstChainRowsThroughFoldEffectIndex) {
    const int selector2 = ParameterIndex::foldEffectIndex(1, 249);
    ASSERT_EQ(selector2, 344);
    table->setParameter(selector2, choiceValue(kEq));
    EXPECT_EQ(chainLinks(programList(1), 1), expectedLinks(1, kEq));
    EXPECT_EQ(chainLinks(programList(1), 0), expectedLinks(0, kNoEffect));
    table->setParameter(ParameterIndex::foldEffectIndex(1, 49), 0.25f); // EQ LF shelf cutoff: word 7
    EXPECT_EQ(word(1, 17, 7), 4096) << "chain 2's EQ is slot 17";
    EXPECT_NE(word(1, 16, 7), 4096);
    table->setParameter(ParameterIndex::foldEffectIndex(1, 334), 0.9f); // EQ bypass: word 24
    EXPECT_EQ(word(1, 17, 24), 1);
    EXPECT_EQ(table->getLongName(ParameterIndex::foldEffectIndex(1, 300)), "EQ LF shelf cutoff Modulation Source");
    // The Lower chain 2 through the same fold and the layer's offset.
    const int lowerSelector2 = ParameterIndex::unfold(ParameterIndex::foldEffectIndex(1, 249), 1);
    table->setParameter(lowerSelector2, choiceValue(kChorus));
    EXPECT_EQ(chainLinks(programList(2), 1), expectedLinks(1, kChorus));
    table->setParameter(ParameterIndex::unfold(ParameterIndex::foldEffectIndex(1, 69), 1), 0.5f);
    EXPECT_EQ(word(2, 13, 18), 8192) << "chain 2's chorus output";
}

// Whatever an effect module does with the chain's signal, choosing it must leave the output finite and
// clean; the direct chain is the reference that the note plays at all.
TEST(EffectSelectorSound, EveryChoiceRendersFiniteOutput) {
    for (int chain = 0; chain < 2; ++chain) {
        for (int choice = 0; choice < 6; ++choice) {
            SCOPED_TRACE("chain " + std::to_string(chain) + " choice " + std::to_string(choice));
            testing::ParameterRig rig;
            rig.build();
            rig.table->setParameter(chain == 0 ? 249 : 344, ParameterMapping::stepToValue(choice, 6));
            rig.table->setParameter(chain == 0 ? 49 : 71, 0.8f);
            float left[32], right[32];
            float* outs[2] = {left, right};
            rig.kernel->processBlock(2, outs, 32);
            rig.kernel->sendMidiNote(0x90, 60, 127);
            std::vector<float> take;
            int bad = 0;
            for (int i = 0; i < 100; ++i) {
                rig.kernel->processBlock(2, outs, 32);
                bad += testing::badSamples(left, 32) + testing::badSamples(right, 32);
                take.insert(take.end(), left, left + 32);
            }
            EXPECT_EQ(bad, 0);
            if (choice == kNoEffect) {
                EXPECT_GT(testing::rms(take), 0.01) << "the direct chain plays";
            }
        }
    }
}

} // namespace
} // namespace corvex
