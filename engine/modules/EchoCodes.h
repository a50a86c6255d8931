// What unit a module's echo of a stored setting is in: the setters report one of these beside the value,
// and whoever shows the value to a person formats it by this code.
#pragma once

namespace corvex::echo {

// The numbers are what the kernel reports and stored listeners expect: append, never renumber.
enum Code : int {
    Decibels = 0,
    Hertz = 1,
    BeatsPerMinute = 2,
    TempoRatio = 3,   // a tempo-sync code: 0 stopped, 1 the tempo, n times it, -n a division of it
    Fraction = 4,     // a plain value, mostly 0 .. 1
    Milliseconds = 5,
    Semitones = 6,
    Selection = 7,    // a mode, wave or count chosen by its word
    Switch = 8,       // an on/off or integer word as it was sent
    Percent = 9,
    Degrees = 10,
};

} // namespace corvex::echo
