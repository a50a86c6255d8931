// Both master-effect frames in front of the real instrument, through the editor that folds layer widgets: after
// every change of a slot's type, from the instrument or from the list, the frame shows that type's editor and
// every widget of it shows what the instrument holds for its row.
#include <gtest/gtest.h>

#include "editor/LayerFoldingEditor.h"
#include "editor/effects/CorvanMultiEffectsPanel.h"
#include "editor/effects/EffectTypeSelector.h"
#include "instrument/CorvanAudioFilter.h"
#include "presets/CorvanPresetServices.h"
#include "tests/editor/effects/MasterEffectTestSupport.h"
#include "tests/presets/ManagerTestSupport.h"

namespace corvex {
namespace {

namespace P = ParameterIndex;
using testing::deliverPostedMessages;

class MasterEffectInstrumentTest : public ::testing::Test {
protected:
    MasterEffectInstrumentTest() {
        instrument = CorvanAudioFilter::createPluginFilter(folder, std::make_unique<CorvanPresetServices>(folder));
        instrument->prepareToPlay(44100.0, 64);
        editor = std::make_unique<LayerFoldingEditor>(instrument.get(), folder);
        instrument->setActiveEditor(editor.get());
        for (int n = 0; n < 2; ++n) {
            frames[n] = std::make_unique<CorvanMultiEffectsPanel>(editor.get(), effecttypes::masterEffectNames(), n);
            frames[n]->setListBounds(35, 120);
            frames[n]->setSize(756, 185);
        }
        deliverPostedMessages();
    }
    ~MasterEffectInstrumentTest() override {
        for (auto& frame : frames) frame.reset();
        instrument->setActiveEditor(nullptr);
        editor.reset();
        instrument.reset();
        root.deleteRecursively();
    }

    // Echoes go out as posted messages, and the rows read again after a new type as more of them.
    static void settle() {
        deliverPostedMessages();
        deliverPostedMessages();
    }

    void expectShows(int n, int type) {
        CorvanMultiEffectsPanel& frame = *frames[n];
        EXPECT_EQ(effecttypes::typeOfValue(instrument->getParameter(P::kMasterEffectType[n]), 5), type);
        EXPECT_EQ(frame.getList().getSelectedRow(), type);
        EXPECT_EQ(frame.getVisibleEditor(), frame.getEditor(type));
        if (frame.getVisibleEditor() == nullptr) return;
        for (const testing::BoundWidget& w : testing::boundWidgetsOf(*frame.getVisibleEditor())) {
            const float value = editor->getParameter(w.index);
            EXPECT_TRUE(testing::showsValue(w, value));
            if (w.kind == 'K') {
                EXPECT_TRUE(value >= 0.0f && value <= 1.0f) << w.index << " reads " << value;
            }
        }
    }

    juce::File root = juce::File::createTempFile("master-effect-instrument");
    MorvaneFindFolder folder{root, "Corvex2"};
    std::unique_ptr<CorvanAudioFilter> instrument;
    std::unique_ptr<LayerFoldingEditor> editor;
    std::unique_ptr<CorvanMultiEffectsPanel> frames[2];
};

TEST_F(MasterEffectInstrumentTest, EveryWidgetShowsTheInstrumentsValueAfterTypeChanges) {
    for (int n = 0; n < 2; ++n)
        expectShows(n, effecttypes::typeOfValue(instrument->getParameter(P::kMasterEffectType[n]), 5));
    const struct {
        int n, type;
        bool fromList;
    } steps[] = {{0, 1, false}, {0, 2, false}, {1, 3, false}, {1, 4, true}, {0, 3, true},
                 {0, 0, false}, {1, 2, true},  {0, 4, false}, {1, 1, false}, {1, 0, true}};
    for (const auto& s : steps) {
        SCOPED_TRACE(::testing::Message() << "slot " << s.n + 1 << ", type " << s.type
                                          << (s.fromList ? " from the list" : " from the instrument"));
        if (s.fromList)
            frames[s.n]->getList().selectRow(s.type);
        else
            instrument->setParameter(P::kMasterEffectType[s.n], effecttypes::valueOfType(s.type, 5));
        settle();
        expectShows(s.n, s.type);
        // An edit of a row of the new type reaches the instrument and comes back to the widget.
        if (s.type > 0) {
            const int dryWet = P::masterEffectIndex(P::kMasterFxDryWet, s.n);
            auto* knob = dynamic_cast<juce::Slider*>(testing::boundWidgetsOf(*frames[s.n]->getVisibleEditor())[0].widget);
            knob->setValue(0.625, juce::sendNotificationSync);
            settle();
            EXPECT_NEAR(instrument->getParameter(dryWet), 0.625f, 1e-3f);
            EXPECT_NEAR(knob->getValue(), 0.625, 1e-3);
        }
    }
}

} // namespace
} // namespace corvex
