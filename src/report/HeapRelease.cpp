#include "report/HeapRelease.h"

// Any C library header says which library it is.
#include <cstdlib>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

void ReleaseFreedHeap()
{
#if defined(__GLIBC__)
    // Every arena is trimmed, the worker's too: the report's pages are allocated there.
    malloc_trim(0);
#endif
}
