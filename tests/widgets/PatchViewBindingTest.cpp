// The patches bound to an editor: the echoes they hear and the layer edit they ask for.
#include <gtest/gtest.h>

#include <vector>

#include "tests/support/FakeGui.h"
#include "instrument/params/ParameterIndex.h"
#include "widgets/MVPatchViewBinding.h"

namespace corvex {
namespace {

struct RecordingPatches : PatchViewListener {
    std::vector<float> keyModes, shownLayers;
    LayerSwitch* layerSwitch = nullptr;
    void keyModeChanged(float value) override { keyModes.push_back(value); }
    void shownLayerChanged(float value) override { shownLayers.push_back(value); }
    void setLayerSwitch(LayerSwitch* s) override { layerSwitch = s; }
};

TEST(PatchViewBinding, EchoesOfKeyModeAndShownLayerReachThePatchesAndTheirLayerWishIsAnEdit) {
    FakeGui gui;
    RecordingPatches patches;
    {
        MVPatchViewBinding binding(gui, patches);
        ASSERT_NE(patches.layerSwitch, nullptr);

        gui.echo(ParameterIndex::kKeyMode, 0.5f);
        gui.echo(ParameterIndex::kShownLayer, 1.0f);
        gui.highlight(ParameterIndex::kKeyMode, 2.0f);
        gui.echo(ParameterIndex::kSplitKey, 0.3f);
        EXPECT_EQ(patches.keyModes, std::vector<float>{0.5f});
        EXPECT_EQ(patches.shownLayers, std::vector<float>{1.0f});

        patches.layerSwitch->showLayer(1);
        patches.layerSwitch->showLayer(0);
        ASSERT_EQ(gui.edits.size(), 2u);
        for (size_t i = 0; i < gui.edits.size(); ++i) {
            EXPECT_EQ(gui.edits[i].kind, MVGuiInterface::kNewValue);
            EXPECT_EQ(gui.edits[i].index, ParameterIndex::kShownLayer);
        }
        EXPECT_EQ(gui.edits[0].value, 0.5f);
        EXPECT_EQ(gui.edits[1].value, 0.0f);
    }
    EXPECT_EQ(patches.layerSwitch, nullptr) << "no switch outlives the editor";
    EXPECT_EQ(gui.listenerCount(ParameterIndex::kKeyMode), 0);
    EXPECT_EQ(gui.listenerCount(ParameterIndex::kShownLayer), 0);
}

} // namespace
} // namespace corvex
