// The toolbar's map button: the first click makes the map's adapter over the library and the instrument, and
// the browser window; later clicks hide and show that window. The adapter lives as long as the handler; the
// window goes when a rebuild asks for it, and the next click makes a new one over the new map.
#pragma once

#include <memory>
#include <vector>

#include <juce_gui_basics/juce_gui_basics.h>

#include "editor/toolbar/CorvanMapActionHandler.h"
#include "presetmap/CorvanSoundmapAdapter.h"

namespace corvex {

class CPresetBrowserWindow;
class ModalCalls;
class MorvaneFindFolder;

// Message thread only.
class CorvanOpenMapActionHandler : public CorvanMapActionHandler,
                                   public SoundmapBrowserHost,
                                   public juce::ComponentListener,
                                   private juce::AsyncUpdater {
public:
    static constexpr int kWindowX = 20;
    static constexpr int kWindowY = 50;

    // The folder holds the map's files; modal answers the browser's menus and dialogs (null: JUCE's own).
    // Both are borrowed and must outlive the handler.
    explicit CorvanOpenMapActionHandler(const MorvaneFindFolder& folder, ModalCalls* modal = nullptr);
    // The window goes first: its views use the adapter to the end.
    ~CorvanOpenMapActionHandler() override;

    void toggleBrowser(CorvanMultiFilterManager* patches, CorvanAudioFilter* instrument) override;
    // Asked from inside the browser (a rebuild): the window disappears at once and is deleted once the call
    // that asked has returned, so that nothing runs on a browser that is gone.
    void closeBrowser() override;

    CPresetBrowserWindow* getWindow() const { return window_.get(); }
    CorvanSoundmapAdapter* getAdapter() const { return adapter_.get(); }

private:
    void handleAsyncUpdate() override;
    void deleteWindow(std::unique_ptr<CPresetBrowserWindow>& window);

    const MorvaneFindFolder& folder_;
    std::unique_ptr<ModalCalls> ownModal_;
    ModalCalls& modal_;
    std::unique_ptr<CorvanSoundmapAdapter> adapter_;
    std::unique_ptr<CPresetBrowserWindow> window_;
    std::vector<std::unique_ptr<CPresetBrowserWindow>> closing_;
};

} // namespace corvex
