// KESTIVO_SANITIZED_HEAP: set when a sanitizer's allocator stands in for the C library's, whose heap figures
// (mallinfo2) the memory tests read.
#pragma once

#if defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define KESTIVO_SANITIZED_HEAP 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define KESTIVO_SANITIZED_HEAP 1
#endif
