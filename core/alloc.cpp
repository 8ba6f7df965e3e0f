// Allocation for the installer executable: the runtime's operator new would
// pull in exception support; ours returns null on failure, which the callers test.
#include <stdlib.h>

#include <new>

void *operator new(size_t size)
{
    return malloc(size ? size : 1);
}

void *operator new[](size_t size)
{
    return malloc(size ? size : 1);
}

// The runtime's nothrow forms catch bad_alloc, which links in its whole
// exception machinery (unwinder, demangler, threads): about 120 KB.
void *operator new(size_t size, const std::nothrow_t &) noexcept
{
    return malloc(size ? size : 1);
}

void *operator new[](size_t size, const std::nothrow_t &) noexcept
{
    return malloc(size ? size : 1);
}

void operator delete(void *p) noexcept
{
    free(p);
}

void operator delete[](void *p) noexcept
{
    free(p);
}

void operator delete(void *p, size_t) noexcept
{
    free(p);
}

void operator delete[](void *p, size_t) noexcept
{
    free(p);
}

extern "C" void __cxa_pure_virtual()
{
    abort();
}
