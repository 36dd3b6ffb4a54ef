#include "WorkerMemory.h"

#include "common/SanitizerBuild.h"

#include <juce_core/juce_core.h>

// Under the address and thread sanitizers the C library's heap is never set
// up, and trimming it from several workers at once would race on its first
// use.
#if JUCE_LINUX && defined(__GLIBC__) && ! defined(AURALIS_ADDRESS_SANITIZER) && ! defined(AURALIS_THREAD_SANITIZER)
    #define AURALIS_TRIM_THE_HEAP 1
    #include <malloc.h>
#endif

void releaseFreedWorkerMemory()
{
#ifdef AURALIS_TRIM_THE_HEAP
    malloc_trim (0);
#endif
}
