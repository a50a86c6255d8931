// A message to the kernel: a short stream of 16-bit words that the kernel's interpreter executes.
#pragma once

#include <cstdint>

namespace corvex {

class KernelMessageBase {
public:
    virtual ~KernelMessageBase() = default;
};

class KernelMessage : public KernelMessageBase {
public:
    static constexpr int kMaxWords = 510;

    // Which builder made the message; kept with it through the ring for diagnostics.
    enum Class : int32_t {
        Fresh = 0,
        CommandOrWordPair = 1,
        ParameterSet = 2,
        ConnectionAmount = 3,
        ModuleData = 4,
        ConnectionList = 5,
        ConnectionInsert = 6,
        ConnectionReplace = 7,
        ConnectionRemove = 8,
        ControlChange = 9,
    };

    uint16_t words[kMaxWords];
    int32_t size = 1;      // length in 32-bit units: half the words, rounded up
    int32_t wordCount = 1; // valid words
    int32_t messageClass = Fresh;

    KernelMessage() { words[0] = 0; }

    void copyFrom(const KernelMessage& other);

    // Builders: each fills the words of one message, its word count, size and class.
    static KernelMessage fromCommand(int target, int type);
    static KernelMessage fromWordPair(uint16_t word0, uint16_t word1);
    static KernelMessage makeParameterSet(int section, int moduleType, int group, int instance, int wordIndex,
                                          uint16_t value);
    static KernelMessage makeConnectionAmount(int section, int recordIndex, uint16_t amount);
    // A block longer than 251 words carries a length byte of 0: it runs to the end of the message.
    static KernelMessage makeModuleData(int section, int moduleType, int group, int instance, const uint16_t* block,
                                        int blockWords);
    // One chunk of at most 31 records of eight external words each.
    static KernelMessage makeConnectionList(int section, int chunkIndex, bool last, const uint16_t* records,
                                            int recordCount);
    static KernelMessage makeAddConnection(int section, int recordIndex, const uint16_t* record);
    static KernelMessage makeReplaceConnection(int section, int recordIndex, const uint16_t* record);
    static KernelMessage makeRemoveConnection(int section, int recordIndex);
    // Controller 123 (all notes off) for a kernel part 0..3.
    static KernelMessage makeControlChange(int part);

    static constexpr int kMaxRecordsPerListMessage = 31;

private:
    void finish(int count, Class builder) {
        wordCount = count;
        size = (count + 1) / 2;
        messageClass = builder;
    }
};

// Message types, the low byte of a message's first word.
namespace MessageType {
constexpr int SetParameter = 12;
constexpr int SetConnectionAmount = 13;
constexpr int SetConnectionSecond = 14;
constexpr int InsertConnection = 15;
constexpr int RemoveConnection = 16;
constexpr int ReplaceConnection = 17;
constexpr int MidiEvent = 18;
constexpr int ParameterEcho = 19;
constexpr int DisablePart = 20;
constexpr int EnablePart = 21;
constexpr int ModuleData = 22;
constexpr int ClearRemoteInput = 24;
constexpr int SetRemoteInput = 25;
constexpr int DirectNoteOn = 26;
constexpr int DirectNoteOff = 27;
constexpr int StopParts = 32;
constexpr int StartParts = 34;
constexpr int ProgramHook = 35;
constexpr int Bend = 36;
constexpr int DataBlock = 37;
constexpr int Pressure = 40;
} // namespace MessageType

} // namespace corvex
