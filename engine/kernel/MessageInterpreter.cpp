// The interpreter of kernel word streams: framing and bounds, then one handler per message type.
#include <cstring>
#include <optional>

#include "engine/kernel/CorvexProgram.h"
#include "engine/kernel/SoftwareKernel.h"
#include "engine/modules/ModuleFramework.h"

namespace corvex {

namespace {

constexpr int kRejected = -1;

bool isPartSection(int t) { return t >= 1 && t <= KernelBase::kPartCount; }

// One framed message: its words and how many it occupies (without the pad of module data).
struct Message {
    const uint16_t* words;
    int length;

    int section() const { return words[0] >> 8; } // 0 the kernel, 1..4 a part (most types)
    int part() const { return section() - 1; }
    int lo() const { return words[1] & 255; }
    int hi() const { return words[1] >> 8; }
    int16_t signedWord(int i) const { return static_cast<int16_t>(words[i]); }
};

// A connection edit names a part and one of its records.
bool namesConnection(const Message& m) { return isPartSection(m.section()) && m.hi() < kMaxConnections; }

} // namespace

// Each handler answers the stream's new result, or nothing when the message leaves it as it was.
struct SoftwareKernel::MessageHandlers {
    using Result = std::optional<int>;
    static constexpr Result kKeeps = std::nullopt;

    // The types that carry an action, with the words each occupies; 0 marks module data, which
    // carries its own length. Every other type, inside 12..40 or not, ends the stream.
    struct Kind {
        int type;
        int words;
        Result (*handle)(SoftwareKernel&, const Message&);
    };
    static const Kind kKinds[];
    static const Kind* find(int type);

    static Result disablePart(SoftwareKernel& k, const Message& m) { return enablePart(k, m, false); }
    static Result enablePart(SoftwareKernel& k, const Message& m) { return enablePart(k, m, true); }

    static Result setParameter(SoftwareKernel& k, const Message& m) {
        const int section = m.section();
        const int type = m.hi();
        const int group = m.lo();
        const int parameter = m.words[2] >> 8;
        const int instance = m.words[2] & 255;
        const int16_t value = m.signedWord(3);
        const int slot = moduleSlotIndex(instance, group, type);

        float echoValue = 0.0f;
        int inOut = value;
        if (section == 0) {
            if (slot < kFirstGlobalSlot) return kRejected;
            k.setGlobalParameter(slot, parameter, value, &echoValue, &inOut);
        } else if (isPartSection(section)) {
            if (slot < 0 || slot >= kPartSlotCount) return kRejected;
            ParameterRecord& record = k.program(section - 1)->record(slot);
            parameterSetterFor(type)(value, parameter, &echoValue, &inOut, &record, &k.context_);
        } else {
            return kRejected;
        }

        if (uint8_t* n = k.allocNotification(kParameterNotificationBytes)) {
            NotificationHeader::about(NotificationType::ParameterValue, section, group, type, instance, parameter, inOut & 255)
                .write(n);
            std::memcpy(n + NotificationHeader::kBytes, &echoValue, sizeof(echoValue));
        }
        return 0;
    }

    static Result setConnectionAmount(SoftwareKernel& k, const Message& m) {
        if (!namesConnection(m)) return kRejected;
        k.edits_.setConnectionAmount(m.part(), m.hi(), m.signedWord(2));
        return 0;
    }

    static Result setConnectionSecond(SoftwareKernel& k, const Message& m) {
        if (!namesConnection(m)) return kRejected;
        k.edits_.setConnectionSecond(m.part(), m.hi(), m.signedWord(2));
        return 0;
    }

    static Result insertConnection(SoftwareKernel& k, const Message& m) {
        if (!namesConnection(m)) return kRejected;
        return k.edits_.insertConnection(m.part(), m.hi(), m.words + 2);
    }

    static Result removeConnection(SoftwareKernel& k, const Message& m) {
        if (!namesConnection(m)) return kRejected;
        return k.edits_.removeConnection(m.part(), m.hi());
    }

    static Result replaceConnection(SoftwareKernel& k, const Message& m) {
        if (!namesConnection(m)) return kRejected;
        k.edits_.replaceConnection(m.part(), m.hi(), m.words + 2);
        return 0;
    }

    // The section byte carries a MIDI status whose low nibble is the part.
    static Result midiEvent(SoftwareKernel& k, const Message& m) {
        const int status = m.section();
        const int part = status & 15;
        const int kind = status >> 4;
        const int data1 = m.lo();
        const int data2 = m.hi();
        CorvexProgram* p = k.program(part);
        if (p == nullptr || kind < 8 || data1 > 127 || data2 > 127) return kRejected;
        // Notes need a running part (a stopped one would hold the voice for ever); controllers need none.
        if ((kind == 8 || kind == 9) && !p->running) return kRejected;
        if (kind == 11 && data1 == 123) k.allocator_.partNotesOff(part);
        const bool arpeggiated = part < 2 && k.noteGenerator_.switchedOn(part);
        if (!arpeggiated) k.allocator_.dispatchNote(status, data1, data2);
        if ((kind == 8 || kind == 9) && data1 >= p->keyLow && data1 <= p->keyHigh)
            k.noteGenerator_.noteInput(data2, part, kind, data1);
        return kKeeps;
    }

    static Result enablePart(SoftwareKernel& k, const Message& m, bool on) {
        if (!isPartSection(m.section())) return kRejected;
        k.program(m.part())->enabled = on;
        return kKeeps;
    }

    static Result moduleData(SoftwareKernel& k, const Message& m) {
        const int section = m.section();
        const int type = m.hi();
        const int group = m.lo();
        const int instance = m.words[2] & 255;
        const int slot = moduleSlotIndex(instance, group, type);
        const uint16_t* data = m.words + 2; // block word j sits at data[j + 2]
        const int blockWords = m.length - 4;
        if (section == 0) {
            if (slot < kFirstGlobalSlot) return kRejected;
            k.handleModuleData(slot, blockWords, data);
            return kKeeps;
        }
        if (!isPartSection(section) || slot < 0 || slot >= kPartSlotCount) return kRejected;
        if (slot == SlotIndex::ConnectionList)
            return k.edits_.loadConnectionList(section - 1, data, m.length) < 0 ? Result(kRejected) : kKeeps;
        if (slot == SlotIndex::VoiceSetup) k.allocator_.loadVoiceSetup(section - 1, data, blockWords);
        CorvexProgram* p = k.program(section - 1);
        ParameterRecord& record = p->record(slot);
        setRecordHeader(record, slot, p->partNumber + 1);
        blockLoaderFor(record.type)(data, blockWords, &record, &k.context_);
        return kKeeps;
    }

    static Result clearRemoteInput(SoftwareKernel& k, const Message&) {
        k.remoteInput_ = 0;
        return kKeeps;
    }

    static Result setRemoteInput(SoftwareKernel& k, const Message&) {
        k.remoteInput_ = 1;
        return kKeeps;
    }

    // Direct notes carry the part in the high nibble of the section byte and the channel in the low one.
    static Result directNoteOn(SoftwareKernel& k, const Message& m) {
        k.directNoteMark_ = 1;
        const int t = m.section();
        const int p = t >> 4;
        if ((t & 15) != k.directInputChannel_) return 0;
        // A stopped part renders no voice and would never free one it took.
        if (k.program(p) == nullptr || !k.program(p)->running || m.lo() > 127 || m.hi() > 127) return kRejected;
        const int r = k.allocator_.assignVoice(p, m.lo(), m.hi());
        return r < 0 ? r : 1;
    }

    static Result directNoteOff(SoftwareKernel& k, const Message& m) {
        const int p = m.section() >> 4;
        if (k.program(p) == nullptr || m.lo() > 127) return kRejected;
        return k.allocator_.releaseDirectNote(p, m.lo());
    }

    // Section 0 stops every part; a stopped part is disabled too.
    static Result stopParts(SoftwareKernel& k, const Message& m) {
        if (m.section() == 0) {
            for (int p = 0; p < kPartCount; ++p) {
                if (k.program(p)) k.program(p)->enabled = false;
                k.stopPart(p);
            }
            return kKeeps;
        }
        if (!isPartSection(m.section())) return kRejected;
        k.program(m.part())->enabled = false;
        k.stopPart(m.part());
        return kKeeps;
    }

    // Section 0 starts the parts the key-range block marks present.
    static Result startParts(SoftwareKernel& k, const Message& m) {
        if (m.section() == 0) {
            for (int p = 0; p < kPartCount; ++p)
                if (k.partPresent(p)) k.startPart(p);
            return kKeeps;
        }
        if (!isPartSection(m.section())) return kRejected;
        k.startPart(m.part());
        return kKeeps;
    }

    static Result programHook(SoftwareKernel& k, const Message& m) {
        if (!isPartSection(m.section())) return kRejected;
        k.program(m.part())->programHook(m.signedWord(2), m.signedWord(3));
        return kKeeps;
    }

    // Word 1 is the bend, 0..32768 for -1..+1; section 0 is accepted and ignored.
    static Result bend(SoftwareKernel& k, const Message& m) {
        if (m.section() == 0) return kKeeps;
        if (!isPartSection(m.section())) return kRejected;
        k.program(m.part())->bend = static_cast<float>(m.words[1]) * (1.0f / 16384.0f) - 1.0f;
        return kKeeps;
    }

    // Pressure names its part 0..3 directly; note 255 is channel pressure.
    static Result pressure(SoftwareKernel& k, const Message& m) {
        CorvexProgram* p = k.program(m.section());
        if (p == nullptr || m.hi() > 127) return kRejected;
        p->pressureNote = static_cast<uint16_t>(m.lo());
        p->pressureValue = static_cast<float>(m.hi()) * (1.0f / 127.0f);
        return kKeeps;
    }
};

const SoftwareKernel::MessageHandlers::Kind SoftwareKernel::MessageHandlers::kKinds[] = {
    {MessageType::SetParameter, 4, &setParameter},
    {MessageType::SetConnectionAmount, 4, &setConnectionAmount},
    {MessageType::SetConnectionSecond, 4, &setConnectionSecond},
    {MessageType::InsertConnection, 2 + kExternalConnectionWords, &insertConnection},
    {MessageType::RemoveConnection, 2, &removeConnection},
    {MessageType::ReplaceConnection, 2 + kExternalConnectionWords, &replaceConnection},
    {MessageType::MidiEvent, 2, &midiEvent},
    {MessageType::DisablePart, 2, &disablePart},
    {MessageType::EnablePart, 2, &enablePart},
    {MessageType::ModuleData, 0, &moduleData},
    {MessageType::ClearRemoteInput, 2, &clearRemoteInput},
    {MessageType::SetRemoteInput, 2, &setRemoteInput},
    {MessageType::DirectNoteOn, 2, &directNoteOn},
    {MessageType::DirectNoteOff, 2, &directNoteOff},
    {MessageType::StopParts, 2, &stopParts},
    {MessageType::StartParts, 2, &startParts},
    {MessageType::ProgramHook, 4, &programHook},
    {MessageType::Bend, 2, &bend},
    {MessageType::Pressure, 2, &pressure},
};

const SoftwareKernel::MessageHandlers::Kind* SoftwareKernel::MessageHandlers::find(int type) {
    for (const Kind& kind : kKinds)
        if (kind.type == type) return &kind;
    return nullptr;
}

namespace {

// Words the message at `m` occupies, of the `available` left in the stream, or -1 when it cannot be
// framed. `m` holds at least its two head words.
int frameLength(int type, int shapeWords, const uint16_t* m, int available) {
    int length = shapeWords;
    if (type == MessageType::ModuleData) {
        if (available < 3) return -1;
        // A length byte of 0 lets a block longer than 255 words run to the end of the stream.
        length = (m[2] >> 8) != 0 ? (m[2] >> 8) : available;
        if (length < 4) return -1;
    }
    // Amount edits may end after their amount word.
    const bool amountEdit = type == MessageType::SetConnectionAmount || type == MessageType::SetConnectionSecond;
    const int needed = amountEdit ? 3 : length;
    return available < needed ? -1 : length;
}

} // namespace

int SoftwareKernel::processMessage(const uint16_t* words, int count) {
    if (words == nullptr || count <= 0) return 0;
    int result = 0;
    int i = 0;
    while (i < count) {
        if (count - i < 2) return kRejected; // a message needs both head words
        const uint16_t* m = words + i;
        const MessageHandlers::Kind* kind = MessageHandlers::find(m[0] & 255);
        if (kind == nullptr) return kRejected;
        const int length = frameLength(kind->type, kind->words, m, count - i);
        if (length < 0) return kRejected;
        if (const MessageHandlers::Result r = kind->handle(*this, Message{m, length})) result = *r;
        // A module-data message of odd length carries one pad word.
        i += (kind->type == MessageType::ModuleData) ? length + (length & 1) : length;
    }
    return result;
}

} // namespace corvex
