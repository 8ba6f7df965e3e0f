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
