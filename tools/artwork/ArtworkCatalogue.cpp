// The catalogue of pictures.
#include "tools/artwork/ArtworkCatalogue.h"

#include "tools/artwork/BrowserArt.h"
#include "tools/artwork/ControlArt.h"
#include "tools/artwork/KeyArt.h"
#include "tools/artwork/KnobArt.h"
#include "tools/artwork/LcdArt.h"
#include "tools/artwork/MapArt.h"
#include "tools/artwork/PanelArt.h"
#include "editor/FrontPanelLayout.h"
#include "editor/lcd/LcdArtSizes.h"
#include "widgets/CvnSkinSizes.h"

namespace corvex::art {

namespace {

struct LedColour {
    const char* name;
    juce::uint32 argb;
};
// Lamp colours chosen to sit together on the dark panel: saturated enough to read when lit, never neon.
constexpr LedColour kLedColours[] = {{"blue", 0xFF3C8DFF}, {"green", 0xFF46D160}, {"orange", 0xFFFF8A1E},
                                     {"red", 0xFFFF3A24},  {"white", 0xFFF4F1E8}, {"yellow", 0xFFFFD43A}};

// The states in the order the switch button takes its pictures.
struct LedState {
    const char* suffix;
    bool on;
    bool pressed;
};
constexpr LedState kLedStates[] = {
    {"off", false, false}, {"off_down", false, true}, {"on", true, false}, {"on_down", true, true}};

constexpr const char* kKeyNames[skin::kKeyStripCount] = {"c", "c_sharp", "d", "d_sharp", "e", "f",    "f_sharp",
                                                         "g", "g_sharp", "a", "a_sharp", "b", "top_c"};

Picture strip(const juce::String& file, skin::Size frame, int frames,
              std::function<void(juce::Graphics&, int frame)> paint) {
    return {file, frame.width, frame.height, frames, std::move(paint)};
}

std::vector<Picture> buildCatalogue() {
    constexpr int n = skin::kKnobFrames;
    std::vector<Picture> all;
    all.push_back(strip("knob_left.png", skin::kKnob, n, [](juce::Graphics& g, int f) { paintLeftKnob(g, f, n); }));
    all.push_back(strip("knob_middle.png", skin::kKnob, n, [](juce::Graphics& g, int f) { paintMiddleKnob(g, f, n); }));
    all.push_back(strip("knob_flat.png", skin::kFlatKnob, n, [](juce::Graphics& g, int f) { paintFlatKnob(g, f, n); }));
    all.push_back(strip("wheel.png", skin::kWheel, n, [](juce::Graphics& g, int f) { paintWheel(g, f, n); }));

    // Each slider's centre groove takes the colour of its section's pointers.
    all.push_back(strip("thumb_left.png", skin::kLeftThumb, 1,
                        [](juce::Graphics& g, int) { paintThumb(g, skin::kLeftThumb, juce::Colour(0xFFC74E2A)); }));
    all.push_back(strip("thumb_middle.png", skin::kMiddleThumb, 1,
                        [](juce::Graphics& g, int) { paintThumb(g, skin::kMiddleThumb, juce::Colour(0xFF1C1D20)); }));
    all.push_back(strip("thumb_right.png", skin::kRightThumb, 1,
                        [](juce::Graphics& g, int) { paintThumb(g, skin::kRightThumb, juce::Colour(0xFFF2F0EA)); }));

    for (const LedColour& colour : kLedColours)
        for (const LedState& state : kLedStates)
            all.push_back(strip(juce::String("led_") + colour.name + "_" + state.suffix + ".png", skin::kLedButton, 1,
                                [colour, state](juce::Graphics& g, int) {
                                    paintLedButton(g, juce::Colour(colour.argb), state.on, state.pressed);
                                }));
    all.push_back(
        strip("lfo_button_off.png", skin::kLfoButton, 1, [](juce::Graphics& g, int) { paintLfoButton(g, false); }));
    all.push_back(
        strip("lfo_button_on.png", skin::kLfoButton, 1, [](juce::Graphics& g, int) { paintLfoButton(g, true); }));

    const skin::Size left2{skin::kLeftSwitch2.width, skin::kLeftSwitch2.height};
    all.push_back(
        strip("switch2_left.png", left2, 2, [left2](juce::Graphics& g, int f) { paintLever(g, left2, f, 2); }));
    const skin::Size right2{skin::kRightSwitch2.width, skin::kRightSwitch2.height};
    all.push_back(
        strip("switch2_right.png", right2, 2, [right2](juce::Graphics& g, int f) { paintLever(g, right2, f, 2); }));
    const skin::Size three{skin::kSwitch3.width, skin::kSwitch3.height};
    all.push_back(strip("switch3.png", three, 3, [three](juce::Graphics& g, int f) { paintLever(g, three, f, 3); }));

    all.push_back(
        strip("close_button.png", skin::kCloseButton, 1, [](juce::Graphics& g, int) { paintCloseButton(g); }));
    all.push_back(strip("lfo_led_lit.png", skin::kLfoLed, 1, [](juce::Graphics& g, int) { paintLfoLed(g, true); }));
    all.push_back(strip("lfo_led_base.png", skin::kLfoLed, 1, [](juce::Graphics& g, int) { paintLfoLed(g, false); }));

    for (int i = 0; i < skin::kKeyStripCount; ++i) {
        const skin::KeyStrip key = skin::kKeyStrips[static_cast<size_t>(i)];
        const juce::String file = "key_" + juce::String(i).paddedLeft('0', 2) + "_" + kKeyNames[i] + ".png";
        all.push_back(strip(file, {key.width, key.keyHeight}, key.frames,
                            [key](juce::Graphics& g, int f) { paintKey(g, key, f); }));
    }
    all.push_back(strip("map_morph_cursor.png", {kMorphCursorSize, kMorphCursorSize}, 1,
                        [](juce::Graphics& g, int) { paintMorphCursor(g); }));
    for (const char* word : {"all", "none"})
        for (const bool pressed : {false, true})
            all.push_back(strip(juce::String("map_types_") + word + (pressed ? "_down" : "") + ".png",
                                {kTypeButtonWidth, kTypeButtonHeight}, 1,
                                [word, pressed](juce::Graphics& g, int) { paintTypeButton(g, word, pressed); }));
    const skin::Size barKey{kBarKeyWidth, kBarKeyHeight};
    all.push_back(strip("map_bar.png", {kBrowserBarWidth, kBrowserBarHeight}, 1,
                        [](juce::Graphics& g, int) { paintBrowserBar(g); }));
    // Memories #1 to #4 sit West, North, South, East: the files take the compass letter.
    for (const auto& [letter, memory] : {std::pair{"w", 1}, std::pair{"n", 2}, std::pair{"s", 3}, std::pair{"e", 4}}) {
        const struct {
            const char* stem;
            SnapshotKey kind;
        } keys[] = {{"store", SnapshotKey::kStore}, {"recall", SnapshotKey::kRecall}, {"snap_down", SnapshotKey::kPressed}};
        for (const auto& key : keys)
            all.push_back(strip(juce::String("map_bar_") + key.stem + "_" + letter + ".png", barKey, 1,
                                [m = memory, kind = key.kind](juce::Graphics& g, int) { paintSnapshotKey(g, m, kind); }));
    }
    for (const auto& [stem, glyph] : {std::pair{"prev", BarGlyph::kPrevious}, std::pair{"next", BarGlyph::kNext},
                                      std::pair{"show_map", BarGlyph::kShowMap}, std::pair{"show_list", BarGlyph::kShowList},
                                      std::pair{"show_morpher", BarGlyph::kShowMorpher}})
        for (const bool pressed : {false, true})
            all.push_back(strip(juce::String("map_bar_") + stem + (pressed ? "_down" : "") + ".png", barKey, 1,
                                [g0 = glyph, pressed](juce::Graphics& g, int) { paintBarKey(g, g0, pressed); }));
    all.push_back(strip("map_bar_tools.png", {kBarToolsKeySize, kBarToolsKeySize}, 1,
                        [](juce::Graphics& g, int) { paintBarToolsKey(g); }));
    all.push_back(strip("map_morpher.png", {kMorpherGroundSize, kMorpherGroundSize}, 1,
                        [](juce::Graphics& g, int) { paintMorpherGround(g); }));
    all.push_back(strip("front_panel.png", {frontpanel::kWidth, frontpanel::kHeight}, 1,
                        [](juce::Graphics& g, int) { paintFrontPanel(g); }));

    const skin::Size holder{lcdart::kHolder.width, lcdart::kHolder.height};
    all.push_back(strip("lcd_frame.png", holder, 1, [](juce::Graphics& g, int) { paintLcdFrame(g); }));
    all.push_back(strip("lcd_glass.png", holder, 1, [](juce::Graphics& g, int) { paintLcdGlass(g); }));
    all.push_back(strip("about.png", {lcdart::kAbout.width, lcdart::kAbout.height}, 1,
                        [](juce::Graphics& g, int) { paintAboutPicture(g); }));
    const skin::Size toggle{lcdart::kPopupOnClickToggle.width, lcdart::kPopupOnClickToggle.height};
    all.push_back(strip("about_toggle_off.png", toggle, 1, [](juce::Graphics& g, int) { paintAboutToggle(g, false); }));
    all.push_back(strip("about_toggle_on.png", toggle, 1, [](juce::Graphics& g, int) { paintAboutToggle(g, true); }));
    return all;
}

} // namespace

const std::vector<Picture>& artworkCatalogue() {
    static const std::vector<Picture> catalogue = buildCatalogue();
    return catalogue;
}

juce::Image renderPicture(const Picture& picture) {
    // A software image, so that the pixels never depend on a graphics driver.
    juce::Image image(juce::Image::ARGB, picture.width, picture.height(), true, juce::SoftwareImageType());
    juce::Graphics g(image);
    for (int f = 0; f < picture.frames; ++f) {
        juce::Graphics::ScopedSaveState cell(g);
        g.reduceClipRegion(0, f * picture.frameHeight, picture.width, picture.frameHeight);
        g.setOrigin(0, f * picture.frameHeight);
        picture.paint(g, f);
    }
    return image;
}

bool writeArtwork(const juce::File& folder) {
    if (!folder.createDirectory()) return false;
    juce::PNGImageFormat png;
    for (const Picture& picture : artworkCatalogue()) {
        const juce::File file = folder.getChildFile(picture.file);
        file.deleteFile();
        juce::FileOutputStream out(file);
        if (!out.openedOk() || !png.writeImageToStream(renderPicture(picture), out)) return false;
        out.flush();
        if (out.getStatus().failed()) return false;
    }
    return true;
}

} // namespace corvex::art
