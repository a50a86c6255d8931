#include "editor/ProjectTransfer.h"

#include "editor/CorvanExportPanel.h"
#include "editor/ModalCalls.h"
#include "instrument/SafeFileRead.h"
#include "presets/CorvanMultiFilterManager.h"
#include "presets/ProjectFile.h"
#include "presets/SafeFileWrite.h"
#include "widgets/MVGuiInterface.h"

namespace corvex {

namespace projecttransfer {

namespace {

constexpr const char* kPattern = "*.cve";

// The folder of the last project file; the chooser's own default when the setting holds no absolute path
// (the preferences file is text a person may have edited).
juce::File startFolder(MVGuiInterface& gui) {
    const juce::String path = gui.getStringSetting(kFolderSetting, {});
    return juce::File::isAbsolutePath(path) ? juce::File(path) : juce::File();
}

void rememberFolder(MVGuiInterface& gui, const juce::File& file) {
    gui.setStringSetting(kFolderSetting, file.getParentDirectory().getFullPathName());
}

Outcome fail(ModalCalls& calls, const juce::String& title, const juce::String& message) {
    calls.showWarning(title, message);
    return Outcome::kFailed;
}

} // namespace

Outcome exportProject(ModalCalls& calls, CorvanMultiFilterManager& patches, MVGuiInterface& gui) {
    juce::String project;
    {
        CorvanExportPanel panel(&patches);
        panel.setSize(CorvanExportPanel::kWidth, CorvanExportPanel::kHeight);
        calls.runDialog(panel, "Export Project", CorvanExportPanel::kWidth, CorvanExportPanel::kHeight);
        project = panel.getSelectedProject();
    }
    if (project.trim().isEmpty())
        return Outcome::kCancelled;

    const std::optional<juce::File> chosen =
        calls.chooseFileToSave("Please choose a file destination to export the project.", startFolder(gui), kPattern);
    if (!chosen)
        return Outcome::kCancelled;
    const juce::File file = chosen->withFileExtension(projectfile::kExtension);
    rememberFolder(gui, file);

    const std::optional<juce::MemoryBlock> packed = projectfile::pack(patches, project);
    if (!packed)
        return fail(calls, "Export Failed",
                    "The project \"" + project +
                        "\" cannot be exported: the file of one of its presets cannot be read. Nothing was written.");
    if (!replaceFileSafely(file, *packed))
        return fail(calls, "Export Failed",
                    "The project cannot be written to \"" + file.getFullPathName() + "\". Nothing was written.");
    calls.showInfo("Export Done", "The export of the project has been successful.");
    return Outcome::kDone;
}

Outcome importProject(ModalCalls& calls, CorvanMultiFilterManager& patches, MVGuiInterface& gui) {
    const std::optional<juce::File> chosen =
        calls.chooseFileToOpen("Please choose a file destination to import the project.", startFolder(gui), kPattern);
    if (!chosen)
        return Outcome::kCancelled;
    const juce::File& file = *chosen;
    rememberFolder(gui, file);

    // The project and its folder in the User bank take the file's name.
    const juce::String project = file.getFileNameWithoutExtension();
    if (!projectfile::isPlainProjectName(project))
        return fail(calls, "Import Failed",
                    "\"" + file.getFileName() +
                        "\" cannot name a project: its name is empty, hidden, or holds a path separator or a "
                        "control character. Rename the file and import it again.");
    const FileRead read = readRegularFile(file, projectfile::kMaxFileBytes);
    if (read.status != FileRead::kRead)
        return fail(calls, "Import Failed",
                    "\"" + file.getFullPathName() + "\" " + whyUnread(read.status) + ". Nothing was imported.");
    if (!projectfile::import(patches, read.bytes.getData(), read.bytes.getSize(), project))
        return fail(calls, "Import Failed",
                    "\"" + file.getFileName() +
                        "\" cannot be imported: it is not a project file, it is damaged, or its presets cannot be "
                        "written. Nothing was imported.");
    calls.showInfo("Import Done", "The Import of the selected file has been successful.");
    return Outcome::kDone;
}

} // namespace projecttransfer

} // namespace corvex
