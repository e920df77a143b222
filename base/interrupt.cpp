#include "base/interrupt.h"

#include <array>
#include <atomic>
#include <chrono>
#include <cstring>
#include <thread>
#include <utility>

#ifdef _WIN32
#include "base/windows_api.h"
#else
#include <cerrno>
#include <csignal>
#include <ctime>
#include <pthread.h>
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
// Raised when a handler begins removing the held files, for good: the program
// ends once it is done.
std::atomic<bool> sweeping{false};
// Threads between the first look at `sweeping` in HeldTemporary::createFile
// and the end of its creation. Every access to `sweeping`, `creating` and a
// slot's state that decides whether a file is removed is sequentially
// consistent: a creator that does not see the sweep begin has its slot seen
// by the sweep, and one that does is waited for.
std::atomic<int> creating{0};
// How long the handler waits for files being created on other threads: their
// creation is one system call, so only a stalled disk takes this long.
constexpr int kCreationWaitMilliseconds = 2000;
// How long a new temporary waits for a place in the table when all are taken.
constexpr int kPlaceWaitMilliseconds = 1000;

static_assert(std::atomic<int>::is_always_lock_free && std::atomic<bool>::is_always_lock_free,
              "a signal handler may only touch lock-free atomics");

void removeFileAt(const PathChar* path) {
#ifdef _WIN32
  DeleteFileW(path);
#else
  ::unlink(path);
#endif
}

void sleepOneMillisecond() {
#ifdef _WIN32
  Sleep(1);
#else
  const timespec millisecond{0, 1000 * 1000};
  nanosleep(&millisecond, nullptr);
#endif
}

// Runs inside a signal handler: system calls on plain memory only. The other
// threads go on meanwhile: a file they create after the sweep has passed its
// slot is removed by its creator, which the handler waits for.
void removeHeldTemporaries() {
  sweeping.store(true);
  for (Slot& slot : slots) {
    if (slot.state.load() == kHeld) removeFileAt(slot.path);
  }
  for (int waited = 0; creating.load() != 0 && waited < kCreationWaitMilliseconds; ++waited) sleepOneMillisecond();
}

// The interrupt signals held back on this thread for its lifetime, so that a
// handler never runs on a thread in the middle of creating a file (it would
// wait for that creation forever). A signal that arrives meanwhile goes to
// another thread, or waits.
class InterruptsHeldBack {
 public:
#ifdef _WIN32
  // The console's handler runs on a thread of its own.
  InterruptsHeldBack() = default;
#else
  InterruptsHeldBack() {
    sigset_t interrupts;
    sigemptyset(&interrupts);
    sigaddset(&interrupts, SIGINT);
    sigaddset(&interrupts, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &interrupts, &before_);
  }
  ~InterruptsHeldBack() { pthread_sigmask(SIG_SETMASK, &before_, nullptr); }

 private:
  sigset_t before_;
#endif
 public:
  InterruptsHeldBack(const InterruptsHeldBack&) = delete;
  InterruptsHeldBack& operator=(const InterruptsHeldBack&) = delete;
};

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
  for (int waited = 0; waited <= kPlaceWaitMilliseconds; ++waited) {
    for (int n = 0; n < kSlots; ++n) {
      const int i = static_cast<int>((start + static_cast<unsigned>(n)) % kSlots);
      int expected = kFree;
      if (!slots[i].state.compare_exchange_strong(expected, kFilling, std::memory_order_acquire)) continue;
      std::memcpy(slots[i].path, text.c_str(), (text.size() + 1) * sizeof(PathChar));
      slots[i].state.store(kHeld);
      slot_ = i;
      return;
    }
    // Every place taken: the stores holding them rename or remove their files soon.
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
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

bool HeldTemporary::createFile(const std::function<bool()>& create) {
  [[maybe_unused]] const InterruptsHeldBack heldBack;  // nothing to hold back on Windows
  creating.fetch_add(1);
  bool made = !sweeping.load() && create();
  if (made && sweeping.load()) {
    // The sweep may have passed this slot before the file stood there.
    if (guarded()) removeFileAt(slots[slot_].path);
    made = false;
  }
  creating.fetch_sub(1);
  return made;
}

void HeldTemporary::release() {
  if (slot_ < 0) return;
  slots[slot_].state.store(kFree, std::memory_order_release);
  slot_ = -1;
}

}  // namespace fragtally
