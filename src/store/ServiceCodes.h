#pragma once

//==============================================================================
/** The status and return codes of the service's replies that the program acts
    on, the store's merge and the pages alike. A request without a usable reply
    reports -1 for both codes.
*/
namespace ServiceCodes
{
//==============================================================================
// Status codes: of a reply, and of its "user_hrtf_info", "software_update_info"
// and "auralis_update_info" objects.

/** The request was carried out; in "software_update_info", a newer version
    is known; in "auralis_update_info", newer HRTF data may be ready. */
constexpr int statusOk = 200;

/** In "software_update_info": this version is no longer supported (with
    versionUnsupported). Of a pull: refused, with downloadsUsedUp when the
    profile's downloads are used up. */
constexpr int statusForbidden = 403;

/** In "user_hrtf_info": the service holds no HRTF data for the profile
    (with hrtfNotFound). */
constexpr int statusNoHrtfData = 401;

/** Reported for both codes when no usable reply could be read. */
constexpr int noReply = -1;

//==============================================================================
// Return codes.

/** Of a pull refused with statusForbidden: the profile's downloads are used up. */
constexpr int downloadsUsedUp = 3;

/** In "user_hrtf_info" with statusNoHrtfData: no HRTF data for the profile. */
constexpr int hrtfNotFound = 1;

/** In "software_update_info" with statusOk: a newer version exists. */
constexpr int softwareUpdateFound = 1;

/** In "software_update_info" with statusForbidden: this version is no longer
    supported (the same number as softwareUpdateFound, which the service
    sends with the other status). */
constexpr int versionUnsupported = 1;

/** In "auralis_update_info" with statusOk: no newer HRTF data than the
    profile's own. */
constexpr int noNewerHrtf = 4;

//==============================================================================
/** True when a result says the service could not be reached. */
constexpr bool isNoReply (int statusCode, int returnCode)
{
    return statusCode == noReply || returnCode == noReply;
}
} // namespace ServiceCodes
