#pragma once

#include <string>

//==============================================================================
/** Random identifiers and time stamps for the stand-in's records and replies. */
namespace Identifiers
{
/** Lower-case hexadecimal digits from a cryptographic random source. */
std::string randomHex (int numBytes);

/** The current time as an ISO 8601 UTC time stamp, e.g. 2024-05-01T12:00:00Z. */
std::string utcNow();
}
