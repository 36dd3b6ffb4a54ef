#include "store/SubmissionNumber.h"

#include <gtest/gtest.h>

TEST (SubmissionNumber, ReadsTheNumberAfterTheLastUnderscore)
{
    EXPECT_EQ (SubmissionNumber::fromImageId ("img_ab_2"), 2);
    EXPECT_EQ (SubmissionNumber::fromImageId ("a_b_c_17"), 17);
    EXPECT_EQ (SubmissionNumber::fromImageId ("42"), 42);
    EXPECT_EQ (SubmissionNumber::fromImageId ("x_ 3"), 3);
    EXPECT_EQ (SubmissionNumber::fromImageId ("x_+4"), 4);
    EXPECT_EQ (SubmissionNumber::fromImageId ("x_-1"), -1);
    EXPECT_EQ (SubmissionNumber::fromImageId ("x_5abc"), 5);
    EXPECT_EQ (SubmissionNumber::fromImageId ("x_2147483647"), 2147483647);
    EXPECT_EQ (SubmissionNumber::fromImageId ("x_-2147483648"), -2147483647 - 1);
}

TEST (SubmissionNumber, CountsAnUnreadableNumberAsZero)
{
    for (auto* id : { "", "_", "img_", "img_abc", "img_-", "img_ +", "x_2147483648", "x_99999999999999999999999", "x_-2147483649" })
        EXPECT_EQ (SubmissionNumber::fromImageId (id), 0) << id;
}
