// The patches: choosing one loads its Lower program, its Upper program and then its own global settings;
// a layer choosing another program, or the key mode turning, edits the current patch.
#pragma once

#include "instrument/PatchView.h"
#include "presets/CorvanMultiManager.h"
#include "presets/MorvanePresetFilterManager.h"
#include "presets/PatchSavePrompt.h"

namespace corvex {

class CorvanMultiFilterManager : public MorvanePresetFilterManager,
                                 public MorvanePresetFilterManagerListener,
                                 public PatchViewListener {
public:
    static constexpr const char* kUpperProgramKey = "Program1";
    static constexpr const char* kLowerProgramKey = "Program2";
    static constexpr const char* kModeKey = "Mode";
    static constexpr const char* kProjectKey = "Project";

    // Both must outlive this filter manager.
    CorvanMultiFilterManager(MorvanePresetFilterManager* lowerPrograms, MorvanePresetFilterManager* upperPrograms);
    ~CorvanMultiFilterManager() override;

    // A listener of the patches hears both layers too.
    void addListener(MorvanePresetFilterManagerListener* listener) override;
    void removeListener(MorvanePresetFilterManagerListener* listener) override;
    // "w: ", "d: " or "s: " before each name by its mode.
    void getPresetDisplayNames(juce::StringArray& names) override;
    // A patch whose own file or settings would be refused switches neither layer and leaves every current
    // preset and modified mark as it was.
    void setCurrentPreset(MorvanePreset* patch, bool force) override;
    MorvanePreset* createNewPreset(int unused) override;
    // The patch names the layers' current programs before it is written.
    bool savePreset(MorvanePreset* patch) override;
    // The patch section, then the Lower and the Upper program sections, taken all or not at all: a damaged
    // section, or a payload one of the parts would refuse, changes nothing.
    bool readState(ByteReader& in) override;
    void writeState(std::vector<uint8_t>& out) override;
    // The patches, then the user programs they use.
    bool saveState(const std::set<juce::String>& identifiers, juce::OutputStream& out) override;
    // Always empty; importProject tells whether the import worked.
    juce::Array<MorvanePreset*> loadState(juce::InputStream& in, const juce::String& projectName) override;

    void presetFilterChanged(int id, int value, int value2, void* pointer) override;
    // The current patch takes the key mode's name; a layer shown is told to the listeners.
    void keyModeChanged(float value) override;
    void shownLayerChanged(float value) override;
    void setLayerSwitch(LayerSwitch* layerSwitch) override { layerSwitch_ = layerSwitch; }
    LayerSwitch* getLayerSwitch() const { return layerSwitch_; }
    // Asks the editor to show the Upper (0) or the Lower (1) layer; nothing without one.
    void setShownLayer(int layer);
    int getShownLayer() const { return shownLayer_; }
    void setPrompt(PatchSavePrompt* prompt) { prompt_ = prompt; }
    PatchSavePrompt* getPrompt() const { return prompt_; }

    // Modified programs first (asking through the prompt where a program cannot simply be overwritten), then
    // the current patch. Without a prompt, such programs are left unsaved; a cancelled question saves nothing.
    void savePatch();
    void savePatchAs();
    // A copy of the current patch under the choice's name and project, naming the programs the choice leaves.
    // Null, with nothing written, for a blank name.
    MorvanePreset* applySaveAs(const PatchSaveAsChoice& choice);
    // The project's user patches, and the user programs that no remaining user patch uses.
    void deleteProject(const juce::String& projectName);
    // The patches' user programs, "Program2" and "Program1".
    std::set<juce::String> getUserProgramNames(const std::set<juce::String>& patchIdentifiers);
    // Filed under a project name not yet in use. All of it or nothing: false, with the library as it was,
    // for a damaged file or a preset that cannot be written.
    bool importProject(juce::InputStream& in, const juce::String& projectName);

    MorvanePresetFilterManager* getLowerPrograms() const { return lowerPrograms_; }
    MorvanePresetFilterManager* getUpperPrograms() const { return upperPrograms_; }

private:
    CorvanMultiManager* multiManager() const { return dynamic_cast<CorvanMultiManager*>(getPresetManager()); }
    // What to do with the layer's current program: nullopt when the user cancelled.
    std::optional<ProgramSaveChoice> askAboutProgram(const char* label, MorvanePresetFilterManager* programs,
                                                     MorvanePreset* patch);

    MorvanePresetFilterManager* lowerPrograms_;
    MorvanePresetFilterManager* upperPrograms_;
    MorvanePreset* lowerProgram_ = nullptr;
    MorvanePreset* upperProgram_ = nullptr;
    LayerSwitch* layerSwitch_ = nullptr;
    int shownLayer_ = 0;
    PatchSavePrompt* prompt_ = nullptr;
};

} // namespace corvex
