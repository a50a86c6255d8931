#include "presetmap/view/CPresetMapComponent.h"

#include <algorithm>
#include <cmath>

#include "editor/ModalCalls.h"
#include "presetmap/InstrumentType.h"
#include "presetmap/PresetMapBuilder.h"

namespace corvex {

namespace {
constexpr int kRebuildItem = 1;
const char* const kRebuildTitle = "Rebuild Preset Map";
const char* const kRebuildQuestion =
    "This will recalculate the preset locations on the map, and is the only way to see recently added "
    "preset.This operation may take a long time (10-30 min.), are you sure you want to proceed now ?";
} // namespace

CPresetMapComponent::CPresetMapComponent(ISoundmapSupportBase& support, ModalCalls& modal)
    : support_(support), modal_(modal), visibleTypes_(kAllInstrumentTypes) {
    loadPresetMap(support_, records_);
    points_.reserve(records_.size());
    for (const PresetMapRecord& record : records_) {
        auto point = std::make_unique<PresetMapButton>(&record, 0);
        point->setTopLeftPosition(static_cast<int>(record.x), static_cast<int>(record.y));
        point->addListener(this);
        addAndMakeVisible(*point);
        points_.push_back(std::move(point));
    }
    initMorpher(&support_, this);
    setSize(kMapSize, kMapSize);
    const juce::File backgroundFile(juce::String::fromUTF8(support_.getBackgroundImagePath().c_str()));
    if (backgroundFile.existsAsFile()) background_ = juce::ImageFileFormat::loadFrom(backgroundFile);
}

CPresetMapComponent::~CPresetMapComponent() {
    for (auto& point : points_) point->removeListener(this);
}

void CPresetMapComponent::paint(juce::Graphics& g) {
    g.fillAll(juce::Colour(0xFFDADAE1));
    if (background_.isValid()) {
        g.setOpacity(1.0f);
        g.drawImage(background_, 0, 0, getWidth(), getHeight(), 0, 0, background_.getWidth(),
                    background_.getHeight());
    }
    paintLastMorphPath(g);
}

void CPresetMapComponent::mouseDown(const juce::MouseEvent& e) {
    if (e.mods.isRightButtonDown()) {
        // May delete this view: nothing follows the call.
        offerRebuild();
        return;
    }
    morphFrom(e.position.x, e.position.y);
}

void CPresetMapComponent::mouseDrag(const juce::MouseEvent& e) { continueMorph(e); }

void CPresetMapComponent::mouseUp(const juce::MouseEvent&) { endMorph(); }

void CPresetMapComponent::buttonClicked(juce::Button* button) {
    auto* point = dynamic_cast<PresetMapButton*>(button);
    if (selector_ != nullptr && point != nullptr) selector_->setCurrentRecord(point->getRecord());
}

bool CPresetMapComponent::takesPart(const PresetMapButton& point) const {
    return point.isVisible() && typeInMask(visibleTypes_, point.getEffectiveType());
}

void CPresetMapComponent::setVisibleTypes(int mask) {
    visibleTypes_ = mask;
    for (auto& point : points_)
        point->setVisible(typeInMask(mask, point->getEffectiveType()) || point->getToggleState());
}

void CPresetMapComponent::setZoom(float zoom) {
    const int size = std::min(static_cast<int>(kPointSize * zoom), kLargestPoint);
    for (auto& point : points_) {
        point->setZoom(zoom);
        const PresetMapRecord& r = *point->getRecord();
        point->setBounds(static_cast<int>(r.x * zoom), static_cast<int>(r.y * zoom), size, size);
    }
    const int side = static_cast<int>(kMapSize * zoom);
    setBounds(getX(), getY(), side, side);
    zoom_ = zoom;
}

void CPresetMapComponent::markSnapshotPoints(const PresetMapRecord* const* records, int count) {
    for (auto& point : points_) {
        const bool marked = std::find(records, records + count, point->getRecord()) != records + count;
        point->setToggleState(marked, juce::dontSendNotification);
        if (marked) point->setVisible(true);
        // A mark lifted from a point of a type filtered out hides it again.
        else if (!typeInMask(visibleTypes_, point->getEffectiveType())) point->setVisible(false);
    }
}

NearestMapPoints CPresetMapComponent::findNearestPoints(float x, float y) const {
    NearestMapPoints nearest;
    std::array<float, kMorphSlots> distances{};
    const float mx = x / zoom_;
    const float my = y / zoom_;
    int half = 0;
    for (const auto& point : points_) {
        if (!takesPart(*point)) continue;
        if (half == 0) half = std::max(point->getWidth() / 2, 1);
        const float r = static_cast<float>(half) / zoom_;
        const PresetMapRecord* record = point->getRecord();
        const float dx = record->x - mx + r;
        const float dy = record->y - my + r;
        const float dist = dx * dx + dy * dy;
        const MorphPoint centre{static_cast<float>(point->getX() + half), static_cast<float>(point->getY() + half)};
        int slot = -1;
        if (nearest.count < kMorphSlots) {
            slot = nearest.count++;
        } else {
            // The farthest of the four that lies farther than this point gives way; ties keep the earlier.
            float farthest = -100.0f;
            for (int k = 0; k < kMorphSlots; ++k)
                if (distances[static_cast<size_t>(k)] > farthest && distances[static_cast<size_t>(k)] > dist) {
                    farthest = distances[static_cast<size_t>(k)];
                    slot = k;
                }
        }
        if (slot < 0) continue;
        nearest.records[static_cast<size_t>(slot)] = record;
        nearest.positions[static_cast<size_t>(slot)] = centre;
        distances[static_cast<size_t>(slot)] = dist;
    }
    return nearest;
}

bool CPresetMapComponent::morphFrom(float x, float y) {
    const NearestMapPoints nearest = findNearestPoints(x, y);
    if (nearest.count < 2) return false;
    MorphSnapshots& morph = getMorph();
    // Each patch is loaded in turn to read its values; the last one stays loaded until the blend replaces it.
    for (int slot = 0; slot < kMorphSlots; ++slot) {
        const PresetMapRecord* record = nearest.records[static_cast<size_t>(slot)];
        if (record == nullptr) {
            morph.setSnapshot(slot, nullptr, {}, {});
            continue;
        }
        support_.loadPreset(record->key);
        morph.setSnapshot(slot, record, nearest.positions[static_cast<size_t>(slot)], support_.buildPresetData());
    }
    markSnapshotPoints(nearest.records.data(), kMorphSlots);
    beginMorphAt(x, y);
    return true;
}

void CPresetMapComponent::offerRebuild() {
    juce::PopupMenu menu;
    menu.addItem(kRebuildItem, "Rebuild map...");
    if (modal_.showMenu(menu) != kRebuildItem) return;
    if (!modal_.askOkCancel(kRebuildTitle, kRebuildQuestion)) return;
    PresetMapBuilder(support_).run();
    background_ = {};
    // The browser deletes this view here; the next one reads the new map.
    if (IPresetSelector* selector = selector_) selector->closeBrowser();
}

} // namespace corvex
