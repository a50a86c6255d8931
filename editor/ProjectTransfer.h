// Exporting a project to a ".cve" file and importing one, as the front panel's two buttons start them. Every
// question and alert goes through ModalCalls; the folder last used is kept as a GUI setting.
#pragma once

#include <juce_core/juce_core.h>

namespace corvex {

class CorvanMultiFilterManager;
class ModalCalls;
class MVGuiInterface;

namespace projecttransfer {

constexpr const char* kFolderSetting = "ImportExportFolder";

enum class Outcome { kCancelled, kDone, kFailed };

// Asks for a project and a file, then writes the project's user patches and the user programs they play.
// Cancel at any step writes nothing and shows nothing; a failure says so and leaves no file behind (an older
// file of that name stays as it was).
Outcome exportProject(ModalCalls& calls, CorvanMultiFilterManager& patches, MVGuiInterface& gui);

// Asks for a file and imports it under its own name (made unique among the projects). A damaged file, or a
// name that cannot name a project folder, imports nothing and says so.
Outcome importProject(ModalCalls& calls, CorvanMultiFilterManager& patches, MVGuiInterface& gui);

} // namespace projecttransfer

} // namespace corvex
