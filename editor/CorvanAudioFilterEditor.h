// The editor window's content: the toolbar, the strip below it, the LCD holder that slides open between the
// strip and the front panel, the front panel and the about panel, over the layer switch of the editor base.
// It answers the editor's own ids: the reference tone (1011), the shown layer (1016), the about panel (1017)
// and the LCD page the instrument keeps (1018).
#pragma once

#include <memory>

#include "editor/DialogPatchSavePrompt.h"
#include "editor/LayerFoldingEditor.h"
#include "editor/ModalCalls.h"
#include "editor/toolbar/CorvanMapActionHandler.h"
#include "instrument/MorvaneMidiManagerListener.h"
#include "widgets/MVComponentAnimator.h"
#include "widgets/MVComponentAnimatorListener.h"

namespace corvex {

class CorvanAboutPanel;
class CorvanControlPanel;
class CorvanExtraPanel;
class CorvanToolbar;
class MVPanel;
class MVPatchViewBinding;

// Message thread only, but for parameterChanged (see LayerFoldingEditor).
class CorvanAudioFilterEditor : public LayerFoldingEditor,
                                public MVComponentAnimatorListener,
                                public MorvaneMidiManagerListener {
public:
    static constexpr int kWidth = 1014;
    static constexpr int kClosedHeight = 488;
    static constexpr int kOpenHeight = 738;

    // What the program hands the editor; tests replace each part.
    struct Options {
        // Null: the editor runs JUCE's own modal loops.
        ModalCalls* calls = nullptr;
        // Null: the map button does nothing.
        std::unique_ptr<CorvanMapActionHandler> mapHandler;
        // Null: the settings folder of the process.
        const MorvaneFindFolder* folder = nullptr;
        // The slide's clock; empty: the library's millisecond counter.
        MVMillisecondClock clock;
    };

    // The instrument must be initialised and outlive the editor.
    CorvanAudioFilterEditor(CorvanAudioFilter* instrument, Options options);
    explicit CorvanAudioFilterEditor(CorvanAudioFilter* instrument);
    ~CorvanAudioFilterEditor() override;
    CorvanAudioFilterEditor(const CorvanAudioFilterEditor&) = delete;
    CorvanAudioFilterEditor& operator=(const CorvanAudioFilterEditor&) = delete;

    void notifyParameterEdit(int kind, int index, float value) override;
    float getParameter(int index) override;

    // The two LCD buttons of the toolbar: slides the front panel down to show the holder, or up to hide it.
    void setLcdShown(bool shown);
    bool isLcdShown() const { return lcdShown_ == 1; }
    void showAboutPanel(bool show);
    void storeLcdPageParameter() override;

    void animationFinished() override;
    void midiActivity() override {}
    void controllerAssignmentChanged(int, int) override {}
    void midiNoteChanged(int, int) override {}
    // The pitch wheel's widget follows the MIDI wheel.
    void midiValueChanged(float value) override;

    void paint(juce::Graphics& g) override;

    CorvanToolbar& getToolbar() const { return *toolbar_; }
    MVPanel& getBackground() const { return *background_; }
    CorvanExtraPanel& getLcdHolder() const { return *lcdHolder_; }
    CorvanControlPanel& getControlPanel() const { return *controlPanel_; }
    CorvanAboutPanel& getAboutPanel() const { return *aboutPanel_; }
    MVComponentAnimator& getAnimator() { return animator_; }

private:
    void placeChildren(int page);
    int topOfLcd() const;

    CorvanAudioFilter* const corvan_;
    std::unique_ptr<JuceModalCalls> ownCalls_;
    ModalCalls& calls_;
    DialogPatchSavePrompt prompt_;
    MVComponentAnimator animator_;
    std::unique_ptr<CorvanToolbar> toolbar_;
    std::unique_ptr<MVPanel> background_;
    std::unique_ptr<CorvanExtraPanel> lcdHolder_;
    std::unique_ptr<CorvanControlPanel> controlPanel_;
    std::unique_ptr<CorvanAboutPanel> aboutPanel_;
    std::unique_ptr<MVPatchViewBinding> patchView_;
    int lcdShown_ = -1;
};

} // namespace corvex
