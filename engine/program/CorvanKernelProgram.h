// The message thread's copy of everything the kernel plays: block images, connection lists, multi settings.
#pragma once

#include <cstdint>

#include "engine/kernel/KernelMessage.h"
#include "engine/modules/ModuleSlots.h"
#include "engine/modules/ConnectionManager.h"
#include "engine/program/ModuleBlocks.h"
#include "engine/program/WordStream.h"

namespace corvex {

class SoftwareKernel;

class SoftwareKernelProgram {
public:
    virtual ~SoftwareKernelProgram() = default;
    virtual void initialise() = 0;
};

class CorvanKernelProgram : public SoftwareKernelProgram {
public:
    static constexpr int kPartCount = 4;
    static constexpr int kConnectionListAt = 910; // count word, then 96 records of four words

    enum KeyMode { Whole = 0, Dual = 1, Split = 2 };

    explicit CorvanKernelProgram(SoftwareKernel& kernel);

    void initialise() override;
    virtual void loadInitPart(int layer);
    virtual void sendPart(int section);
    void loadInitConnections(int section);

    // Blocks. Section 0 has the kernel-global blocks, sections 1..4 the parts' blocks of slots 0..31.
    struct Block {
        uint16_t* words = nullptr;
        int length = 0;
    };
    Block getBlock(int section, int slot);
    uint16_t* getBlockAddress(int section, int slot) { return getBlock(section, slot).words; }
    const uint16_t* sectionImage(int section) const;
    void writeModuleBlock(int slot, int layer, int state);

    // Parameter senders: each edits the image, then posts the matching message.
    void setParameter(int section, int slot, int wordIndex, float v);
    void setParameterWord(int section, int slot, int wordIndex, int alternateIndex, uint16_t value);
    // Stores the word at one index of the block and posts it under another. An effect slot holds its
    // hosted effect's block from word 10 on, but the kernel hands a slot's parameter numbers to the hosted
    // effect unchanged: its parameter p is stored at word p + 10 and posted as p. A message word must fit
    // the message's byte.
    void setParameterWordAs(int section, int slot, int storageWord, int messageWord, uint16_t value);
    // A word of the image read as a signed 16-bit value (0 for a word outside the block), and the same
    // scaled so that 16384 reads 1.0.
    int16_t getParameterWord(int section, int slot, int wordIndex);
    float getParameter(int section, int slot, int wordIndex);
    int setConnectionAmount(int section, int sourceSlot, int sourcePort, int kind, int destinationSlot,
                            int destinationPort, uint16_t amount);
    int connect(int section, int sourceSlot, int sourcePort, int kind, int destinationSlot, int destinationPort,
                uint16_t amount, uint16_t second);
    int setDoubleConnection(int section, int sourceSlotA, int sourcePortA, int sourceSlotB, int sourcePortB, int kind,
                            int destinationSlot, int destinationPort, uint16_t amount, uint16_t second, int mode);
    int disconnect(int section, int sourceSlot, int sourcePort, int kind, int destinationSlot, int destinationPort);
    int findConnection(int section, int sourceSlot, int sourcePort, int kind, int destinationSlot,
                       int destinationPort) const;
    int16_t getConnectionAmount(int section, int sourceSlot, int sourcePort, int kind, int destinationSlot,
                                int destinationPort) const;
    void sendBlock(int section, int slot);
    void sendConnections(int section, const ConnectionRecord* records, int count);
    const ConnectionManager* connections(int section) const;

    // Streams: 'prog' holds one part, 'mult' the kernel-global blocks. A stream that does not parse
    // leaves the image as it was; the section is restarted either way.
    bool writePart(int section, WordOutputStream& out) const;
    bool readPart(int section, WordInputStream& in);
    // Whether readPart would take the stream; the image and the kernel are left alone.
    bool checkPart(int section, WordInputStream& in) const;
    bool writeMultiBlocks(WordOutputStream& out) const;

    // Multi settings.
    void setKeyMode(int mode);
    int getKeyMode() const { return keyMode_; }
    void setSplitKey(int key) { splitKey_ = key; }
    int getSplitKey() const { return splitKey_; }
    void setSplitPoint();
    void setScaledWord(float v);
    float getScaledWord() const;
    void setLayerBalance(float v);
    float getLayerBalance() const;
    void setBend(float v);
    float getBend() const { return bend_; }
    void setHold(int layer, bool on);
    bool getHold(int layer) const { return (layer == 0 || layer == 1) && hold_[layer] != 0; }
    void applyVoiceAssign();
    void setPartAssignMode(int layer, int mode);
    void setEffectType(int effectIndex, int selector);
    int getEffectType(int effectIndex) const;

    void setVoiceAssignMode(int mode) { voiceAssignMode_ = mode; }
    int getVoiceAssignMode() const { return voiceAssignMode_; }
    void setArpeggiatorMode(int mode) { arpeggiatorMode_ = mode; }
    int getArpeggiatorMode() const { return arpeggiatorMode_; }
    void setAssignParameters(int polyphony, int priority, int unison);
    int polyphony() const { return polyphony_; }
    int notePriority() const { return notePriority_; }
    int unisonVoices() const { return unisonVoices_; }

    // Part commands.
    void enablePart(int section) { post(KernelMessage::fromCommand(section, MessageType::EnablePart)); }
    void disablePart(int section) { post(KernelMessage::fromCommand(section, MessageType::DisablePart)); }
    void stopPart(int section) { post(KernelMessage::fromCommand(section, MessageType::StopParts)); }
    void startPart(int section) { post(KernelMessage::fromCommand(section, MessageType::StartParts)); }

    SoftwareKernel& kernel() { return kernel_; }

private:
    struct ParsedStream;

    void post(const KernelMessage& message);
    bool validPart(int section) const { return section >= 1 && section <= kPartCount; }
    uint16_t* partArea(int section) { return parts_[section - 1]; }
    uint16_t* keyRangeGroup(int part) { return section0_ + kModuleSlots[33].blockAt + 7 + 10 * (part - 1); }
    uint16_t* runnerBlock() { return section0_ + kModuleSlots[34].blockAt; }
    const uint16_t* runnerBlock() const { return section0_ + kModuleSlots[34].blockAt; }
    void setPartKeys(int part, int low, int high);
    void writeBlockWords(WordOutputStream& out, const uint16_t* block, int length) const;
    bool parseStream(int section, WordInputStream& in, ParsedStream& parsed) const;

    SoftwareKernel& kernel_;
    uint16_t section0_[kGlobalSectionWords] = {};
    uint16_t parts_[kPartCount][kPartAreaWords] = {};
    int blockState_ = -1;
    ConnectionManager managers_[kPartCount];

    int keyMode_ = Whole;
    int voiceAssignMode_ = 3;
    int arpeggiatorMode_ = 0;
    int polyphony_ = 32;
    int notePriority_ = 2;
    int unisonVoices_ = 2;
    int splitKey_ = 60;
    float bend_ = 0.5f;
    uint8_t hold_[2] = {0, 0};
};

} // namespace corvex
