#pragma once

namespace tintwell {

/// The hourglass pointer over every window of the program while something long runs. Calls
/// nest: the pointer comes back with the last busy_off.
void busy_on();
void busy_off();

/// busy_on for the lifetime of the object.
class BusyPointer
{
public:
    BusyPointer() { busy_on(); }
    ~BusyPointer() { busy_off(); }
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;
};

} // namespace tintwell
