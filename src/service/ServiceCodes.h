#pragma once

//==============================================================================
/** The status and return codes of the service's replies that the pages act
    on. A request without a usable reply reports -1 for both codes. */
namespace ServiceCodes
{
constexpr int statusOk = 200;
constexpr int statusForbidden = 403;
constexpr int statusNoHrtfData = 401;

/** Reported for both codes when no usable reply could be read. */
constexpr int noReply = -1;

/** Return code of a pull refused because the profile's downloads are used up. */
constexpr int downloadsUsedUp = 3;

/** True when a result says the service could not be reached. */
constexpr bool isNoReply (int statusCode, int returnCode)
{
    return statusCode == noReply || returnCode == noReply;
}
}
