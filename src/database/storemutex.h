#pragma once

#include <mutex>

// The lock of one store, held by every member that touches its connection or its caches
// (recursive: members call each other). A standard mutex rather than Qt's, because it is
// built on the pthread calls ThreadSanitizer follows; Qt's mutexes wait on futexes the
// tool cannot see, so it would take every hand-over between the GUI thread and a worker
// for a race.
using StoreMutex = std::recursive_mutex;
using StoreLocker = std::lock_guard<StoreMutex>;
