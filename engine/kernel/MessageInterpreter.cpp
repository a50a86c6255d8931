// The interpreter of kernel word streams: framing, bounds and the action of every message type.
#include <cstring>

#include "engine/kernel/CorvexProgram.h"
#include "engine/kernel/SoftwareKernel.h"
#include "engine/modules/ModuleFramework.h"

namespace corvex {

namespace {

constexpr int kRejected = -1;

// The message types that carry an action, with the words each occupies; 0 marks module data, which
// carries its own length. Every other type, inside 12..40 or not, ends the stream.
struct MessageShape {
    int type;
    int words;
};
constexpr MessageShape kMessageShapes[] = {
    {MessageType::SetParameter, 4},
    {MessageType::SetConnectionAmount, 4},
    {MessageType::SetConnectionSecond, 4},
    {MessageType::InsertConnection, 2 + kExternalConnectionWords},
    {MessageType::RemoveConnection, 2},
    {MessageType::ReplaceConnection, 2 + kExternalConnectionWords},
    {MessageType::MidiEvent, 2},
    {MessageType::DisablePart, 2},
    {MessageType::EnablePart, 2},
    {MessageType::ModuleData, 0},
    {MessageType::ClearRemoteInput, 2},
    {MessageType::SetRemoteInput, 2},
    {MessageType::DirectNoteOn, 2},
    {MessageType::DirectNoteOff, 2},
    {MessageType::StopParts, 2},
    {MessageType::StartParts, 2},
    {MessageType::ProgramHook, 4},
    {MessageType::Bend, 2},
    {MessageType::Pressure, 2},
};

// Words of a message of this type, or -1 for a type that ends the stream.
int messageWords(int type) {
    for (const MessageShape& shape : kMessageShapes)
        if (shape.type == type) return shape.words;
    return -1;
}

bool isAmountEdit(int type) {
    return type == MessageType::SetConnectionAmount || type == MessageType::SetConnectionSecond;
}

bool isPartSection(int t) { return t >= 1 && t <= KernelBase::kPartCount; }

} // namespace

int SoftwareKernel::processMessage(const uint16_t* words, int count) {
    if (words == nullptr || count <= 0) return 0;
    int result = 0;
    int i = 0;
    while (i < count) {
        if (count - i < 2) return kRejected; // a message needs both head words
        const uint16_t* m = words + i;
        const int type = m[0] & 255;
        const int t = m[0] >> 8;
        const int lo = m[1] & 255;
        const int hi = m[1] >> 8;
        int length = messageWords(type);
        if (length < 0) return kRejected;
        if (type == MessageType::ModuleData) {
            if (count - i < 3) return kRejected;
            // A length byte of 0 lets a block longer than 255 words run to the end of the stream.
            length = (m[2] >> 8) != 0 ? (m[2] >> 8) : count - i;
            if (length < 4) return kRejected;
        }
        // Amount edits may end after their amount word.
        const int needed = isAmountEdit(type) ? 3 : length;
        if (count - i < needed) return kRejected;

        const int part = t - 1;
        switch (type) {
        case MessageType::SetParameter:
            result = executeSetParameter(t, m);
            break;
        case MessageType::SetConnectionAmount:
        case MessageType::SetConnectionSecond:
            if (!isPartSection(t) || hi >= kMaxConnections) {
                result = kRejected;
                break;
            }
            if (type == MessageType::SetConnectionAmount)
                edits_.setConnectionAmount(part, hi, static_cast<int16_t>(m[2]));
            else
                edits_.setConnectionSecond(part, hi, static_cast<int16_t>(m[2]));
            result = 0;
            break;
        case MessageType::InsertConnection:
        case MessageType::RemoveConnection:
        case MessageType::ReplaceConnection:
            if (!isPartSection(t) || hi >= kMaxConnections) {
                result = kRejected;
                break;
            }
            if (type == MessageType::InsertConnection)
                result = edits_.insertConnection(part, hi, m + 2);
            else if (type == MessageType::RemoveConnection)
                result = edits_.removeConnection(part, hi);
            else
                result = (edits_.replaceConnection(part, hi, m + 2), 0);
            break;
        case MessageType::MidiEvent:
            if (executeMidiEvent(m) < 0) result = kRejected;
            break;
        case MessageType::DisablePart:
        case MessageType::EnablePart:
            if (!isPartSection(t)) {
                result = kRejected;
                break;
            }
            program(part)->enabled = (type == MessageType::EnablePart);
            break;
        case MessageType::ModuleData:
            if (executeModuleData(t, m, length) < 0) result = kRejected;
            break;
        case MessageType::ClearRemoteInput:
            remoteInput_ = 0;
            break;
        case MessageType::SetRemoteInput:
            remoteInput_ = 1;
            break;
        case MessageType::DirectNoteOn: {
            directNoteMark_ = 1;
            const int p = t >> 4;
            if ((t & 15) != directInputChannel_) {
                result = 0;
            } else if (program(p) == nullptr || !program(p)->running || lo > 127 || hi > 127) {
                // A stopped part renders no voice and would never free one it took.
                result = kRejected;
            } else {
                const int r = allocator_.assignVoice(p, lo, hi);
                result = r < 0 ? r : 1;
            }
            break;
        }
        case MessageType::DirectNoteOff: {
            const int p = t >> 4;
            result = (program(p) == nullptr || lo > 127) ? kRejected : allocator_.releaseDirectNote(p, lo);
            break;
        }
        case MessageType::StopParts:
        case MessageType::StartParts:
            if (t == 0) {
                for (int p = 0; p < kPartCount; ++p) {
                    if (type == MessageType::StopParts) {
                        if (program(p)) program(p)->enabled = false;
                        stopPart(p);
                    } else if (partPresent(p)) {
                        startPart(p);
                    }
                }
            } else if (isPartSection(t)) {
                if (type == MessageType::StopParts) {
                    program(part)->enabled = false;
                    stopPart(part);
                } else {
                    startPart(part);
                }
            } else {
                result = kRejected;
            }
            break;
        case MessageType::ProgramHook:
            if (!isPartSection(t)) {
                result = kRejected;
                break;
            }
            program(part)->programHook(static_cast<int16_t>(m[2]), static_cast<int16_t>(m[3]));
            break;
        case MessageType::Bend:
            if (t == 0) break;
            if (!isPartSection(t)) {
                result = kRejected;
                break;
            }
            program(part)->bend = static_cast<float>(m[1]) * (1.0f / 16384.0f) - 1.0f;
            break;
        case MessageType::Pressure:
            if (program(t) == nullptr || hi > 127) {
                result = kRejected;
                break;
            }
            program(t)->pressureNote = static_cast<uint16_t>(lo);
            program(t)->pressureValue = static_cast<float>(hi) * (1.0f / 127.0f);
            break;
        default:
            break; // the remaining types in 12..40 carry no action
        }
        // A module-data message of odd length carries one pad word.
        i += (type == MessageType::ModuleData) ? length + (length & 1) : length;
    }
    return result;
}

int SoftwareKernel::executeSetParameter(int section, const uint16_t* m) {
    const int type = m[1] >> 8;
    const int group = m[1] & 255;
    const int parameter = m[2] >> 8;
    const int instance = m[2] & 255;
    const int16_t value = static_cast<int16_t>(m[3]);
    const int slot = moduleSlotIndex(instance, group, type);

    float echoValue = 0.0f;
    int inOut = value;
    if (section == 0) {
        if (slot < kFirstGlobalSlot) return kRejected;
        setGlobalParameter(slot, parameter, value, &echoValue, &inOut);
    } else if (isPartSection(section)) {
        if (slot < 0 || slot >= kPartSlotCount) return kRejected;
        ParameterRecord& record = program(section - 1)->record(slot);
        parameterSetterFor(type)(value, parameter, &echoValue, &inOut, &record, &context_);
    } else {
        return kRejected;
    }

    if (uint8_t* n = allocNotification(kParameterNotificationBytes)) {
        NotificationHeader::about(NotificationType::ParameterValue, section, group, type, instance, parameter, inOut & 255)
            .write(n);
        std::memcpy(n + NotificationHeader::kBytes, &echoValue, sizeof(echoValue));
    }
    return 0;
}

int SoftwareKernel::executeMidiEvent(const uint16_t* m) {
    const int status = m[0] >> 8;
    const int part = status & 15;
    const int kind = status >> 4;
    const int data1 = m[1] & 255;
    const int data2 = m[1] >> 8;
    CorvexProgram* p = program(part);
    if (p == nullptr || kind < 8 || data1 > 127 || data2 > 127) return kRejected;
    // Notes need a running part (a stopped one would hold the voice for ever); controllers need none.
    if ((kind == 8 || kind == 9) && !p->running) return kRejected;
    if (kind == 11 && data1 == 123) allocator_.partNotesOff(part);
    const bool arpeggiated = part < 2 && noteGenerator_.switchedOn(part);
    if (!arpeggiated) allocator_.dispatchNote(status, data1, data2);
    if ((kind == 8 || kind == 9) && data1 >= p->keyLow && data1 <= p->keyHigh)
        noteGenerator_.noteInput(data2, part, kind, data1);
    return 0;
}

int SoftwareKernel::executeModuleData(int section, const uint16_t* m, int length) {
    const int type = m[1] >> 8;
    const int group = m[1] & 255;
    const int instance = m[2] & 255;
    const int slot = moduleSlotIndex(instance, group, type);
    const uint16_t* data = m + 2; // block word j sits at data[j + 2]
    const int blockWords = length - 4;
    if (section == 0) {
        if (slot < kFirstGlobalSlot) return kRejected;
        handleModuleData(slot, blockWords, data);
        return 0;
    }
    if (!isPartSection(section) || slot < 0 || slot >= kPartSlotCount) return kRejected;
    if (slot == SlotIndex::ConnectionList) return edits_.loadConnectionList(section - 1, data, length) < 0 ? kRejected : 0;
    if (slot == SlotIndex::VoiceSetup) allocator_.loadVoiceSetup(section - 1, data, blockWords);
    CorvexProgram* p = program(section - 1);
    ParameterRecord& record = p->record(slot);
    setRecordHeader(record, slot, p->partNumber + 1);
    blockLoaderFor(record.type)(data, blockWords, &record, &context_);
    return 0;
}

} // namespace corvex
