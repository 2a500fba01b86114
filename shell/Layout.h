// The fixed geometry and counts of the window and its pictures: the numbers
// several subsystems must agree on.
#pragma once

namespace layout {

// The portrait's cycle: ticks 0 to kCycleLength - 1 of 100 ms each. The tick
// that finds the counter at the last value ends the cycle and recomposes.
constexpr int kCycleLength = 601;
constexpr int kLastCycleTick = kCycleLength - 1;

} // namespace layout
