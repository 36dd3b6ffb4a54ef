#include "WorkerMemory.h"

#include <juce_core/juce_core.h>

// The address and thread sanitizers bring allocators of their own: the C
// library's heap is then never set up, and trimming it from several workers at
// once would race on its first use.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    #define AURALIS_OWN_ALLOCATOR 1
#elif defined(__has_feature)
    #if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
        #define AURALIS_OWN_ALLOCATOR 1
    #endif
#endif

#if JUCE_LINUX && defined(__GLIBC__) && ! defined(AURALIS_OWN_ALLOCATOR)
    #define AURALIS_TRIM_THE_HEAP 1
    #include <malloc.h>
#endif

void releaseFreedWorkerMemory()
{
#ifdef AURALIS_TRIM_THE_HEAP
    malloc_trim (0);
#endif
}
