#pragma once
// Marks where one thread hands finished data to another through a queue that the race detector
// cannot see into: Qt's thread pool and event queue synchronise inside Qt, which is not built
// with ThreadSanitizer. The sender calls HandOver when the data is complete and before it is
// queued; the receiver calls TakeOver before it reads. Without ThreadSanitizer both are nothing.
#if defined(__SANITIZE_THREAD__)
#define QUANDEL_THREAD_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define QUANDEL_THREAD_SANITIZER 1
#endif
#endif

#ifdef QUANDEL_THREAD_SANITIZER
extern "C" void __tsan_acquire(void* address);
extern "C" void __tsan_release(void* address);
#endif

namespace support {

// One token for every hand-off: the receiver must take over before it reads anything the
// sender queued, the captures of the queued call included, so it cannot name a token of its own.
inline char kHandOffToken = 0;

inline void HandOver() {
#ifdef QUANDEL_THREAD_SANITIZER
  __tsan_release(&kHandOffToken);
#endif
}

inline void TakeOver() {
#ifdef QUANDEL_THREAD_SANITIZER
  __tsan_acquire(&kHandOffToken);
#endif
}

}  // namespace support
