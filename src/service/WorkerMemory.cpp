#include "WorkerMemory.h"

#include <juce_core/juce_core.h>

#if JUCE_LINUX && defined(__GLIBC__)
    #include <malloc.h>
#endif

void releaseFreedWorkerMemory()
{
#if JUCE_LINUX && defined(__GLIBC__)
    malloc_trim (0);
#endif
}
