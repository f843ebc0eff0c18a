#include "ThreadLimit.h"

#include <dlfcn.h>
#include <pthread.h>

#include <atomic>
#include <cerrno>

namespace {
std::atomic<bool> gFails{false};
}

namespace testing_support {
void SetThreadCreationFails(bool fails) { gFails.store(fails); }
}  // namespace testing_support

// Stands in front of the C library's (or a sanitizer's) pthread_create for the whole process.
extern "C" int pthread_create(pthread_t* thread, const pthread_attr_t* attr, void* (*start)(void*), void* arg) {
    if (gFails.load()) return EAGAIN;
    using Create = int (*)(pthread_t*, const pthread_attr_t*, void* (*)(void*), void*);
    static const auto next = reinterpret_cast<Create>(dlsym(RTLD_NEXT, "pthread_create"));
    return next(thread, attr, start, arg);
}
