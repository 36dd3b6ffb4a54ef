#include "PeakMemory.h"

#include "common/SanitizerBuild.h"

#include <sys/resource.h>

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
