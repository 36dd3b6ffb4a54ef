#pragma once

//==============================================================================
/** The process's peak resident memory, for the tests that bound what hostile
    input may make the program hold.
*/
namespace PeakMemory
{
/** The peak resident memory so far, in megabytes. */
long residentMegabytes();

/** False under AddressSanitizer, whose quarantine holds freed memory back:
    there resident memory tells nothing about what the code under test
    holds, and a bound on it would fail by chance. */
bool tellsWhatTheCodeHolds();
}
