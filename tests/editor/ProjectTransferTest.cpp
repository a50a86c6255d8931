// Exporting a project to a file and importing it, every chooser, dialog and alert scripted: what the file
// holds, what Cancel and failures leave, and what an import of a damaged or hostile file may touch.
#include <gtest/gtest.h>

#include "editor/CorvanExportPanel.h"
#include "editor/ProjectTransfer.h"
#include "presets/PresetPayload.h"
#include "presets/ProjectFile.h"
#include "presets/ProjectSection.h"
#include "tests/editor/LibraryTestSupport.h"
#include "tests/editor/ScriptedModalCalls.h"
#include "tests/support/FakeGui.h"
#include "tests/support/Snapshots.h"

namespace corvex {
namespace {

using projecttransfer::Outcome;
using testing::appendInt32;
using testing::appendText;
using testing::readBytes;
using testing::writeBytes;
using testing::zlibDeflate;
using Bytes = std::vector<uint8_t>;

// Chooses project in the export dialog (nothing when empty) and clicks button (none when null).
std::function<void(MVModalDialogPanel&)> exportDialogStep(const juce::String& project, const char* button) {
    return [project, button](MVModalDialogPanel& panel) {
        if (project.isNotEmpty())
            findNamed<juce::ComboBox>(panel, "Project")->setText(project, juce::dontSendNotification);
        if (button != nullptr)
            click(panel, button);
    };
}

std::vector<juce::String> identifiersOf(const std::vector<ProjectRecord>& records) {
    std::vector<juce::String> ids;
    for (const ProjectRecord& record : records)
        ids.push_back(record.identifier);
    return ids;
}

// A preset file's bytes as another writer would put them together.
Bytes presetBytes(const std::string& type, const std::string& id, const testing::AttributeList& attributes,
                  const std::string& sound) {
    std::string header = "<" + type + "><PresetId ids=\"" + id + "\" name=\"" + id + "\"/>";
    for (const auto& [key, value] : attributes)
        header += "<PresetAttributes " + key + "=\"" + value + "\"/>";
    header += "</" + type + ">";
    return testing::handMadeFile(header, 1, zlibDeflate(Bytes(sound.begin(), sound.end())));
}

void appendSection(Bytes& out, int id, const std::vector<std::pair<std::string, Bytes>>& records) {
    appendText(out, "PFM_start");
    appendInt32(out, id);
    appendInt32(out, static_cast<int32_t>(records.size()));
    for (const auto& [identifier, bytes] : records) {
        appendText(out, identifier);
        appendInt32(out, static_cast<int32_t>(bytes.size()));
        out.insert(out.end(), bytes.begin(), bytes.end());
    }
    appendText(out, "PFM_end");
}

class ProjectTransferTest : public Library {
protected:
    ProjectTransferTest() {
        for (const char* id : {"Default", "FP"})
            program(juce::String("Factory/") + id + ".cvp", id, id);
        for (const char* id : {"PA", "PB", "PC", "PD"})
            program(juce::String("User/Live/") + id + ".cvp", id, std::string("Prog ") + id);
        patch("Factory/Default.cvm", "Default", "Default", "Default", "Default", "Whole");
        // Three user patches of "Live" share PB; the factory ones stay behind in every export.
        const struct {
            const char *path, *id, *upper, *lower, *mode, *project;
        } patches[] = {
            {"User/Live/la.cvm", "LA", "PA", "PB", "Split", "Live"}, {"User/Live/lb.cvm", "LB", "PC", "PB", "Whole", "Live"},
            {"User/Live/lf.cvm", "LF", "FP", "PB", "Dual", "Live"},  {"Factory/live.cvm", "FL", "FP", "FP", "Whole", "Live"},
            {"Factory/gala.cvm", "FG", "FP", "FP", "Whole", "Gala"}, {"User/other.cvm", "OA", "PA", "PD", "Whole", "Other"},
        };
        for (const auto& p : patches)
            patch(p.path, p.id, std::string("Patch ") + p.id, p.upper, p.lower, p.mode, {{"Project", p.project}});
        start();
    }
    Outcome exportTo(const juce::String& project, const juce::File& file) {
        calls.answerDialog(exportDialogStep(project, "OK"));
        calls.answerFileToSave(file);
        return projecttransfer::exportProject(calls, patches(), gui);
    }
    Outcome importFrom(const juce::File& file) {
        calls.answerFileToOpen(file);
        return projecttransfer::importProject(calls, patches(), gui);
    }
    size_t presetCount() { return programManager().getPresets().size() + patchManager().getPresets().size(); }
    std::vector<juce::String> modifiedPresets() {
        std::vector<juce::String> modified;
        for (MorvanePresetManager* manager :
             {static_cast<MorvanePresetManager*>(&programManager()), static_cast<MorvanePresetManager*>(&patchManager())})
            for (const auto& [id, preset] : manager->getPresets())
                if (preset->isModified())
                    modified.push_back(id);
        return modified;
    }
    Bytes liveSections() {
        juce::MemoryOutputStream out;
        EXPECT_TRUE(patches().saveState(patches().getUserPresetNames("Project", "Live"), out));
        const auto* p = static_cast<const uint8_t*>(out.getData());
        return Bytes(p, p + out.getDataSize());
    }

    ScriptedModalCalls calls;
    FakeGui gui;
    testing::TempFolder elsewhere;
};

TEST_F(ProjectTransferTest, ExportWritesTheProjectsUserPatchesThenEachUserProgramTheyPlayOnce) {
    const struct {
        const char* project;
        const char* typed;
        const char* written;
        std::vector<juce::String> patches, programs;
    } cases[] = {
        // PB is played by all three patches; FP and the factory patch FL stay behind.
        {"Live", "live", "live.cve", {"LA", "LB", "LF"}, {"PA", "PB", "PC"}},
        {"Live", "set.txt", "set.cve", {"LA", "LB", "LF"}, {"PA", "PB", "PC"}},
        {"Other", "my.other.set", "my.other.cve", {"OA"}, {"PA", "PD"}},
        {"Gala", "gala.cve", "gala.cve", {}, {}},
    };
    for (const auto& c : cases) {
        const juce::File folder = elsewhere.root().getChildFile(c.typed + juce::String("-dir"));
        folder.createDirectory();
        calls.alerts.clear();
        ASSERT_EQ(exportTo(c.project, folder.getChildFile(c.typed)), Outcome::kDone) << c.typed;
        EXPECT_TRUE(calls.dialogs.back().ended) << "OK ends the dialog";
        EXPECT_EQ(calls.dialogs.back().title, "Export Project");
        ASSERT_EQ(calls.alerts.size(), 1u);
        EXPECT_FALSE(calls.alerts[0].warning);
        EXPECT_EQ(calls.alerts[0].title, "Export Done");
        EXPECT_EQ(gui.settings[projecttransfer::kFolderSetting], folder.getFullPathName());
        EXPECT_EQ(folder.getNumberOfChildFiles(juce::File::findFiles), 1) << c.typed;

        const Bytes file = readBytes(folder.getChildFile(c.written));
        ASSERT_GE(file.size(), 2u) << c.written;
        EXPECT_EQ(file[0], 0x78) << "a zlib stream";
        EXPECT_EQ(file[1], 0x9C) << "at zlib's default level";
        const std::optional<Bytes> plain = decompressPayload(file.data(), file.size());
        ASSERT_TRUE(plain.has_value());
        juce::MemoryInputStream in(plain->data(), plain->size(), false);
        const auto patchRecords = projectsection::read(in, MorvanePresetFilterManager::kPatches);
        const auto programRecords = projectsection::read(in, MorvanePresetFilterManager::kUpperPrograms);
        ASSERT_TRUE(patchRecords && programRecords) << c.written;
        EXPECT_TRUE(in.isExhausted());
        EXPECT_EQ(identifiersOf(*patchRecords), c.patches) << c.project;
        EXPECT_EQ(identifiersOf(*programRecords), c.programs) << c.project;
        // Each record is its preset's file byte for byte.
        for (const ProjectRecord& record : *programRecords) {
            const Bytes onDisk = readBytes(findProgram(record.identifier)->getFile());
            EXPECT_EQ(Bytes(static_cast<const uint8_t*>(record.bytes.getData()),
                            static_cast<const uint8_t*>(record.bytes.getData()) + record.bytes.getSize()),
                      onDisk)
                << record.identifier;
        }
    }
    EXPECT_TRUE(modifiedPresets().empty());
}

TEST_F(ProjectTransferTest, CancelAtAnyStepWritesNothingChangesNothingAndShowsNothing) {
    const juce::File target = elsewhere.root().getChildFile("live.cve");
    const struct {
        const char* what;
        std::function<void(MVModalDialogPanel&)> dialog;
        bool chooserAsked;
    } cases[] = {
        {"Cancel in the dialog", exportDialogStep("Live", "Cancel"), false},
        {"the dialog closed", exportDialogStep("Live", nullptr), false},
        {"OK with no project chosen", exportDialogStep("", "OK"), false},
        {"Cancel in the chooser", exportDialogStep("Live", "OK"), true},
    };
    patches().setCurrentPreset(findPatch("LA"), true);
    findPatch("LA")->setName("Edited");
    const std::vector<juce::String> modified = modifiedPresets();
    const auto files = filesUnder(settings());
    for (const auto& c : cases) {
        calls.answerDialog(c.dialog);
        if (c.chooserAsked)
            calls.answerFileToSave(std::nullopt);
        EXPECT_EQ(projecttransfer::exportProject(calls, patches(), gui), Outcome::kCancelled) << c.what;
        EXPECT_TRUE(calls.allAnswered()) << c.what;
    }
    calls.answerFileToOpen(std::nullopt);
    EXPECT_EQ(projecttransfer::importProject(calls, patches(), gui), Outcome::kCancelled);

    EXPECT_TRUE(calls.alerts.empty());
    EXPECT_TRUE(gui.settings.empty()) << "no folder is remembered before one is chosen";
    EXPECT_FALSE(target.exists());
    EXPECT_EQ(filesUnder(settings()), files);
    EXPECT_EQ(modifiedPresets(), modified);
}

TEST_F(ProjectTransferTest, AFailedExportSaysSoAndLeavesNoFileBehind) {
    const juce::File regularFile = elsewhere.root().getChildFile("plain-file");
    regularFile.replaceWithText("not a folder");
    const juce::File folderNamedLikeTheFile = elsewhere.root().getChildFile("taken.cve");
    folderNamedLikeTheFile.createDirectory();
    const struct {
        const char* what;
        juce::File target;
        std::function<void()> before;
    } cases[] = {
        {"inside a regular file", regularFile.getChildFile("live.cve"), [] {}},
        {"over a folder", folderNamedLikeTheFile, [] {}},
        {"a program's file gone", elsewhere.root().getChildFile("live.cve"), [this] { bank("User/Live/PC.cvp").deleteFile(); }},
    };
    for (const auto& c : cases) {
        c.before();
        const auto outside = filesUnder(elsewhere.root());
        calls.alerts.clear();
        EXPECT_EQ(exportTo("Live", c.target), Outcome::kFailed) << c.what;
        ASSERT_EQ(calls.alerts.size(), 1u) << c.what;
        EXPECT_TRUE(calls.alerts[0].warning) << c.what;
        EXPECT_EQ(calls.alerts[0].title, "Export Failed") << c.what;
        EXPECT_EQ(filesUnder(elsewhere.root()), outside) << c.what << ": no file, whole or partial";
    }
    EXPECT_TRUE(folderNamedLikeTheFile.isDirectory());
}

TEST_F(ProjectTransferTest, TheLastFolderUsedStartsTheNextChooser) {
    const juce::File folder = elsewhere.root().getChildFile("projects");
    folder.createDirectory();
    ASSERT_EQ(exportTo("Live", folder.getChildFile("live")), Outcome::kDone);
    calls.answerFileToOpen(std::nullopt);
    projecttransfer::importProject(calls, patches(), gui);
    ASSERT_EQ(calls.chooserStarts.size(), 2u);
    EXPECT_EQ(calls.chooserStarts[0], juce::File()) << "no folder remembered yet";
    EXPECT_EQ(calls.chooserStarts[1], folder);

    // A preferences file edited by hand may hold anything.
    gui.settings[projecttransfer::kFolderSetting] = "relative/path";
    calls.answerFileToOpen(std::nullopt);
    projecttransfer::importProject(calls, patches(), gui);
    EXPECT_EQ(calls.chooserStarts.back(), juce::File());
}

TEST_F(ProjectTransferTest, DamagedOrMisnamedProjectFilesImportNothingAndSaySo) {
    const Bytes sections = liveSections();
    const Bytes good = zlibDeflate(sections);
    const auto changed = [](Bytes bytes, const std::function<void(Bytes&)>& change) {
        change(bytes);
        return bytes;
    };
    const struct {
        const char* what;
        const char* fileName;
        Bytes bytes;
    } cases[] = {
        {"sections not packed", "Tour.cve", sections},
        {"an empty file", "Tour.cve", {}},
        {"zlib cut short", "Tour.cve", Bytes(good.begin(), good.end() - 9)},
        {"zlib checksum wrong", "Tour.cve", changed(good, [](Bytes& b) { b.back() ^= 0xFF; })},
        {"text packed", "Tour.cve", zlibDeflate(Bytes{'h', 'e', 'l', 'l', 'o'})},
        {"sections cut inside the programs", "Tour.cve", zlibDeflate(Bytes(sections.begin(), sections.end() - 40))},
        {"wrong start marker", "Tour.cve", zlibDeflate(changed(sections, [](Bytes& b) { b[0] = 'X'; }))},
        {"programs where patches belong", "Tour.cve", zlibDeflate(changed(sections, [](Bytes& b) { b[10] = 1; }))},
        {"unpacks past the bound", "Tour.cve", zlibDeflate(Bytes(kMaxPayloadBytes + 1, 0), 1)},
        {"a hidden name", ".Tour.cve", good},
        {"a name of dots", "..cve", good},
        {"a blank name", "  .cve", good},
        {"a separator in the name", "a\\b.cve", good},
        {"a control character in the name", "Tour\n.cve", good},
    };
    const auto files = filesUnder(settings());
    const size_t count = presetCount();
    for (const auto& c : cases) {
        const juce::File file = elsewhere.root().getChildFile(c.fileName);
        writeBytes(file, c.bytes);
        calls.alerts.clear();
        EXPECT_EQ(importFrom(file), Outcome::kFailed) << c.what;
        ASSERT_EQ(calls.alerts.size(), 1u) << c.what;
        EXPECT_TRUE(calls.alerts[0].warning) << c.what;
        EXPECT_EQ(calls.alerts[0].title, "Import Failed") << c.what;
        EXPECT_EQ(presetCount(), count) << c.what;
        EXPECT_EQ(filesUnder(settings()), files) << c.what;
        file.deleteFile();
    }
    // Not a file to read at all.
    for (const juce::File& file : {elsewhere.root().getChildFile("missing.cve"), elsewhere.root()}) {
        calls.alerts.clear();
        EXPECT_EQ(importFrom(file), Outcome::kFailed) << file.getFullPathName();
        ASSERT_EQ(calls.alerts.size(), 1u);
        EXPECT_EQ(calls.alerts[0].title, "Import Failed");
    }
    EXPECT_EQ(filesUnder(settings()), files);
    EXPECT_TRUE(modifiedPresets().empty());
}

TEST_F(ProjectTransferTest, IdentifiersThatNameOtherPlacesStayInsideTheProjectFolderAndStayLinked) {
    const std::string hostile[] = {"../../../escape", "sub/dir", ".hidden", ""};
    std::vector<std::pair<std::string, Bytes>> programRecords;
    std::vector<std::pair<std::string, Bytes>> patchRecords;
    for (const std::string& id : hostile) {
        programRecords.push_back({id, presetBytes("CorvanProgram", "x", {}, "sound " + id)});
        patchRecords.push_back(
            {"P" + id, presetBytes("CorvanMulti", "y", {{"Program1", id}, {"Program2", id}, {"Mode", "Split"}},
                                   "multi " + id)});
    }
    Bytes sections;
    appendSection(sections, MorvanePresetFilterManager::kPatches, patchRecords);
    appendSection(sections, MorvanePresetFilterManager::kUpperPrograms, programRecords);
    const juce::File file = elsewhere.root().getChildFile("Tour.cve");
    writeBytes(file, zlibDeflate(sections));
    const auto before = filesUnder(temp.root());

    ASSERT_EQ(importFrom(file), Outcome::kDone);
    ASSERT_EQ(calls.alerts.size(), 1u);
    EXPECT_EQ(calls.alerts[0].title, "Import Done");
    // Every new file lies in the project's folder of the User bank, and nothing else changed.
    auto after = filesUnder(temp.root());
    const juce::String projectFolder = bank("User/Tour").getRelativePathFrom(temp.root()) + "/";
    for (auto it = after.begin(); it != after.end();)
        it = it->first.startsWith(projectFolder) && before.count(it->first) == 0 ? after.erase(it) : std::next(it);
    EXPECT_EQ(after, before);

    // Each patch plays the programs that travelled with it, under whatever identifier they got.
    std::set<juce::String> imported;
    patchManager().findPresetsWithAttribute("Project", "Tour", imported);
    ASSERT_EQ(imported.size(), std::size(hostile));
    for (const juce::String& id : imported) {
        log.clear();
        patches().setCurrentPreset(findPatch(id), true);
        ASSERT_EQ(log.size(), 3u) << id;
        const std::string travelled = log[2].substr(std::string("Multi:multi ").size());
        EXPECT_EQ(log[0], "Lower:sound " + travelled) << id;
        EXPECT_EQ(log[1], "Upper:sound " + travelled) << id;
    }
}

TEST(ProjectRoundTrip, AProjectMovesToAnotherLibraryUnderAFreeNameWithItsPatchesLinkedToItsOwnPrograms) {
    Library from;
    from.program("Factory/Default.cvp", "Default", "Default");
    from.patch("Factory/Default.cvm", "Default", "Default", "Default", "Default", "Whole");
    from.program("Factory/fp.cvp", "FP", "Fact Prog");
    for (const char* id : {"PA", "PB"})
        from.program(juce::String("User/Live/") + id + ".cvp", id, id);
    from.patch("User/Live/la.cvm", "LA", "Live A", "PA", "PB", "Split", {{"Project", "Live"}});
    from.patch("User/Live/lf.cvm", "LF", "Live F", "FP", "PB", "Dual", {{"Project", "Live"}});
    from.start();

    // The second library already has a project "Live" and a program of its own named PB.
    Library to;
    to.program("Factory/Default.cvp", "Default", "Default");
    to.patch("Factory/Default.cvm", "Default", "Default", "Default", "Default", "Whole");
    to.program("Factory/fp.cvp", "FP", "Fact Prog");
    to.writePreset("User/mine/PB.cvp", "CorvanProgram", "PB", "My PB", {}, "my own PB");
    to.patch("User/mine/m.cvm", "M", "Mine", "PB", "PB", "Split", {{"Project", "Live"}});
    to.start();

    ScriptedModalCalls calls;
    FakeGui gui;
    testing::TempFolder carried;
    calls.answerDialog(exportDialogStep("Live", "OK"));
    calls.answerFileToSave(carried.root().getChildFile("Live"));
    ASSERT_EQ(projecttransfer::exportProject(calls, from.patches(), gui), Outcome::kDone);
    const auto untouched = filesUnder(to.settings());
    calls.answerFileToOpen(carried.root().getChildFile("Live.cve"));
    ASSERT_EQ(projecttransfer::importProject(calls, to.patches(), gui), Outcome::kDone);
    ASSERT_EQ(calls.alerts.size(), 2u);
    EXPECT_EQ(calls.alerts[1].title, "Import Done");

    // The library's own files are as they were; the project came in beside them.
    auto now = filesUnder(to.settings());
    for (const auto& [path, bytes] : untouched)
        EXPECT_EQ(now[path], bytes) << path;
    for (const auto& [path, bytes] : now) {
        if (untouched.count(path) == 0) {
            EXPECT_TRUE(path.startsWith("User/Live_2/")) << path;
        }
    }

    std::set<juce::String> imported;
    to.patchManager().findPresetsWithAttribute("Project", "Live_2", imported);
    EXPECT_EQ(imported, (std::set<juce::String>{"LA", "LF"}));
    const juce::String newPB = to.findPatch("LA")->getAttribute("Program2");
    EXPECT_NE(newPB, "PB") << "PB was taken, so the imported one has another identifier";
    EXPECT_EQ(to.findPatch("LF")->getAttribute("Program2"), newPB);
    EXPECT_EQ(to.findPatch("LA")->getAttribute("Program1"), "PA");
    EXPECT_EQ(to.findPatch("LF")->getAttribute("Program1"), "FP") << "a factory program is named, not carried";
    EXPECT_EQ(to.findProgram("PB")->getName(), "My PB");

    // What the patches play, and that the links hold after the library is read from disk again.
    to.services.reset();
    to.start();
    to.patches().setCurrentPreset(to.findPatch("LA"), true);
    EXPECT_EQ(to.log, (std::vector<std::string>{"Lower:prog PB", "Upper:prog PA", "Multi:multi LA"}));
    to.log.clear();
    to.patches().setCurrentPreset(to.findPatch("M"), true);
    EXPECT_EQ(to.log, (std::vector<std::string>{"Lower:my own PB", "Upper:my own PB", "Multi:multi M"}));
}

TEST_F(ProjectTransferTest, TheExportDialogListsTheProjectsAtItsRealSize) {
    CorvanExportPanel panel(&patches());
    panel.setSize(CorvanExportPanel::kWidth, CorvanExportPanel::kHeight);
    juce::ComboBox* box = findNamed<juce::ComboBox>(panel, "Project");
    ASSERT_NE(box, nullptr);
    juce::StringArray items;
    for (int i = 0; i < box->getNumItems(); ++i)
        items.add(box->getItemText(i));
    EXPECT_EQ(items, (juce::StringArray{"Gala", "Live", "Other"}));
    for (juce::Component* child : panel.getChildren())
        EXPECT_TRUE(panel.getLocalBounds().contains(child->getBounds())) << child->getName();
    box->setText("Live", juce::dontSendNotification);
    keepSnapshot(snapshotOf(panel), "editor-export-panel.png");
}

} // namespace
} // namespace corvex
