#include "pages/account/SubmitRules.h"

#include <gtest/gtest.h>

#include <limits>

namespace
{
using SubmitRules::Outcome;

constexpr int most = std::numeric_limits<int>::max();
constexpr int least = std::numeric_limits<int>::min();

/** A profile with one image processed and downloaded, quotas to spare. */
ProfileRecord submittedProfile()
{
    ProfileRecord r;
    r.img_id = "img_1";
    r.hrtf_allowed = 5;
    r.hrtf_requested = 1;
    r.pull_allowed = 5;
    r.pull_requested = 1;
    return r;
}

template <typename Change>
ProfileRecord submittedProfileWith (Change change)
{
    auto r = submittedProfile();
    change (r);
    return r;
}
} // namespace

//==============================================================================
TEST (SubmitRules, TheFirstRuleThatAppliesDecides)
{
    const auto usedUp = submittedProfileWith ([] (ProfileRecord& r)
                                              { r.pull_requested = r.pull_allowed; r.hrtf_requested = r.hrtf_allowed; });
    const auto newerHrtf = submittedProfileWith ([] (ProfileRecord& r)
                                                 { r.auralis_update_status_code = 200; r.auralis_update_return_code = 0; });

    struct Case
    {
        const char* what;
        int statusCode, returnCode;
        ProfileRecord profile;
        Outcome expected;
    };

    const Case cases[] = {
        // The reply first: no profile counts without one.
        { "no reply (status)", -1, 0, newerHrtf, Outcome::noConnection },
        { "no reply (return code)", 200, -1, newerHrtf, Outcome::noConnection },
        { "refused", 409, 1, newerHrtf, Outcome::refused },

        // Data waiting comes before every quota.
        { "newer HRTF data", 200, 0, newerHrtf, Outcome::hrtfInfoFound },
        { "newer HRTF data, quotas used up", 200, 0, submittedProfileWith ([] (ProfileRecord& r)
                                                                           { r.pull_requested = r.pull_allowed; r.auralis_update_status_code = 200; }),
          Outcome::hrtfInfoFound },
        { "no newer HRTF data (return code 4)", 200, 0, submittedProfileWith ([] (ProfileRecord& r)
                                                                              { r.auralis_update_status_code = 200; r.auralis_update_return_code = 4; }),
          Outcome::requestQrCode },
        { "first HRTF made, not downloaded", 200, 0, submittedProfileWith ([] (ProfileRecord& r)
                                                                           { r.img_id = {}; r.pull_requested = r.pull_allowed; }),
          Outcome::hrtfInfoFound },

        // No image yet: quotas do not count.
        { "no image submitted", 200, 0, submittedProfileWith ([] (ProfileRecord& r)
                                                              { r.img_id = {}; r.hrtf_requested = 0; r.pull_allowed = 0; r.hrtf_allowed = 0; }),
          Outcome::requestQrCode },

        { "downloads and submissions used up", 200, 0, usedUp, Outcome::downloadsUsedUp },
        { "submissions used up", 200, 0, submittedProfileWith ([] (ProfileRecord& r)
                                                               { r.hrtf_requested = r.hrtf_allowed; }),
          Outcome::submissionsUsedUp },
        { "quotas to spare", 200, 0, submittedProfile(), Outcome::requestQrCode },

        // The counters come from the service: no difference of two of them
        // overflows into a quota to spare.
        { "downloads: least allowed, most made", 200, 0, submittedProfileWith ([] (ProfileRecord& r)
                                                                               { r.pull_allowed = least; r.pull_requested = most; }),
          Outcome::downloadsUsedUp },
        { "submissions: least allowed, most made", 200, 0, submittedProfileWith ([] (ProfileRecord& r)
                                                                                 { r.hrtf_allowed = least; r.hrtf_requested = most; }),
          Outcome::submissionsUsedUp },
        { "most allowed, least made", 200, 0, submittedProfileWith ([] (ProfileRecord& r)
                                                                    { r.pull_allowed = most; r.pull_requested = least; r.hrtf_allowed = most; }),
          Outcome::requestQrCode },
    };

    for (const auto& c : cases)
        EXPECT_EQ (SubmitRules::decide (c.statusCode, c.returnCode, c.profile), c.expected) << c.what;
}
