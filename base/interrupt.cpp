#include "base/interrupt.h"

#include <atomic>
#include <csignal>

namespace fragtally {
namespace {

// Lock-free, so that the handler may set it.
std::atomic<bool> interrupted{false};
static_assert(std::atomic<bool>::is_always_lock_free);

extern "C" void onInterrupt(int) { interrupted.store(true); }

}  // namespace

void installInterruptHandlers() {
  std::signal(SIGINT, onInterrupt);
  std::signal(SIGTERM, onInterrupt);
}

void setServiceMode(bool) {}

bool interruptRequested() { return interrupted.load(); }

}  // namespace fragtally
