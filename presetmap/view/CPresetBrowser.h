// The preset map browser: the map in a scrolling view, the list and the morpher (one shown at a time), the bar
// with the view switches, history and snapshot memories, the instrument selector, the navigator, the zoom
// slider and its four keys. It keeps the history of selected patches and the four memories, carries out the
// bar's messages and runs the tools menu with the map-building commands.
#pragma once

#include <memory>

#include <juce_gui_basics/juce_gui_basics.h>

#include "presetmap/view/BrowserHistory.h"
#include "presetmap/view/BrowserSnapshots.h"
#include "presetmap/view/CInstSelectorComponent.h"
#include "presetmap/view/CMapNavigator.h"
#include "presetmap/view/CMorpherComponent.h"
#include "presetmap/view/CPresetBrowserBar.h"
#include "presetmap/view/CPresetListComponent.h"
#include "presetmap/view/CPresetMapComponent.h"
#include "presetmap/view/IPresetSelector.h"
#include "presetmap/view/WatchedViewport.h"

namespace corvex {

class ISoundmapSupportBase;
class ModalCalls;

class CPresetBrowser : public juce::Component,
                       public juce::ChangeListener,
                       public juce::ActionListener,
                       public IPresetSelector,
                       public juce::Slider::Listener,
                       public juce::Button::Listener {
public:
    static constexpr int kWidth = 640;
    static constexpr int kHeight = 542;
    static constexpr const char* kShowMapMessage = CPresetBrowserBar::kShowMapMessage;
    static constexpr const char* kShowListMessage = CPresetBrowserBar::kShowListMessage;
    static constexpr const char* kShowMorpherMessage = CPresetBrowserBar::kShowMorpherMessage;
    static constexpr const char* kSnapshotsTitle = "Not Enough Snapshots";

    enum ToolsItem { kCompare = 1, kBuildData, kInsertCoordinates, kBuildBackground, kMds, kShowInfos };
    enum class View { map, list, morpher };

    // Reads the map through the support; both are borrowed and must outlive the browser.
    CPresetBrowser(ISoundmapSupportBase& support, ModalCalls& modal);
    ~CPresetBrowser() override;

    // Loads (unless it is loaded already) and shows a patch, leaving the history alone.
    virtual void selectPreset(const PresetMapRecord* record, bool alreadyLoaded);
    // A selection the history keeps.
    void setCurrentRecord(const PresetMapRecord* record) override;
    void closeBrowser() override;

    // The messages of the bar, the morpher and the zoom keys.
    void actionListenerCallback(const juce::String& message) override;
    // The instrument selector's set of types.
    void changeListenerCallback(juce::ChangeBroadcaster* source) override;
    // The zoom slider: the map's zoom changes around the view's centre.
    void sliderValueChanged(juce::Slider* slider) override;
    void buttonClicked(juce::Button* button) override;

    void paint(juce::Graphics& g) override;
    void resized() override;

    const PresetMapRecord* getCurrentRecord() const { return history_.current(); }
    const BrowserHistory& getHistory() const { return history_; }
    const BrowserSnapshots& getSnapshots() const { return snapshots_; }
    View getView() const;
    CPresetMapComponent& getMap() { return *map_; }
    juce::Viewport& getMapViewport() { return viewport_; }
    CMapNavigator& getNavigator() { return navigator_; }
    juce::Slider& getZoomSlider() { return zoomSlider_; }
    CInstSelectorComponent& getInstrumentSelector() { return selector_; }
    CPresetBrowserBar& getBar() { return bar_; }
    CPresetListComponent& getList() { return list_; }
    CMorpherComponent& getMorpher() { return morpher_; }

private:
    void showView(View view);
    void storeSnapshot(int slot);
    void runTools();
    void buildBackgroundFromCache();
    void rebuildWithSettings();
    void updateHistoryButtons();
    void showRecordInViews(const PresetMapRecord* record);

    ISoundmapSupportBase& support_;
    ModalCalls& modal_;
    BrowserHistory history_;
    BrowserSnapshots snapshots_;
    int selecting_ = 0;

    std::unique_ptr<CPresetMapComponent> map_;
    CPresetListComponent list_;
    CMorpherComponent morpher_;
    WatchedViewport viewport_{"map viewport"};
    CInstSelectorComponent selector_;
    CMapNavigator navigator_;
    juce::Slider zoomSlider_{"zoom slider"};
    CPresetBrowserBar bar_;
    juce::ImageButton zoomOut_{"zoom out"};
    juce::ImageButton zoomIn_{"zoom in"};
    juce::ImageButton zoomActual_{"zoom actual"};
    juce::ImageButton zoomFit_{"zoom fit"};
};

} // namespace corvex
