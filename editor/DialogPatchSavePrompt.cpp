#include "editor/DialogPatchSavePrompt.h"

#include "editor/CorvanMultiSaveAsPanel.h"
#include "editor/CorvanMultiSaveCommonProgramPanel.h"
#include "editor/CorvanMultiSaveFactProgramPanel.h"
#include "editor/ModalCalls.h"
#include "editor/SaveDialogRules.h"

namespace corvex {

namespace {
// Each window is 40 pixels taller than its panel, for the title bar.
constexpr int kTitleBarHeight = 40;
constexpr const char* kSaveAsTitle = "Save Patch As...";

template <typename Panel>
void run(ModalCalls& calls, Panel& panel, const juce::String& title) {
    panel.setSize(Panel::kWidth, Panel::kHeight);
    calls.runDialog(panel, title, Panel::kWidth, Panel::kHeight + kTitleBarHeight);
}
} // namespace

std::optional<ProgramSaveChoice> DialogPatchSavePrompt::askFactoryProgram(const ProgramSaveQuestion& question) {
    if (question.programs == nullptr)
        return std::nullopt;
    CorvanMultiSaveFactProgramPanel panel(calls_, *question.programs,
                                          savedialog::rowTitle(question.layer, question.program),
                                          !question.otherPatches.isEmpty());
    run(calls_, panel, savedialog::factoryDialogTitle(question.layer, question.program));
    return panel.getAnswer();
}

std::optional<ProgramSaveChoice> DialogPatchSavePrompt::askSharedProgram(const ProgramSaveQuestion& question) {
    if (question.programs == nullptr)
        return std::nullopt;
    CorvanMultiSaveCommonProgramPanel panel(calls_, *question.programs,
                                            savedialog::rowTitle(question.layer, question.program),
                                            question.otherPatches);
    run(calls_, panel, savedialog::sharedDialogTitle(question.layer, question.program));
    return panel.getAnswer();
}

std::optional<PatchSaveAsChoice> DialogPatchSavePrompt::askSaveAs(CorvanMultiFilterManager& patches) {
    CorvanMultiSaveAsPanel panel(calls_, patches);
    run(calls_, panel, kSaveAsTitle);
    return panel.getAnswer();
}

} // namespace corvex
