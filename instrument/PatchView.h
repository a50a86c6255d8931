// What the patches learn of the editor, and how they ask it for a layer, without knowing the editor: the
// editor wires both to its parameter echoes and edits.
#pragma once

namespace corvex {

// How the patches ask the editor to show a layer.
class LayerSwitch {
public:
    virtual ~LayerSwitch() = default;
    // The Upper (0) or the Lower (1) layer.
    virtual void showLayer(int layer) = 0;
};

// Message thread only. The values are the normalised ones the editor echoes for the key mode and the shown
// layer.
class PatchViewListener {
public:
    virtual ~PatchViewListener() = default;
    virtual void keyModeChanged(float value) = 0;
    virtual void shownLayerChanged(float value) = 0;
    // Null until the editor is there, and again once it has gone.
    virtual void setLayerSwitch(LayerSwitch* layerSwitch) = 0;
};

} // namespace corvex
