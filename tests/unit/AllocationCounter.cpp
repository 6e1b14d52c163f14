#include "AllocationCounter.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <new>

#if defined(_WIN32)
#include <malloc.h>
#endif

// How C allocations are seen. With glibc, the program's own malloc interposes on every library's calls
// and glibc's implementation stays reachable as __libc_malloc. Sanitizers replace malloc themselves but
// offer allocation hooks instead; there, operator new forwards to their malloc and the hook counts it.
#if defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer) || __has_feature(memory_sanitizer)
#define VELDRANOX_SANITIZED_ALLOCATOR 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define VELDRANOX_SANITIZED_ALLOCATOR 1
#endif

#if defined(VELDRANOX_SANITIZED_ALLOCATOR)
#define VELDRANOX_INTERPOSE_MALLOC 0
#define VELDRANOX_HOOK_MALLOC 1
#elif defined(__GLIBC__)
#define VELDRANOX_INTERPOSE_MALLOC 1
#define VELDRANOX_HOOK_MALLOC 0
#else
#define VELDRANOX_INTERPOSE_MALLOC 0
#define VELDRANOX_HOOK_MALLOC 0
#endif

namespace
{
// Plain thread_locals with constant initialisation: reading them never allocates, so the allocator
// itself may touch them.
thread_local bool counting = false;
thread_local long allocationCount = 0;

inline void noteAllocation() noexcept
{
    if (counting)
        ++allocationCount;
}

// operator new counts by itself unless a malloc hook already sees the allocation it forwards to.
inline void noteNewAllocation() noexcept
{
    if (! VELDRANOX_HOOK_MALLOC)
        noteAllocation();
}
} // namespace

#if VELDRANOX_HOOK_MALLOC
extern "C" int __sanitizer_install_malloc_and_free_hooks (void (*) (const volatile void*, std::size_t),
                                                          void (*) (const volatile void*));

namespace
{
void onMalloc (const volatile void*, std::size_t) { noteAllocation(); }
void onFree (const volatile void*) {}

const bool mallocHooked = __sanitizer_install_malloc_and_free_hooks (onMalloc, onFree) != 0;
} // namespace
#endif

#if VELDRANOX_INTERPOSE_MALLOC
extern "C"
{
    void* __libc_malloc (std::size_t);
    void* __libc_calloc (std::size_t, std::size_t);
    void* __libc_realloc (void*, std::size_t);
    void* __libc_memalign (std::size_t, std::size_t);
    void* __libc_valloc (std::size_t);
    void* __libc_pvalloc (std::size_t);
    void __libc_free (void*);

    void* malloc (std::size_t size) noexcept
    {
        noteAllocation();
        return __libc_malloc (size);
    }

    void* calloc (std::size_t count, std::size_t size) noexcept
    {
        noteAllocation();
        return __libc_calloc (count, size);
    }

    void* realloc (void* block, std::size_t size) noexcept
    {
        noteAllocation();
        return __libc_realloc (block, size);
    }

    void* memalign (std::size_t alignment, std::size_t size) noexcept
    {
        noteAllocation();
        return __libc_memalign (alignment, size);
    }

    void* aligned_alloc (std::size_t alignment, std::size_t size) noexcept
    {
        noteAllocation();
        return __libc_memalign (alignment, size);
    }

    int posix_memalign (void** result, std::size_t alignment, std::size_t size) noexcept
    {
        const bool powerOfTwo = alignment != 0 && (alignment & (alignment - 1)) == 0;

        if (! powerOfTwo || alignment % sizeof (void*) != 0)
            return EINVAL;

        noteAllocation();
        void* block = __libc_memalign (alignment, size);

        if (block == nullptr)
            return ENOMEM;

        *result = block;
        return 0;
    }

    void* valloc (std::size_t size) noexcept
    {
        noteAllocation();
        return __libc_valloc (size);
    }

    void* pvalloc (std::size_t size) noexcept
    {
        noteAllocation();
        return __libc_pvalloc (size);
    }

    void free (void* block) noexcept { __libc_free (block); }
}
#endif

namespace
{
// The memory behind operator new comes from the C allocator without being counted a second time.
void* allocateUncounted (std::size_t size) noexcept
{
#if VELDRANOX_INTERPOSE_MALLOC
    return __libc_malloc (size == 0 ? 1 : size);
#else
    return std::malloc (size == 0 ? 1 : size);
#endif
}

void* allocateAlignedUncounted (std::size_t size, std::align_val_t alignment) noexcept
{
    const auto align = std::max (static_cast<std::size_t> (alignment), sizeof (void*));
#if VELDRANOX_INTERPOSE_MALLOC
    return __libc_memalign (align, size == 0 ? 1 : size);
#elif defined(_WIN32)
    // Windows's C runtime has no posix_memalign; these blocks go back through _aligned_free.
    return _aligned_malloc (size == 0 ? 1 : size, align);
#else
    void* block = nullptr;
    return posix_memalign (&block, align, size == 0 ? 1 : size) == 0 ? block : nullptr;
#endif
}

void freeAligned (void* block) noexcept
{
#if defined(_WIN32) && ! VELDRANOX_INTERPOSE_MALLOC
    _aligned_free (block);
#else
    std::free (block);
#endif
}

void* allocateOrThrow (std::size_t size)
{
    noteNewAllocation();

    if (void* block = allocateUncounted (size))
        return block;

    throw std::bad_alloc();
}

void* allocateAlignedOrThrow (std::size_t size, std::align_val_t alignment)
{
    noteNewAllocation();

    if (void* block = allocateAlignedUncounted (size, alignment))
        return block;

    throw std::bad_alloc();
}

void* allocateOrNull (std::size_t size) noexcept
{
    noteNewAllocation();
    return allocateUncounted (size);
}

void* allocateAlignedOrNull (std::size_t size, std::align_val_t alignment) noexcept
{
    noteNewAllocation();
    return allocateAlignedUncounted (size, alignment);
}
} // namespace

void* operator new (std::size_t size) { return allocateOrThrow (size); }
void* operator new[] (std::size_t size) { return allocateOrThrow (size); }
void* operator new (std::size_t size, const std::nothrow_t&) noexcept { return allocateOrNull (size); }
void* operator new[] (std::size_t size, const std::nothrow_t&) noexcept { return allocateOrNull (size); }
void* operator new (std::size_t size, std::align_val_t a) { return allocateAlignedOrThrow (size, a); }
void* operator new[] (std::size_t size, std::align_val_t a) { return allocateAlignedOrThrow (size, a); }

void* operator new (std::size_t size, std::align_val_t a, const std::nothrow_t&) noexcept
{
    return allocateAlignedOrNull (size, a);
}

void* operator new[] (std::size_t size, std::align_val_t a, const std::nothrow_t&) noexcept
{
    return allocateAlignedOrNull (size, a);
}

void operator delete (void* block) noexcept { std::free (block); }
void operator delete[] (void* block) noexcept { std::free (block); }
void operator delete (void* block, std::size_t) noexcept { std::free (block); }
void operator delete[] (void* block, std::size_t) noexcept { std::free (block); }
void operator delete (void* block, const std::nothrow_t&) noexcept { std::free (block); }
void operator delete[] (void* block, const std::nothrow_t&) noexcept { std::free (block); }
void operator delete (void* block, std::align_val_t) noexcept { freeAligned (block); }
void operator delete[] (void* block, std::align_val_t) noexcept { freeAligned (block); }
void operator delete (void* block, std::size_t, std::align_val_t) noexcept { freeAligned (block); }
void operator delete[] (void* block, std::size_t, std::align_val_t) noexcept { freeAligned (block); }
void operator delete (void* block, std::align_val_t, const std::nothrow_t&) noexcept { freeAligned (block); }
void operator delete[] (void* block, std::align_val_t, const std::nothrow_t&) noexcept { freeAligned (block); }

ScopedAllocationCount::ScopedAllocationCount() : countAtStart (allocationCount), wasCounting (counting)
{
    counting = true;
}

ScopedAllocationCount::~ScopedAllocationCount() { counting = wasCounting; }

long ScopedAllocationCount::allocations() const { return allocationCount - countAtStart; }

bool ScopedAllocationCount::countsMalloc()
{
#if VELDRANOX_HOOK_MALLOC
    return mallocHooked;
#else
    return VELDRANOX_INTERPOSE_MALLOC != 0;
#endif
}
