#pragma once

namespace fragtally {

/// SIGINT and SIGTERM (Ctrl+C on Windows) set the interrupt flag.
void installInterruptHandlers();
/// In the live modes an interrupt only sets the flag: the program finishes its
/// pending reports and ends by itself.
void setServiceMode(bool on);
/// Whether an interrupt has arrived; safe to ask from any thread.
bool interruptRequested();

}  // namespace fragtally
