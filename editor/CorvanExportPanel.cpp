#include "editor/CorvanExportPanel.h"

#include "presets/CorvanMultiFilterManager.h"
#include "widgets/CorvanLookAndFeel.h"

namespace corvex {

namespace {

struct Layout {
    juce::Rectangle<int> text, title, box, ok, cancel;
};

// The text takes the upper half; the project row is centred in what is left above the buttons.
Layout layoutFor(int w, int h) {
    const int textHeight = h / 2;
    const int rowX = (w - 165) / 2;
    const int rowY = (h - textHeight - 55) / 2 + textHeight + 5;
    return {{5, 5, w - 10, textHeight},
            {rowX, rowY, 60, 20},
            {rowX + 65, rowY, 100, 20},
            {w - 140, h - 30, 60, 20},
            {w - 70, h - 30, 60, 20}};
}

} // namespace

CorvanExportPanel::CorvanExportPanel(CorvanMultiFilterManager* patches) {
    setLookAndFeel(CorvanLookAndFeel::getInstance());
    text.setMultiLine(true, true);
    text.setReadOnly(true);
    text.setCaretVisible(false);
    text.setFont(juce::Font(static_cast<float>(CorvanLookAndFeel::kFontHeight), juce::Font::plain));
    text.setText("Please, select the project you want to export.\n\nAll patches and programs which are linked to "
                 "this project will be automatically exported into one file.",
                 false);
    addAndMakeVisible(text);
    addAndMakeVisible(projectTitle);

    juce::StringArray projects;
    if (patches != nullptr && patches->getPresetManager() != nullptr)
        patches->getPresetManager()->getAttributeValueList(CorvanMultiFilterManager::kProjectKey, projects);
    projectBox.addItemList(projects, 1);
    addAndMakeVisible(projectBox);

    for (CvnLcdTextButton* button : {&cancelButton, &okButton}) {
        button->setButtonText(button->getName());
        button->addListener(this);
        addAndMakeVisible(button);
    }
}

CorvanExportPanel::~CorvanExportPanel() { setLookAndFeel(nullptr); }

juce::String CorvanExportPanel::getSelectedProject() const { return confirmed ? projectBox.getText() : juce::String(); }

void CorvanExportPanel::buttonClicked(juce::Button* button) {
    if (button == &okButton)
        confirmed = true;
    closeDialog();
}

void CorvanExportPanel::paint(juce::Graphics& g) { g.fillAll(CorvanLookAndFeel::getInstance()->darkColour); }

void CorvanExportPanel::resized() {
    const Layout layout = layoutFor(getWidth(), getHeight());
    text.setBounds(layout.text);
    projectTitle.setBounds(layout.title);
    projectBox.setBounds(layout.box);
    okButton.setBounds(layout.ok);
    cancelButton.setBounds(layout.cancel);
}

} // namespace corvex
