#pragma once

#include <cstddef>
#include <functional>

namespace fragtally {

/// Threads worth reading many small files with (records, their heads): every
/// hardware thread, at most 8; beyond that they only add buffers.
unsigned fileReadingThreads();

/// Runs `work` on `threads` threads at once, the calling one among them, but
/// on no more threads than there are `items` to share out; returns when every
/// one has returned. Each `work` takes items from a counter of its own until
/// none are left. An exception from any of them is thrown here, after every
/// one has returned (the first, where several threw).
void onThreads(unsigned threads, std::size_t items, const std::function<void()>& work);

}  // namespace fragtally
