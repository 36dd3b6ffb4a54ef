#include "PeakMemory.h"

#include <sys/resource.h>

#if defined(__SANITIZE_ADDRESS__)
    #define AURALIS_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
    #if __has_feature(address_sanitizer)
        #define AURALIS_ADDRESS_SANITIZER 1
    #endif
#endif

long PeakMemory::residentMegabytes()
{
    rusage usage {};
    getrusage (RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

bool PeakMemory::tellsWhatTheCodeHolds()
{
#if defined(AURALIS_ADDRESS_SANITIZER)
    return false;
#else
    return true;
#endif
}
