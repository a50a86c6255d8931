// Posts what the program image holds to the kernel: whole blocks, single words and part commands.
#pragma once

#include <cstdint>

#include "engine/kernel/KernelMessage.h"
#include "engine/program/ProgramImage.h"

namespace corvex {

class SoftwareKernel;

class ProgramSender {
public:
    ProgramSender(SoftwareKernel& kernel, ProgramImage& image) : kernel_(kernel), image_(image) {}
    ProgramSender(const ProgramSender&) = delete;
    ProgramSender& operator=(const ProgramSender&) = delete;

    void post(const KernelMessage& message);
    void sendBlock(int section, int slot);
    // Stores the word at one index of the block and posts it under another; a word outside the block's
    // parameters (below 3 or past its length) is neither stored nor posted.
    void storeWord(int section, int slot, int storageWord, int messageWord, uint16_t value);

    void enablePart(int section) { post(KernelMessage::fromCommand(section, MessageType::EnablePart)); }
    void disablePart(int section) { post(KernelMessage::fromCommand(section, MessageType::DisablePart)); }
    void stopPart(int section) { post(KernelMessage::fromCommand(section, MessageType::StopParts)); }
    void startPart(int section) { post(KernelMessage::fromCommand(section, MessageType::StartParts)); }

    SoftwareKernel& kernel() { return kernel_; }

private:
    SoftwareKernel& kernel_;
    ProgramImage& image_;
};

} // namespace corvex
