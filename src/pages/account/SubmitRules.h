#pragma once

#include "store/ProfileRecord.h"

//==============================================================================
/** What the home page does once the status check that "Submit New Image"
    starts has answered: the rules in the order they are tried, the first that
    applies deciding.

    1. No usable reply: noConnection.
    2. A reply refused (status not 200): refused, with the service's message.
    3. Newer HRTF data, or a first HRTF not yet downloaded, is waiting:
       hrtfInfoFound (the user is sent to the updates page first).
    4. No image submitted yet: requestQrCode.
    5. No downloads left: downloadsUsedUp.
    6. No submissions left: submissionsUsedUp.
    7. Otherwise: requestQrCode.

    The profile is the one the check was for, as the store holds it after the
    check's merge.
*/
namespace SubmitRules
{
enum class Outcome
{
    noConnection,
    refused,
    hrtfInfoFound,
    requestQrCode,
    downloadsUsedUp,
    submissionsUsedUp
};

Outcome decide (int statusCode, int returnCode, const ProfileRecord& profile);
} // namespace SubmitRules
