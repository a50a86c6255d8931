// The message thread's copy of everything the kernel plays, and the one door callers edit it through:
// the image of its blocks, the parts' connection lists, the streams and the multi settings are each kept
// by an object of their own, and every edit is posted to the kernel as it is made.
#pragma once

#include <cstdint>

#include "engine/kernel/KernelMessage.h"
#include "engine/modules/ConnectionManager.h"
#include "engine/modules/ModuleSlots.h"
#include "engine/program/ModuleBlocks.h"
#include "engine/program/MultiSettings.h"
#include "engine/program/PartConnections.h"
#include "engine/program/ProgramImage.h"
#include "engine/program/ProgramSender.h"
#include "engine/program/ProgramStreams.h"
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
    static constexpr int kPartCount = ProgramImage::kPartCount;
    static constexpr int kConnectionListAt = ProgramImage::kConnectionListAt;

    using KeyMode = MultiSettings::KeyMode;
    static constexpr KeyMode Whole = MultiSettings::Whole;
    static constexpr KeyMode Dual = MultiSettings::Dual;
    static constexpr KeyMode Split = MultiSettings::Split;

    explicit CorvanKernelProgram(SoftwareKernel& kernel);
    CorvanKernelProgram(const CorvanKernelProgram&) = delete;
    CorvanKernelProgram& operator=(const CorvanKernelProgram&) = delete;

    void initialise() override;
    virtual void loadInitPart(int layer);
    virtual void sendPart(int section);
    void loadInitConnections(int section) { connections_.sendInitial(section); }

    // Blocks. Section 0 has the kernel-global blocks, sections 1..4 the parts' blocks of slots 0..31.
    using Block = ProgramImage::Block;
    Block getBlock(int section, int slot) { return image_.block(section, slot); }
    uint16_t* getBlockAddress(int section, int slot) { return getBlock(section, slot).words; }
    const uint16_t* sectionImage(int section) const { return image_.area(section); }
    void writeModuleBlock(int slot, int layer, int state) { image_.writeModuleBlock(slot, layer, state); }

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
                            int destinationPort, uint16_t amount) {
        return connections_.setAmount(section, sourceSlot, sourcePort, kind, destinationSlot, destinationPort, amount);
    }
    int connect(int section, int sourceSlot, int sourcePort, int kind, int destinationSlot, int destinationPort,
                uint16_t amount, uint16_t second) {
        return connections_.connect(section, sourceSlot, sourcePort, kind, destinationSlot, destinationPort, amount,
                                    second);
    }
    int setDoubleConnection(int section, int sourceSlotA, int sourcePortA, int sourceSlotB, int sourcePortB, int kind,
                            int destinationSlot, int destinationPort, uint16_t amount, uint16_t second, int mode) {
        return connections_.setDouble(section, sourceSlotA, sourcePortA, sourceSlotB, sourcePortB, kind,
                                      destinationSlot, destinationPort, amount, second, mode);
    }
    int disconnect(int section, int sourceSlot, int sourcePort, int kind, int destinationSlot, int destinationPort) {
        return connections_.disconnect(section, sourceSlot, sourcePort, kind, destinationSlot, destinationPort);
    }
    int findConnection(int section, int sourceSlot, int sourcePort, int kind, int destinationSlot,
                       int destinationPort) const {
        return connections_.find(section, sourceSlot, sourcePort, kind, destinationSlot, destinationPort);
    }
    int16_t getConnectionAmount(int section, int sourceSlot, int sourcePort, int kind, int destinationSlot,
                                int destinationPort) const {
        return connections_.amount(section, sourceSlot, sourcePort, kind, destinationSlot, destinationPort);
    }
    void sendBlock(int section, int slot) { sender_.sendBlock(section, slot); }
    void sendConnections(int section, const ConnectionRecord* records, int count) {
        connections_.send(section, records, count);
    }
    const ConnectionManager* connections(int section) const { return connections_.of(section); }

    // Streams: 'prog' holds one part, 'mult' the kernel-global blocks. A stream that does not parse
    // leaves the image as it was; the section is restarted either way.
    bool writePart(int section, WordOutputStream& out) const { return streams_.writePart(section, out); }
    bool readPart(int section, WordInputStream& in);
    // Whether readPart would take the stream; the image and the kernel are left alone.
    bool checkPart(int section, WordInputStream& in) const;
    bool writeMultiBlocks(WordOutputStream& out) const { return streams_.writeMultiBlocks(out); }

    // Multi settings.
    void setKeyMode(int mode) { multi_.setKeyMode(mode); }
    int getKeyMode() const { return multi_.keyMode(); }
    void setSplitKey(int key) { multi_.setSplitKey(key); }
    int getSplitKey() const { return multi_.splitKey(); }
    void setSplitPoint() { multi_.setSplitPoint(); }
    void setScaledWord(float v) { multi_.setVolume(v); }
    float getScaledWord() const { return multi_.volume(); }
    void setLayerBalance(float v) { multi_.setLayerBalance(v); }
    float getLayerBalance() const { return multi_.layerBalance(); }
    void setBend(float v) { multi_.setBend(v); }
    float getBend() const { return multi_.bend(); }
    void setHold(int layer, bool on) { multi_.setHold(layer, on); }
    bool getHold(int layer) const { return multi_.hold(layer); }
    void applyVoiceAssign() { multi_.applyVoiceAssign(); }
    void setPartAssignMode(int layer, int mode) { multi_.setPartAssignMode(layer, mode); }
    void setEffectType(int effectIndex, int selector) { multi_.setEffectType(effectIndex, selector); }
    int getEffectType(int effectIndex) const { return multi_.effectType(effectIndex); }

    void setVoiceAssignMode(int mode) { multi_.setVoiceAssignMode(mode); }
    int getVoiceAssignMode() const { return multi_.voiceAssignMode(); }
    void setArpeggiatorMode(int mode) { multi_.setArpeggiatorMode(mode); }
    int getArpeggiatorMode() const { return multi_.arpeggiatorMode(); }
    void setAssignParameters(int polyphony, int priority, int unison) {
        multi_.setAssignParameters(polyphony, priority, unison);
    }
    int polyphony() const { return multi_.polyphony(); }
    int notePriority() const { return multi_.notePriority(); }
    int unisonVoices() const { return multi_.unisonVoices(); }

    // Part commands.
    void enablePart(int section) { sender_.enablePart(section); }
    void disablePart(int section) { sender_.disablePart(section); }
    void stopPart(int section) { sender_.stopPart(section); }
    void startPart(int section) { sender_.startPart(section); }

    SoftwareKernel& kernel() { return sender_.kernel(); }

private:
    // Declared in the order they are built: each one after those it holds.
    ProgramImage image_;
    ProgramSender sender_;
    PartConnections connections_;
    ProgramStreams streams_;
    MultiSettings multi_;
};

} // namespace corvex
