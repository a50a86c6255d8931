// The receive channel and status byte decide what reaches the instrument and what the GUI is told.
#include "instrument/midi/ReceiveFilter.h"

#include <gtest/gtest.h>

namespace corvex {
namespace {

TEST(ReceiveFilter, ChannelAndStatusTable) {
    struct Case { int channel; uint8_t status; bool passes; };
    const Case cases[] = {
        {0, 0x90, true},  {0, 0x9F, true},  {0, 0xF8, true},  {0, 0xF0, true},
        {3, 0x92, true},  {3, 0x90, false}, {3, 0xB2, true},  {3, 0xE3, false},
        {3, 0xF8, false}, {3, 0xFA, false}, {3, 0xFC, false},
        {1, 0x80, true},  {16, 0x9F, true}, {16, 0x9E, false}, {16, 0xF8, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(passesReceiveChannel(c.channel, c.status), c.passes)
            << "channel " << c.channel << " status " << std::hex << int(c.status);
}

TEST(ReceiveFilter, WhatIsPassedOnAndWhatIsDropped) {
    struct Case { uint8_t status; uint8_t data1; IncomingAction action; };
    const Case cases[] = {
        {0x90, 60, IncomingAction::Note},           {0x8F, 60, IncomingAction::Note},
        {0xE0, 0, IncomingAction::PitchWheel},      {0xA0, 60, IncomingAction::PassOn},
        {0xD5, 0, IncomingAction::PassOn},          {0xFA, 0, IncomingAction::PassOn},
        {0xFC, 0, IncomingAction::PassOn},          {0xF8, 0, IncomingAction::Clock},
        {0xB0, 123, IncomingAction::AllNotesOff},   {0xB0, 74, IncomingAction::ControlChange},
        {0xB3, 6, IncomingAction::ControlChange},   {0xC0, 5, IncomingAction::Drop},
        {0xF0, 0x43, IncomingAction::Drop},         {0xF2, 0, IncomingAction::Drop},
        {0xFB, 0, IncomingAction::Drop},            {0xFE, 0, IncomingAction::Drop},
        {0xFF, 0, IncomingAction::Drop},
    };
    for (const Case& c : cases)
        EXPECT_EQ(classifyIncoming(c.status, c.data1), c.action) << "status " << std::hex << int(c.status);
}

} // namespace
} // namespace corvex
