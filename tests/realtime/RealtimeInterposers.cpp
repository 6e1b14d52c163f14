// Definitions that take the place of the C library's for the whole process, the loaded bundle included
// (they are exported through RealtimeExports.list). Each reports to the guard, then forwards.
#include "RealtimeCheck.h"

#include <cerrno>
#include <cstdarg>
#include <cstddef>
#include <dlfcn.h>

using RealtimeGuard::detail::check;

// Heap: glibc keeps its own entry points under these names, so forwarding needs no lookup.
extern "C"
{
    void* __libc_malloc (size_t);
    void* __libc_calloc (size_t, size_t);
    void* __libc_realloc (void*, size_t);
    void* __libc_memalign (size_t, size_t);
    void* __libc_valloc (size_t);
    void* __libc_pvalloc (size_t);
    void __libc_free (void*);

    void* malloc (size_t size) noexcept
    {
        check ("malloc");
        return __libc_malloc (size);
    }

    void* calloc (size_t count, size_t size) noexcept
    {
        check ("calloc");
        return __libc_calloc (count, size);
    }

    void* realloc (void* block, size_t size) noexcept
    {
        check ("realloc");
        return __libc_realloc (block, size);
    }

    void free (void* block) noexcept
    {
        if (block != nullptr)
            check ("free");

        __libc_free (block);
    }

    void* memalign (size_t alignment, size_t size) noexcept
    {
        check ("memalign");
        return __libc_memalign (alignment, size);
    }

    void* aligned_alloc (size_t alignment, size_t size) noexcept
    {
        check ("aligned_alloc");
        return __libc_memalign (alignment, size);
    }

    int posix_memalign (void** result, size_t alignment, size_t size) noexcept
    {
        check ("posix_memalign");

        if (alignment % sizeof (void*) != 0 || (alignment & (alignment - 1)) != 0)
            return EINVAL;

        void* block = __libc_memalign (alignment, size);

        if (block == nullptr)
            return ENOMEM;

        *result = block;
        return 0;
    }

    void* valloc (size_t size) noexcept
    {
        check ("valloc");
        return __libc_valloc (size);
    }

    void* pvalloc (size_t size) noexcept
    {
        check ("pvalloc");
        return __libc_pvalloc (size);
    }
}

// Locks, waits and blocking system calls, with argument types spelled as the ABI sees them:
// X (result, name, parameters, arguments, noexcept clause).
#define VELDRANOX_BLOCKING_CALLS(X)                                                                                    \
    X (int, pthread_mutex_lock, (void* mutex), (mutex), noexcept)                                                      \
    X (int, pthread_rwlock_rdlock, (void* lock), (lock), noexcept)                                                     \
    X (int, pthread_rwlock_wrlock, (void* lock), (lock), noexcept)                                                     \
    X (int, pthread_cond_wait, (void* condition, void* mutex), (condition, mutex), )                                   \
    X (int, pthread_cond_timedwait, (void* condition, void* mutex, const void* until), (condition, mutex, until), )    \
    X (int, pthread_join, (unsigned long thread, void** result), (thread, result), )                                   \
    X (int, sem_wait, (void* semaphore), (semaphore), )                                                                \
    X (int, sem_timedwait, (void* semaphore, const void* until), (semaphore, until), )                                 \
    X (int, nanosleep, (const void* duration, void* remaining), (duration, remaining), )                               \
    X (int,                                                                                                            \
       clock_nanosleep,                                                                                                \
       (int clock, int flags, const void* duration, void* left),                                                       \
       (clock, flags, duration, left), )                                                                               \
    X (int, usleep, (unsigned int microseconds), (microseconds), )                                                     \
    X (unsigned int, sleep, (unsigned int seconds), (seconds), )                                                       \
    X (long, read, (int fd, void* data, size_t size), (fd, data, size), )                                              \
    X (long, write, (int fd, const void* data, size_t size), (fd, data, size), )                                       \
    X (int, close, (int fd), (fd), )                                                                                   \
    X (int, fsync, (int fd), (fd), )                                                                                   \
    X (int, poll, (void* fds, unsigned long count, int timeout), (fds, count, timeout), )                              \
    X (int, select, (int n, void* in, void* out, void* failed, void* timeout), (n, in, out, failed, timeout), )        \
    X (int, epoll_wait, (int epoll, void* events, int maxEvents, int timeout), (epoll, events, maxEvents, timeout), )

namespace forwarded
{
#define VELDRANOX_DECLARE_POINTER(result, name, params, args, ...) result (*name) params = nullptr;
VELDRANOX_BLOCKING_CALLS (VELDRANOX_DECLARE_POINTER)
#undef VELDRANOX_DECLARE_POINTER

// open and openat are variadic: the mode follows only when a file may be created.
int (*open) (const char*, int, ...) = nullptr;
int (*openat) (int, const char*, int, ...) = nullptr;

template <typename Function>
void resolve (Function& function, const char* name)
{
    if (function == nullptr)
        function = reinterpret_cast<Function> (dlsym (RTLD_NEXT, name));
}
} // namespace forwarded

void RealtimeGuard::detail::resolveForwarding() noexcept
{
#define VELDRANOX_RESOLVE(result, name, params, args, ...) forwarded::resolve (forwarded::name, #name);
    VELDRANOX_BLOCKING_CALLS (VELDRANOX_RESOLVE)
#undef VELDRANOX_RESOLVE
    forwarded::resolve (forwarded::open, "open");
    forwarded::resolve (forwarded::openat, "openat");
}

#define VELDRANOX_DEFINE_FORWARDER(result, name, params, args, ...)                                                    \
    extern "C" result name params __VA_ARGS__                                                                          \
    {                                                                                                                  \
        if (forwarded::name == nullptr)                                                                                \
            RealtimeGuard::detail::resolveForwarding();                                                                \
        check (#name);                                                                                                 \
        return forwarded::name args;                                                                                   \
    }
VELDRANOX_BLOCKING_CALLS (VELDRANOX_DEFINE_FORWARDER)
#undef VELDRANOX_DEFINE_FORWARDER

extern "C" int open (const char* path, int flags, ...)
{
    if (forwarded::open == nullptr)
        RealtimeGuard::detail::resolveForwarding();
    check ("open");

    va_list rest;
    va_start (rest, flags);
    const unsigned int mode = va_arg (rest, unsigned int);
    va_end (rest);
    return forwarded::open (path, flags, mode);
}

extern "C" int openat (int directory, const char* path, int flags, ...)
{
    if (forwarded::openat == nullptr)
        RealtimeGuard::detail::resolveForwarding();
    check ("openat");

    va_list rest;
    va_start (rest, flags);
    const unsigned int mode = va_arg (rest, unsigned int);
    va_end (rest);
    return forwarded::openat (directory, path, flags, mode);
}
