#include "SubmitRules.h"

SubmitRules::Outcome SubmitRules::decide (int statusCode, int returnCode, const ProfileRecord& profile)
{
    if (ServiceCodes::isNoReply (statusCode, returnCode))
        return Outcome::noConnection;

    if (statusCode != ServiceCodes::statusOk)
        return Outcome::refused;

    if (profile.isProfileUpdateWaiting() || profile.isFirstHrtfWaiting())
        return Outcome::hrtfInfoFound;

    if (profile.hrtf_requested <= 0)
        return Outcome::requestQrCode;

    if (profile.downloadsLeft() <= 0)
        return Outcome::downloadsUsedUp;

    if (profile.submissionsLeft() <= 0)
        return Outcome::submissionsUsedUp;

    return Outcome::requestQrCode;
}
