// A row of tabs along the top edge, each owning one page, with exactly one page visible. The kit's
// look-and-feel supplies the geometry, the shapes and all tab drawing; invisible toggle buttons over the tabs
// catch the clicks.
#pragma once

#include <memory>
#include <vector>

#include <juce_gui_basics/juce_gui_basics.h>

#include "widgets/MVLookAndFeel.h"
#include "widgets/MVPanel.h"
#include "widgets/MVTransparentToggleButton.h"

namespace corvex {

// Message thread only.
class MVTabbedComponent : public MVPanel, public juce::Button::Listener {
public:
    explicit MVTabbedComponent(MVLookAndFeel* tabLookAndFeel);
    ~MVTabbedComponent() override;

    // The component owns the page (which may be null) from now on. Only the first page starts visible.
    void addTab(juce::Component* page, const juce::String& name);
    // The last selectable tab of that exact name becomes current; with none, the current tab stays.
    void selectTab(const juce::String& name);

    int getCurrentTab() const { return currentTab_; }
    int getNumTabs() const { return static_cast<int>(tabs_.size()); }
    juce::Component* getPage(int tab) const;
    MVTransparentToggleButton* getTabButton(int tab) const;
    const juce::Path& getTabShape(int tab) const;
    const juce::Path& getFrameShape(int tab) const;

    // Pages follow: only the current one is shown, and only while the component is.
    void setVisible(bool shown) override;
    void resized() override;
    void paint(juce::Graphics& g) override;
    void buttonClicked(juce::Button* button) override;

protected:
    int tabMargin_ = 0, tabWidth_ = 0, tabHeight_ = 0, tabGap_ = 0, tabSlant_ = 0;
    bool tabStyleFlag_ = false;

private:
    struct Tab {
        std::unique_ptr<juce::Component> page;
        std::unique_ptr<MVTransparentToggleButton> button;
        juce::Path tabShape;
        juce::Path frameShape;
        bool selectable = true;
    };

    // Shared by a selection by name and by a click: `matches` picks the candidates, the last one wins.
    template <typename Matches>
    void select(Matches&& matches);
    int tabX(int i) const { return (tabGap_ + tabWidth_) * i + tabMargin_; }

    MVLookAndFeel* const lookAndFeel_;
    std::vector<Tab> tabs_;
    int currentTab_ = 0;
};

} // namespace corvex
