// The factory bank compiled into the program, and its installation into the settings folder's "Factory"
// bank.
#include "presets/FactoryBank.h"

#include <algorithm>
#include <iostream>

#include <FactoryBankData.h>

#include "instrument/SafeFileRead.h"
#include "presets/SafeFileWrite.h"

namespace corvex {

namespace {

// Names the bank's version: a bank that gains presets changes it, and the missing files are installed once.
constexpr const char* kStampName = ".factory-installed";
constexpr const char* kBankVersion = "1";

} // namespace

const std::vector<FactoryBankFile>& factoryBankFiles() {
    static const std::vector<FactoryBankFile> files = [] {
        std::vector<FactoryBankFile> list;
        for (int i = 0; i < FactoryBankData::namedResourceListSize; ++i) {
            int size = 0;
            const char* data = FactoryBankData::getNamedResource(FactoryBankData::namedResourceList[i], size);
            if (data != nullptr && size > 0)
                list.push_back({juce::String::fromUTF8(FactoryBankData::originalFilenames[i]), data,
                                static_cast<size_t>(size)});
        }
        std::sort(list.begin(), list.end(), [](const auto& a, const auto& b) { return a.name < b.name; });
        return list;
    }();
    return files;
}

juce::File factoryBankFolder(const MorvaneFindFolder& folder) {
    return folder.getSettingsFolder().getChildFile("Factory");
}

bool installFactoryBank(const MorvaneFindFolder& folder) {
    const juce::File bank = factoryBankFolder(folder);
    const juce::File stamp = bank.getChildFile(kStampName);
    // A stamp is a few bytes: whatever is larger, or no regular file, is no stamp, and is never read whole.
    const FileRead read = readRegularFile(stamp, 64);
    if (read.status == FileRead::kRead && read.bytes.toString() == kBankVersion) return true;

    bool installed = true;
    for (const FactoryBankFile& file : factoryBankFiles()) {
        const juce::File target = bank.getChildFile(file.name);
        // exists(), not existsAsFile(): a folder of that name is the user's too.
        if (target.exists()) continue;
        if (!replaceFileSafely(target, file.data, file.size)) {
            std::cerr << "Factory preset " << target.getFullPathName() << " not installed\n";
            installed = false;
        }
    }
    if (installed && !replaceFileSafely(stamp, kBankVersion, std::char_traits<char>::length(kBankVersion))) {
        std::cerr << "Factory bank installed, but its stamp " << stamp.getFullPathName() << " was not written\n";
        installed = false;
    }
    return installed;
}

} // namespace corvex
