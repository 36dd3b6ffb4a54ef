#include "common/AppConstants.h"
#include "common/ExternalActions.h"
#include "alerts/SoftwareUpdateNotice.h"
#include "support/UiTestHelpers.h"

using Kind = SoftwareUpdateNotice::Kind;

namespace
{
const juce::String url ("https://downloads.example/auralis-0.0.11.exe");

// A software check's values, starting from a reply that offers nothing.
struct Check
{
    int statusCode = 200, returnCode = 1, updateStatusCode = 404, updateReturnCode = 0;
    juce::String updateMessage = "Version 0.0.11 is available", downloadUrl = url, releaseNotes = "Faster downloads.";
    bool forceUpdate = false;

    SoftwareUpdateNotice decide() const
    {
        return SoftwareUpdateNotice::decide (statusCode, returnCode, updateStatusCode, updateReturnCode, updateMessage, downloadUrl, releaseNotes, forceUpdate);
    }

    Check& with (std::function<void (Check&)> change)
    {
        change (*this);
        return *this;
    }
};
}

TEST (SoftwareUpdateNotice, NoReplyShowsOnlyTheConnectionMessage)
{
    for (auto codes : { std::pair { -1, -1 }, std::pair { -1, 1 }, std::pair { 200, -1 } })
    {
        // Update data present as well, and even compulsory: the connection message wins.
        const auto notice = Check().with ([&] (Check& c)
                                          {
                                              c.statusCode = codes.first;
                                              c.returnCode = codes.second;
                                              c.updateStatusCode = 200;
                                              c.updateReturnCode = 1;
                                              c.forceUpdate = true; })
                                .decide();
        EXPECT_EQ (notice.kind, Kind::connectionError);
        EXPECT_EQ (notice.title, "Error!");
        EXPECT_EQ (notice.message, "Thank you for using Auralis.  Please check your internet connection to continue.");
    }
}

TEST (SoftwareUpdateNotice, DecisionTable)
{
    struct Row
    {
        const char* what;
        int updateStatus, updateReturn;
        bool force;
        juce::String address;
        Kind expected;
    };

    const Row rows[] = {
        { "compulsory with an address", 404, 0, true, url, Kind::forcedUpdate },
        { "compulsory wins over an offer", 200, 1, true, url, Kind::forcedUpdate },
        { "compulsory without an address falls to the offer", 200, 1, true, {}, Kind::updateAvailable },
        { "compulsory without an address, nothing else", 404, 0, true, {}, Kind::none },
        { "offer", 200, 1, false, url, Kind::updateAvailable },
        { "offer without an address is still shown", 200, 1, false, {}, Kind::updateAvailable },
        { "200 with return code 0", 200, 0, false, url, Kind::none },
        { "200 with return code 2", 200, 2, false, url, Kind::none },
        { "unsupported version", 403, 1, false, url, Kind::unsupportedVersion },
        { "unsupported without an address", 403, 1, false, {}, Kind::none },
        { "403 with return code 0", 403, 0, false, url, Kind::none },
        { "not found", 404, 1, false, url, Kind::none },
        { "section missing", -1, -1, false, {}, Kind::none },
    };

    for (const auto& row : rows)
    {
        const auto notice = Check().with ([&] (Check& c)
                                          {
                                              c.updateStatusCode = row.updateStatus;
                                              c.updateReturnCode = row.updateReturn;
                                              c.forceUpdate = row.force;
                                              c.downloadUrl = row.address; })
                                .decide();
        EXPECT_EQ (notice.kind, row.expected) << row.what;
    }
}

TEST (SoftwareUpdateNotice, TextsOfEachNotice)
{
    const auto forced = Check().with ([] (Check& c)
                                      { c.forceUpdate = true; })
                            .decide();
    EXPECT_EQ (forced.title, "Update Now!");
    EXPECT_EQ (forced.message, "Your Auralis software is out of date. Please update now for the best experience.");
    EXPECT_EQ (forced.downloadUrl, url);

    const auto refused = Check().with ([] (Check& c)
                                       { c.updateStatusCode = 403; c.updateReturnCode = 1; })
                             .decide();
    EXPECT_EQ (refused.title, "Update Now!");
    EXPECT_EQ (refused.message, "This Auralis version is no longer supported. Please update now for the best experience.");
    EXPECT_EQ (refused.downloadUrl, url);

    // The offer uses the section's own message as title and the notes as text.
    const auto offer = Check().with ([] (Check& c)
                                     { c.updateStatusCode = 200; c.updateReturnCode = 1; })
                           .decide();
    EXPECT_EQ (offer.title, "Version 0.0.11 is available");
    EXPECT_EQ (offer.message, "Faster downloads.");
    EXPECT_EQ (offer.firstButtonText, "Remind Me Later");
    EXPECT_EQ (offer.secondButtonText, "Download Now!");
}

//==============================================================================
namespace
{
struct Outside
{
    juce::StringArray opened;
    int quitRequests = 0;
    ExternalActions::ScopedOverride hooks { [this] (const juce::String& a)
                                            { opened.add (a); },
                                            [this]
                                            { ++quitRequests; } };
};

int showWith (const SoftwareUpdateNotice& notice, std::function<void (juce::Component&)> action, int& alertsSeen)
{
    juce::Component page;
    UiTest::ModalDriver driver (std::move (action));
    const auto result = notice.show (page);
    alertsSeen += driver.modalsSeen;
    return result;
}
}

TEST (SoftwareUpdateNotice, OfferOpensTheAddressOnlyOnDownloadNow)
{
    Outside outside;
    int alerts = 0;
    const auto offer = Check().with ([] (Check& c)
                                     { c.updateStatusCode = 200; c.updateReturnCode = 1; })
                           .decide();

    EXPECT_EQ (showWith (
                   offer,
                   [] (juce::Component& m)
                   { UiTest::clickButton (m, AppConstants::remindMeLaterText); },
                   alerts),
               1);
    EXPECT_TRUE (outside.opened.isEmpty());

    EXPECT_EQ (showWith (
                   offer,
                   [] (juce::Component& m)
                   { UiTest::clickButton (m, AppConstants::downloadNowText); },
                   alerts),
               2);
    EXPECT_EQ (outside.opened, juce::StringArray (url));
    EXPECT_EQ (outside.quitRequests, 0); // the program keeps running

    // No address: "Download Now!" opens nothing.
    const auto bare = Check().with ([] (Check& c)
                                    { c.updateStatusCode = 200; c.updateReturnCode = 1; c.downloadUrl = {}; })
                          .decide();
    EXPECT_EQ (showWith (
                   bare,
                   [] (juce::Component& m)
                   { UiTest::clickButton (m, AppConstants::downloadNowText); },
                   alerts),
               2);
    EXPECT_EQ (outside.opened.size(), 1);
    EXPECT_EQ (alerts, 3);
}

TEST (SoftwareUpdateNotice, CompulsoryUpdateQuitsOnOkAndNotOnEscape)
{
    Outside outside;
    int alerts = 0;
    const auto forced = Check().with ([] (Check& c)
                                      { c.forceUpdate = true; })
                            .decide();

    EXPECT_EQ (showWith (
                   forced,
                   [] (juce::Component& m)
                   { UiTest::pressKey (m, juce::KeyPress::escapeKey); },
                   alerts),
               0);
    EXPECT_EQ (outside.quitRequests, 0);
    EXPECT_TRUE (outside.opened.isEmpty());

    EXPECT_EQ (showWith (
                   forced,
                   [] (juce::Component& m)
                   { UiTest::pressKey (m, juce::KeyPress::returnKey); },
                   alerts),
               1);
    EXPECT_EQ (outside.quitRequests, 1);
    EXPECT_EQ (outside.opened, juce::StringArray (url));
}

TEST (SoftwareUpdateNotice, ResultHandlerShowsNothingWhenNothingIsDue)
{
    Outside outside;
    juce::Component page;
    UiTest::ModalDriver driver ([] (juce::Component& m)
                                { UiTest::pressKey (m, juce::KeyPress::escapeKey); });

    SoftwareUpdateNotice::showForCheckResult (page, "exec-1", 200, 1, 200, 0, "OK", "Up to date", url, {}, "0.0.10", false);

    UiTest::pumpMessages (100);
    EXPECT_EQ (driver.modalsSeen, 0);
}
