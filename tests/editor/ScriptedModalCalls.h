// Modal calls answered by a script: each dialog, file chooser and menu takes the next step given by the test;
// alerts are recorded. A dialog is shown in a real MVModalDialog that is made modal without a loop, so a
// test sees whether the panel ended it.
#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include <gtest/gtest.h>

#include "editor/ModalCalls.h"
#include "tests/editor/ComponentSearch.h"

namespace corvex {

class ScriptedModalCalls : public ModalCalls {
public:
    struct Alert {
        bool warning;
        // An OK/Cancel question rather than a plain alert.
        bool question;
        juce::String title;
        juce::String message;
    };
    struct DialogSeen {
        juce::String title;
        int width;
        int height;
        // Whether the panel ended the dialog by the time its step returned.
        bool ended;
    };
    std::vector<Alert> alerts;
    std::vector<DialogSeen> dialogs;
    // What the file choosers were asked.
    std::vector<juce::String> chooserTitles;
    std::vector<juce::File> chooserStarts;

    ~ScriptedModalCalls() override {
        EXPECT_TRUE(steps_.empty()) << steps_.size() << " scripted step(s) never asked for";
    }

    void answerDialog(std::function<void(MVModalDialogPanel&)> step) { push(Kind::dialog, std::move(step)); }
    void answerFileToSave(std::optional<juce::File> file) { pushFile(Kind::fileToSave, std::move(file)); }
    void answerFileToOpen(std::optional<juce::File> file) { pushFile(Kind::fileToOpen, std::move(file)); }
    void answerOkCancel(bool ok) {
        Step step;
        step.kind = Kind::question;
        step.answer = ok;
        steps_.push_back(std::move(step));
    }
    void answerMenu(int id) {
        Step step;
        step.kind = Kind::menu;
        step.menuId = id;
        steps_.push_back(std::move(step));
    }
    bool allAnswered() const { return steps_.empty(); }

    void runDialog(MVModalDialogPanel& panel, const juce::String& title, int width, int height) override {
        auto step = next(Kind::dialog);
        MVModalDialog window(title);
        window.setBounds(400, 400, width, height);
        window.setContentNonOwned(&panel, false);
        panel.dialogWindow = &window;
        window.enterModalState(false);
        if (step && step->dialog) step->dialog(panel);
        dialogs.push_back({title, width, height, !window.isCurrentlyModal()});
        if (window.isCurrentlyModal()) window.exitModalState(0);
        window.clearContentComponent();
        panel.dialogWindow = nullptr;
    }
    void showInfo(const juce::String& title, const juce::String& message) override {
        alerts.push_back({false, false, title, message});
    }
    void showWarning(const juce::String& title, const juce::String& message) override {
        alerts.push_back({true, false, title, message});
    }
    bool askOkCancel(const juce::String& title, const juce::String& message) override {
        alerts.push_back({true, true, title, message});
        auto step = next(Kind::question);
        return step && step->answer;
    }
    std::optional<juce::File> chooseFileToSave(const juce::String& title, const juce::File& start,
                                               const juce::String&) override {
        return chosen(Kind::fileToSave, title, start);
    }
    std::optional<juce::File> chooseFileToOpen(const juce::String& title, const juce::File& start,
                                               const juce::String&) override {
        return chosen(Kind::fileToOpen, title, start);
    }
    int showMenu(const juce::PopupMenu&) override {
        auto step = next(Kind::menu);
        return step ? step->menuId : 0;
    }

private:
    enum class Kind { dialog, fileToSave, fileToOpen, menu, question };
    struct Step {
        Kind kind = Kind::dialog;
        std::function<void(MVModalDialogPanel&)> dialog;
        std::optional<juce::File> file;
        int menuId = 0;
        bool answer = false;
    };

    void push(Kind kind, std::function<void(MVModalDialogPanel&)> dialog) {
        Step step;
        step.kind = kind;
        step.dialog = std::move(dialog);
        steps_.push_back(std::move(step));
    }
    void pushFile(Kind kind, std::optional<juce::File> file) {
        Step step;
        step.kind = kind;
        step.file = std::move(file);
        steps_.push_back(std::move(step));
    }
    // An unexpected call fails the test and is answered as if the user cancelled.
    std::optional<Step> next(Kind kind) {
        if (steps_.empty()) {
            ADD_FAILURE() << "a modal call the script did not expect";
            return std::nullopt;
        }
        Step step = std::move(steps_.front());
        steps_.pop_front();
        if (step.kind != kind) {
            ADD_FAILURE() << "the script expected another kind of modal call";
            return std::nullopt;
        }
        return step;
    }
    std::optional<juce::File> chosen(Kind kind, const juce::String& title, const juce::File& start) {
        chooserTitles.push_back(title);
        chooserStarts.push_back(start);
        auto step = next(kind);
        return step ? step->file : std::nullopt;
    }

    std::deque<Step> steps_;
};

// A click delivered at once, as the user's would be after the message loop ran.
inline void click(juce::Component& root, const juce::String& text) {
    juce::Button* button = findButton(root, text);
    ASSERT_NE(button, nullptr) << "no button \"" << text << "\"";
    if (button->getClickingTogglesState()) {
        button->setToggleState(!button->getToggleState() || button->getRadioGroupId() != 0, juce::sendNotificationSync);
    } else {
        // Button::triggerClick goes through the message queue; a test wants the click done when this returns.
        button->triggerClick();
        juce::MessageManager::getInstance()->runDispatchLoopUntil(20);
    }
}

} // namespace corvex
