// corvex-factorybank <folder>: writes the factory bank's preset files into folder (resources/factory in the
// repository), replacing those of an earlier run.
#include <cstdio>

#include "tools/factorybank/FactoryBankGenerator.h"

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: corvex-factorybank <folder>\n");
        return 2;
    }
    const juce::File folder = juce::File::getCurrentWorkingDirectory().getChildFile(juce::String::fromUTF8(argv[1]));
    corvex::factory::FactoryBankGenerator generator;
    return generator.generate(folder) ? 0 : 1;
}
