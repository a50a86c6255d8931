// The eight bytes that open every kernel notification, written by the audio thread and read by the drain.
#pragma once

#include <cstdint>

namespace corvex {

namespace NotificationType {
constexpr uint8_t ParameterValue = 19;
constexpr uint8_t DataBlock = 37;
} // namespace NotificationType

// Byte 0 type, 1 section, 2 group, 3 module type, 4 instance, 5 parameter number (type 19) or writer
// byte (type 37), 6..7 the value byte (type 19) or the little-endian payload size (type 37).
struct NotificationHeader {
    static constexpr int kBytes = 8;

    uint8_t type = 0;
    uint8_t section = 0;
    uint8_t group = 0;
    uint8_t moduleType = 0;
    uint8_t instance = 0;
    uint8_t detail = 0;
    uint16_t tail = 0;

    // The header of a record about the module of (section, group, module type, instance).
    static NotificationHeader about(uint8_t type, int section, int group, int moduleType, int instance, int detail,
                                    int tail) {
        NotificationHeader h;
        h.type = type;
        h.section = static_cast<uint8_t>(section);
        h.group = static_cast<uint8_t>(group);
        h.moduleType = static_cast<uint8_t>(moduleType);
        h.instance = static_cast<uint8_t>(instance);
        h.detail = static_cast<uint8_t>(detail);
        h.tail = static_cast<uint16_t>(tail);
        return h;
    }

    void write(uint8_t* at) const {
        at[0] = type;
        at[1] = section;
        at[2] = group;
        at[3] = moduleType;
        at[4] = instance;
        at[5] = detail;
        at[6] = static_cast<uint8_t>(tail & 0xFF);
        at[7] = static_cast<uint8_t>(tail >> 8);
    }

    static NotificationHeader read(const uint8_t* at) {
        NotificationHeader h;
        h.type = at[0];
        h.section = at[1];
        h.group = at[2];
        h.moduleType = at[3];
        h.instance = at[4];
        h.detail = at[5];
        h.tail = static_cast<uint16_t>(at[6] | (at[7] << 8));
        return h;
    }
};

// A parameter echo is the header followed by the echoed float.
constexpr int kParameterNotificationBytes = NotificationHeader::kBytes + 4;
constexpr int kDataNotificationHeadBytes = NotificationHeader::kBytes;

} // namespace corvex
