// A row of tabs, each owning one page, with exactly one page visible.
#include "widgets/MVTabbedComponent.h"

#include <algorithm>

namespace corvex {

MVTabbedComponent::MVTabbedComponent(MVLookAndFeel* tabLookAndFeel) : lookAndFeel_(tabLookAndFeel) {
    if (lookAndFeel_ != nullptr) lookAndFeel_->getTabMetrics(tabMargin_, tabWidth_, tabHeight_, tabGap_, tabSlant_);
}

// The buttons stop calling this component before the pages and buttons go.
MVTabbedComponent::~MVTabbedComponent() {
    for (Tab& tab : tabs_) tab.button->removeListener(this);
    tabs_.clear();
}

void MVTabbedComponent::addTab(juce::Component* page, const juce::String& name) {
    Tab tab;
    tab.page.reset(page);
    if (page != nullptr) {
        page->setVisible(tabs_.empty());
        addChildComponent(page);
    }
    tab.button = std::make_unique<MVTransparentToggleButton>(name);
    tab.button->addListener(this);
    addAndMakeVisible(*tab.button);
    tabs_.push_back(std::move(tab));
}

juce::Component* MVTabbedComponent::getPage(int tab) const {
    return tab >= 0 && tab < getNumTabs() ? tabs_[static_cast<size_t>(tab)].page.get() : nullptr;
}

MVTransparentToggleButton* MVTabbedComponent::getTabButton(int tab) const {
    return tab >= 0 && tab < getNumTabs() ? tabs_[static_cast<size_t>(tab)].button.get() : nullptr;
}

const juce::Path& MVTabbedComponent::getTabShape(int tab) const { return tabs_.at(static_cast<size_t>(tab)).tabShape; }

const juce::Path& MVTabbedComponent::getFrameShape(int tab) const {
    return tabs_.at(static_cast<size_t>(tab)).frameShape;
}

template <typename Matches>
void MVTabbedComponent::select(Matches&& matches) {
    if (juce::Component* page = getPage(currentTab_)) page->setVisible(false);
    for (Tab& tab : tabs_) tab.button->setVisible(true);
    for (int i = 0; i < getNumTabs(); ++i) {
        const Tab& tab = tabs_[static_cast<size_t>(i)];
        if (tab.selectable && matches(tab)) currentTab_ = i;
    }
    if (juce::Component* page = getPage(currentTab_)) page->setVisible(true);
    if (MVTransparentToggleButton* button = getTabButton(currentTab_)) button->setVisible(false);
    repaint();
}

void MVTabbedComponent::selectTab(const juce::String& name) {
    select([&](const Tab& tab) { return tab.button->getName() == name; });
}

void MVTabbedComponent::buttonClicked(juce::Button* button) {
    select([&](const Tab& tab) { return tab.button.get() == button; });
}

void MVTabbedComponent::setVisible(bool shown) {
    for (int i = 0; i < getNumTabs(); ++i)
        if (juce::Component* page = getPage(i)) page->setVisible(shown && i == currentTab_);
    MVPanel::setVisible(shown);
}

void MVTabbedComponent::resized() {
    if (lookAndFeel_ == nullptr) return;
    const int m = tabMargin_, W = tabWidth_, H = tabHeight_, G = tabGap_, S = tabSlant_;
    const int w = getWidth(), h = getHeight();
    for (int i = 0; i < getNumTabs(); ++i) {
        Tab& tab = tabs_[static_cast<size_t>(i)];
        const bool first = i == 0;
        const int shapeX = first ? m : (G + W) * i - S + m;
        const int shapeW = first ? W + S : W + 2 * S;
        tab.tabShape = lookAndFeel_->createTabShape(shapeX, m, shapeW, H, S, first, tabStyleFlag_);
        tab.frameShape = lookAndFeel_->createTabOutline(m, m, w - 2 * m, h - 2 * m, first ? 0 : shapeX, shapeW, H, S,
                                                        first, tabStyleFlag_);
        tab.button->setBounds(m + W * i + G * std::max(i - 1, 0), m, first ? W + G : W + 2 * G, H);
        if (tab.page != nullptr) tab.page->setBounds(m + 1, m + H + 1, w - 2 * m - 2, h - H - 2 * m - 2);
    }
}

void MVTabbedComponent::paint(juce::Graphics& g) {
    MVPanel::paint(g);
    if (lookAndFeel_ == nullptr) return;
    lookAndFeel_->fillTabArea(g, 0, 0, getWidth(), getHeight());
    for (int i = getNumTabs() - 1; i >= 0; --i) {
        if (i == currentTab_) continue;
        const Tab& tab = tabs_[static_cast<size_t>(i)];
        lookAndFeel_->drawTabButton(g, tab.tabShape, tab.button->getButtonText(), tabX(i), tabMargin_, tabWidth_,
                                    tabHeight_, tab.selectable);
    }
    if (currentTab_ < getNumTabs()) {
        const Tab& tab = tabs_[static_cast<size_t>(currentTab_)];
        lookAndFeel_->drawTabText(g, tab.tabShape, tab.frameShape, tab.button->getButtonText(), tabX(currentTab_),
                                  tabMargin_, tabWidth_, tabHeight_, tabStyleFlag_);
    }
}

} // namespace corvex
