#include "presetmap/view/CPresetBrowser.h"

#include <iostream>
#include <new>

#include "editor/ModalCalls.h"
#include "presetmap/ISoundmapSupportBase.h"
#include "presetmap/MapBackground.h"
#include "presetmap/MapWeights.h"
#include "presetmap/PresetMapBuilder.h"
#include "presetmap/PresetMapCache.h"
#include "presetmap/scaling/CMDSScalerEngine.h"
#include "presetmap/view/MapBuilderSettings.h"
#include "presetmap/view/MapZoom.h"

namespace corvex {

namespace {

const juce::Rectangle<int> kViewBounds{0, 30, 512, 512};
const juce::Rectangle<int> kSelectorBounds{512, 205, 128, 336};
const juce::Rectangle<int> kNavigatorBounds{512, 30, 128, 128};
const juce::Rectangle<int> kZoomSliderBounds{512, 158, 128, 24};
const juce::Rectangle<int> kBarBounds{0, 0, 640, 30};
struct ZoomKey {
    const char* message;
    const char* glyph;
    int x;
};
constexpr ZoomKey kZoomKeys[] = {{"ZO", "-", 512}, {"ZI", "+", 544}, {"ZA", "1:1", 576}, {"ZF", "[ ]", 608}};
constexpr int kZoomKeyY = 182, kZoomKeyWidth = 34, kZoomKeyHeight = 23;

const juce::Colour kPanelGround{0xFF292B2A};
const juce::Colour kPanelText{0xFFDCE0DF};

const char* const kMorpherRefused = "You have to take at least two snapshots before entering the morphing view";
const char* const kCompareRefused = "You have to take at least two snapshots before comparing presets";

// A zoom key's face: its glyph on a dark key, lit while pressed.
juce::Image zoomKeyFace(const char* glyph, bool pressed) {
    juce::Image image(juce::Image::ARGB, kZoomKeyWidth, kZoomKeyHeight, true);
    juce::Graphics g(image);
    const juce::Rectangle<float> key(1.0f, 1.0f, kZoomKeyWidth - 2.0f, kZoomKeyHeight - 2.0f);
    g.setColour(pressed ? kPanelText : juce::Colour(0xFF3C3F3E));
    g.fillRoundedRectangle(key, 3.0f);
    g.setColour(juce::Colour(0xFF8C8C8C));
    g.drawRoundedRectangle(key, 3.0f, 1.0f);
    g.setColour(pressed ? kPanelGround : kPanelText);
    g.setFont(juce::Font(13.0f, juce::Font::bold));
    g.drawText(glyph, key, juce::Justification::centred, false);
    return image;
}

} // namespace

CPresetBrowser::CPresetBrowser(ISoundmapSupportBase& support, ModalCalls& modal)
    : support_(support), modal_(modal), morpher_(support) {
    map_ = std::make_unique<CPresetMapComponent>(support_, modal_);
    map_->setPresetSelector(this);

    list_.setPresetSelector(this);
    list_.setRecords(&map_->getRecords());
    list_.setSnapshots(snapshots_.records().data());
    list_.rebuildRows();
    addChildComponent(list_);
    morpher_.addActionListener(this);
    addChildComponent(morpher_);
    viewport_.setScrollBarsShown(false, false);
    viewport_.setViewedComponent(map_.get(), false);
    addAndMakeVisible(viewport_);
    selector_.addChangeListener(this);
    addAndMakeVisible(selector_);
    navigator_.setViewport(&viewport_);
    addAndMakeVisible(navigator_);

    zoomSlider_.setSliderStyle(juce::Slider::LinearHorizontal);
    zoomSlider_.setRange(kMinMapZoom, kMaxMapZoom, 0.0);
    zoomSlider_.setValue(1.0, juce::dontSendNotification);
    zoomSlider_.setTextBoxStyle(juce::Slider::TextBoxRight, true, 32, 20);
    zoomSlider_.setNumDecimalPlacesToDisplay(1);
    zoomSlider_.setTooltip("Map Zoom Factor");
    zoomSlider_.setColour(juce::Slider::backgroundColourId, kPanelGround);
    zoomSlider_.setColour(juce::Slider::textBoxBackgroundColourId, kPanelGround);
    zoomSlider_.setColour(juce::Slider::textBoxTextColourId, kPanelText);
    zoomSlider_.addListener(this);
    addAndMakeVisible(zoomSlider_);

    bar_.addActionListener(this);
    addAndMakeVisible(bar_);

    juce::ImageButton* keys[] = {&zoomOut_, &zoomIn_, &zoomActual_, &zoomFit_};
    for (size_t n = 0; n < std::size(keys); ++n) {
        const juce::Image normal = zoomKeyFace(kZoomKeys[n].glyph, false);
        const juce::Image down = zoomKeyFace(kZoomKeys[n].glyph, true);
        keys[n]->setImages(true, true, true, normal, 1.0f, {}, normal, 0.85f, {}, down, 1.0f, {});
        keys[n]->addListener(this);
        addAndMakeVisible(*keys[n]);
    }
    setSize(kWidth, kHeight);
    updateHistoryButtons();
}

CPresetBrowser::~CPresetBrowser() {
    selector_.removeChangeListener(this);
    bar_.removeActionListener(this);
    morpher_.removeActionListener(this);
    navigator_.setViewport(nullptr);
    // The list points into the map's records.
    list_.setRecords(nullptr);
    list_.rebuildRows();
    viewport_.setViewedComponent(nullptr, false);
    map_.reset();
}

void CPresetBrowser::paint(juce::Graphics& g) { g.fillAll(juce::Colours::white); }

void CPresetBrowser::resized() {
    list_.setBounds(kViewBounds);
    morpher_.setBounds(kViewBounds);
    viewport_.setBounds(kViewBounds);
    selector_.setBounds(kSelectorBounds);
    navigator_.setBounds(kNavigatorBounds);
    zoomSlider_.setBounds(kZoomSliderBounds);
    bar_.setBounds(kBarBounds);
    juce::ImageButton* keys[] = {&zoomOut_, &zoomIn_, &zoomActual_, &zoomFit_};
    for (size_t n = 0; n < std::size(keys); ++n)
        keys[n]->setBounds(kZoomKeys[n].x, kZoomKeyY, kZoomKeyWidth, kZoomKeyHeight);
}

CPresetBrowser::View CPresetBrowser::getView() const {
    if (list_.isVisible()) return View::list;
    if (morpher_.isVisible()) return View::morpher;
    return View::map;
}

void CPresetBrowser::selectPreset(const PresetMapRecord* record, bool alreadyLoaded) {
    if (selecting_ != 0 || record == nullptr) return;
    selecting_ = 1;
    if (!alreadyLoaded) support_.loadPreset(record->key);
    history_.setCurrent(record);
    support_.presetSelected();
    showRecordInViews(record);
    selecting_ = 0;
}

void CPresetBrowser::setCurrentRecord(const PresetMapRecord* record) {
    if (record == nullptr || !history_.select(record)) return;
    updateHistoryButtons();
    selectPreset(record, false);
}

void CPresetBrowser::closeBrowser() { support_.closeBrowser(); }

void CPresetBrowser::showRecordInViews(const PresetMapRecord* record) {
    bar_.setPresetName(juce::String::fromUTF8(record->name));
    list_.showCurrentRecord(record);
    navigator_.showMarker(record);
}

void CPresetBrowser::updateHistoryButtons() {
    bar_.setButtonEnabled(CPresetBrowserBar::kPreviousMessage, history_.canGoBack());
    bar_.setButtonEnabled(CPresetBrowserBar::kNextMessage, history_.canGoForward());
}

void CPresetBrowser::actionListenerCallback(const juce::String& message) {
    const std::string text = message.toStdString();
    if (text == "<") {
        if (const PresetMapRecord* record = history_.back()) selectPreset(record, false);
    } else if (text == ">") {
        if (const PresetMapRecord* record = history_.forward()) selectPreset(record, false);
    } else if (const std::optional<double> zoom = zoomAfterMessage(text, zoomSlider_.getValue())) {
        zoomSlider_.setValue(*zoom, juce::sendNotificationSync);
    } else if (text == kShowMapMessage) {
        showView(View::map);
    } else if (text == kShowListMessage) {
        showView(View::list);
    } else if (text == kShowMorpherMessage) {
        if (snapshots_.count() >= 2)
            showView(View::morpher);
        else
            modal_.showInfo(kSnapshotsTitle, kMorpherRefused);
    } else if (const std::optional<BrowserSnapshots::Request> request = BrowserSnapshots::parse(text)) {
        const PresetMapRecord* held = snapshots_.get(request->slot);
        if (request->store || held == nullptr)
            storeSnapshot(request->slot);
        else
            selectPreset(held, false);
    } else if (text == "T") {
        // The tools may close the browser: nothing of it is touched afterwards.
        runTools();
        return;
    }
    updateHistoryButtons();
}

void CPresetBrowser::showView(View view) {
    viewport_.setVisible(view == View::map);
    list_.setVisible(view == View::list);
    morpher_.setVisible(view == View::morpher);
}

void CPresetBrowser::storeSnapshot(int slot) {
    if (!snapshots_.store(slot, history_.current())) return;
    bar_.showRecallButton(BrowserSnapshots::recallMessage(slot));
    morpher_.setSnapshot(history_.current(), slot);
    // The memory column.
    list_.getTable().repaint();
    map_->markSnapshotPoints(snapshots_.records().data(), BrowserSnapshots::kSlots);
}

void CPresetBrowser::changeListenerCallback(juce::ChangeBroadcaster* source) {
    if (source != &selector_) return;
    map_->setVisibleTypes(selector_.getTypeMask());
    list_.setTypeMask(selector_.getTypeMask());
    list_.rebuildRows();
}

void CPresetBrowser::sliderValueChanged(juce::Slider* slider) {
    if (slider != &zoomSlider_) return;
    const float oldZoom = map_->getZoom();
    const float newZoom = static_cast<float>(zoomSlider_.getValue());
    const juce::Point<int> position = viewPositionAfterZoom(oldZoom, newZoom, viewport_.getViewArea());
    map_->setZoom(newZoom);
    viewport_.setViewPosition(position);
}

void CPresetBrowser::buttonClicked(juce::Button* button) {
    juce::ImageButton* keys[] = {&zoomOut_, &zoomIn_, &zoomActual_, &zoomFit_};
    for (size_t n = 0; n < std::size(keys); ++n)
        if (button == keys[n]) actionListenerCallback(kZoomKeys[n].message);
}

void CPresetBrowser::runTools() {
    juce::PopupMenu menu;
    menu.addItem(kCompare, "Compare presets");
    menu.addItem(kBuildData, "Build preset data for MDS");
    menu.addItem(kInsertCoordinates, "Insert coordinates and save");
    menu.addItem(kBuildBackground, "Build background image");
    menu.addItem(kMds, "MDS");
    menu.addItem(kShowInfos, "Show infos");
    switch (modal_.showMenu(menu)) {
    case kCompare:
        if (snapshots_.count() >= 2)
            morpher_.copySnapshotDistancesToClipboard();
        else
            modal_.showInfo(kSnapshotsTitle, kCompareRefused);
        break;
    case kBuildBackground: buildBackgroundFromCache(); break;
    case kMds: rebuildWithSettings(); break;
    default: break;
    }
}

void CPresetBrowser::buildBackgroundFromCache() {
    PresetMapRecords records;
    readPresetMapCache(support_.getCacheFilePath(), records);
    if (!saveMapBackground(support_, records)) std::cerr << "Preset map : the background image could not be written\n";
}

void CPresetBrowser::rebuildWithSettings() {
    if (!MapBuilderSettings::editWeights(modal_, mapWeights())) return;
    FeatureVectors features;
    PresetMapRecords records;
    MapCoordinates places;
    try {
        analysePresets(support_, mapWeights(), features, records);
        CMDSScalerEngine engine;
        engine.computeMap(places, features);
    } catch (const std::bad_alloc&) {
        std::cerr << "Preset map : out of memory placing " << records.size() << " patches, the map is left as it was\n";
        return;
    }
    if (!writeMapCoordinates(records, support_, places)) return;
    // Deletes this browser: nothing of it may run afterwards.
    closeBrowser();
}

} // namespace corvex
