// Processing the window messages while the engine works: long runs (preparing, printing, a script
// that loops) stay responsive to cancelling and closing without a message pass per page or record,
// each of which would repaint whatever changed.
#pragma once

namespace frx {

// Shortest time between two passes that are not asked for at once, milliseconds.
inline constexpr int frxMessageIntervalMs = 50;

// Processes the pending window messages of the running application (nothing without one): now, or
// only when frxMessageIntervalMs have passed since the last pass. Interface thread only.
void frxProcessMessages(bool now);

} // namespace frx
