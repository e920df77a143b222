#include "base/interrupt.h"

#include <array>
#include <atomic>
#include <cstring>
#include <utility>

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <cerrno>
#include <csignal>
#include <unistd.h>
#endif

namespace fragtally {
namespace {

using PathChar = std::filesystem::path::value_type;

// Room for the longest path the system opens (4096 bytes on Linux); slots
// enough for a folder run's two batches of stores in flight and more.
constexpr std::size_t kPathCapacity = 4096;
constexpr int kSlots = HeldTemporary::kPlaces;

enum SlotState : int { kFree = 0, kFilling = 1, kHeld = 2 };

struct Slot {
  std::atomic<int> state{kFree};
  PathChar path[kPathCapacity];
};

// Static storage, so the handler finds it without allocating; pages of unused
// slots are never touched.
Slot slots[kSlots];
std::atomic<bool> serviceMode{false};
std::atomic<bool> requested{false};

static_assert(std::atomic<int>::is_always_lock_free && std::atomic<bool>::is_always_lock_free,
              "a signal handler may only touch lock-free atomics");

// Runs inside a signal handler: system calls on plain memory only.
void removeHeldTemporaries() {
  for (Slot& slot : slots) {
    if (slot.state.load(std::memory_order_acquire) != kHeld) continue;
#ifdef _WIN32
    DeleteFileW(slot.path);
#else
    ::unlink(slot.path);
#endif
  }
}

// True when this interrupt is only to be noted: the first one in service mode.
bool onlyNote() {
  const bool first = !requested.exchange(true);
  return first && serviceMode.load();
}

#ifdef _WIN32

BOOL WINAPI onConsoleEvent(DWORD event) {
  const bool keyboard = event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT;
  if (onlyNote() && keyboard) return TRUE;
  // A file still open is removed when the process closes it: the store opens
  // its temporaries shared for deletion.
  removeHeldTemporaries();
  return FALSE;  // the default handler ends the process
}

#else

extern "C" void onInterruptSignal(int signal) {
  const int savedErrno = errno;
  if (onlyNote()) {
    errno = savedErrno;
    return;
  }
  removeHeldTemporaries();
  struct sigaction usual {};
  usual.sa_handler = SIG_DFL;
  sigemptyset(&usual.sa_mask);
  sigaction(signal, &usual, nullptr);
  // Blocked while this handler runs: delivered, with its usual ending, on return.
  raise(signal);
  errno = savedErrno;
}

void takeOver(int signal) {
  struct sigaction current {};
  if (sigaction(signal, nullptr, &current) != 0 || current.sa_handler == SIG_IGN) return;
  struct sigaction action {};
  action.sa_handler = onInterruptSignal;
  sigemptyset(&action.sa_mask);
  // The two handlers never run at once.
  sigaddset(&action.sa_mask, SIGINT);
  sigaddset(&action.sa_mask, SIGTERM);
  action.sa_flags = SA_RESTART;
  sigaction(signal, &action, nullptr);
}

#endif

}  // namespace

void installInterruptHandlers() {
#ifdef _WIN32
  SetConsoleCtrlHandler(onConsoleEvent, TRUE);
#else
  takeOver(SIGINT);
  takeOver(SIGTERM);
#endif
}

void setServiceMode(bool on) { serviceMode.store(on); }

bool interruptRequested() { return requested.load(); }

HeldTemporary::HeldTemporary(const std::filesystem::path& path) {
  const auto& text = path.native();
  if (text.empty() || text.size() >= kPathCapacity) return;
  // Slots are taken and freed roughly in turn: the search starts past the
  // last one taken rather than at the first, which is likely still held.
  static std::atomic<unsigned> next{0};
  const unsigned start = next.fetch_add(1, std::memory_order_relaxed);
  for (int n = 0; n < kSlots; ++n) {
    const int i = static_cast<int>((start + static_cast<unsigned>(n)) % kSlots);
    int expected = kFree;
    if (!slots[i].state.compare_exchange_strong(expected, kFilling, std::memory_order_acquire)) continue;
    std::memcpy(slots[i].path, text.c_str(), (text.size() + 1) * sizeof(PathChar));
    slots[i].state.store(kHeld, std::memory_order_release);
    slot_ = i;
    return;
  }
}

HeldTemporary::HeldTemporary(HeldTemporary&& other) noexcept : slot_(std::exchange(other.slot_, -1)) {}

HeldTemporary& HeldTemporary::operator=(HeldTemporary&& other) noexcept {
  if (this != &other) {
    release();
    slot_ = std::exchange(other.slot_, -1);
  }
  return *this;
}

void HeldTemporary::release() {
  if (slot_ < 0) return;
  slots[slot_].state.store(kFree, std::memory_order_release);
  slot_ = -1;
}

}  // namespace fragtally
