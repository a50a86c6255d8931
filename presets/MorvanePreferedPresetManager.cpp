// The numbered preferred-preset slots of one preset manager, kept in "prefered_preset_<kind>.prefs".
#include "presets/MorvanePreferedPresetManager.h"

#include <cstring>
#include <iostream>

#include "instrument/DiskString.h"
#include "instrument/SafeFileRead.h"
#include "presets/SafeFileWrite.h"

namespace corvex {

namespace {
// A slot is an identifier of a few dozen bytes and a front panel has a handful of buttons.
constexpr int64_t kMaxFileBytes = 1 << 20;
} // namespace

MorvanePreferedPresetManager::MorvanePreferedPresetManager(int kind, const MorvaneFindFolder& folder)
    : file_(folder.getSettingsFolder().getChildFile("prefered_preset_" + juce::String(kind) + ".prefs")) {
    read();
}

void MorvanePreferedPresetManager::read() {
    const FileRead read = readRegularFile(file_, kMaxFileBytes);
    if (read.status != FileRead::kRead) {
        if (read.status != FileRead::kMissing)
            std::cerr << "Preferred presets " << file_.getFullPathName() << " " << whyUnread(read.status)
                      << ", ignored\n";
        return;
    }
    const juce::MemoryBlock& bytes = read.bytes;
    const char* data = static_cast<const char*>(bytes.getData());
    const size_t size = bytes.getSize();
    // Records are taken in file order; their slot numbers are not trusted. A cut-off number is skipped and
    // the last string runs to the end of the file.
    size_t position = 0;
    while (position < size) {
        position += std::min<size_t>(4, size - position);
        const size_t length = strnlen(data + position, size - position);
        names_.add(stringFromDisk(std::string_view(data + position, length)));
        position += length + 1;
    }
}

bool MorvanePreferedPresetManager::save(int index, const juce::String& identifier) {
    while (names_.size() < index)
        names_.add({});
    if (index >= 0 && index < names_.size())
        names_.set(index, identifier);
    else if (index >= 0)
        names_.add(identifier);

    juce::MemoryOutputStream out;
    for (int slot = 0; slot < names_.size(); ++slot) {
        out.writeInt(slot);
        out.writeString(names_[slot]);
    }
    // An empty folder in the file's place would stop the rename; a folder holding anything stays and the
    // write fails.
    if (file_.isDirectory())
        file_.deleteFile();
    return replaceFileSafely(file_, out.getMemoryBlock());
}

juce::Array<int> MorvanePreferedPresetManager::findName(const juce::String& identifier) const {
    juce::Array<int> slots;
    for (int slot = 0; slot < names_.size(); ++slot)
        if (names_[slot] == identifier)
            slots.add(slot);
    return slots;
}

juce::String MorvanePreferedPresetManager::getName(int index) const {
    return index >= 0 && index < names_.size() ? names_[index] : juce::String();
}

} // namespace corvex
