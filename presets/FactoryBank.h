// The factory bank compiled into the program, and its installation into the settings folder's "Factory"
// bank, so that a first start finds a library of sounds.
#pragma once

#include <cstddef>
#include <vector>

#include <juce_core/juce_core.h>

#include "instrument/MorvaneFindFolder.h"

namespace corvex {

struct FactoryBankFile {
    juce::String name; // the file's name inside the "Factory" bank
    const void* data;
    size_t size;
};

// Every preset file of the bank, in name order.
const std::vector<FactoryBankFile>& factoryBankFiles();

// The bank folder the installer writes: the settings folder's "Factory".
juce::File factoryBankFolder(const MorvaneFindFolder& folder);

// Writes each compiled-in file that the "Factory" bank does not hold yet, creating the folders on the way.
// A file that exists (a user's, or one installed before) is never touched, whatever it holds. Each file is
// written whole or not at all. Once every file is there a stamp records the installation, and later starts
// write nothing, so a preset the user deleted stays deleted. False, with the reasons on stderr, when a file
// could not be written; the next start tries the missing ones again.
bool installFactoryBank(const MorvaneFindFolder& folder);

} // namespace corvex
