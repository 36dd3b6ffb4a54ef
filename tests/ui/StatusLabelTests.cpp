#include "ui/StatusLabel.h"

#include <gtest/gtest.h>

#include <vector>

TEST (StatusLabel, AnnouncesEachChangeOfItsTextOnceAndNoEmptyText)
{
    std::vector<juce::String> heard;
    const Announcer::ScopedListener listener ([&heard] (const juce::String& text)
                                              { heard.push_back (text); });
    StatusLabel line;

    // However the text is set, and however often (a page may set it on every
    // paint), each change is spoken once; emptying it is not spoken.
    line.setText ("Updates Available!", juce::dontSendNotification);
    line.setText ("Updates Available!", juce::dontSendNotification);
    line.setText ({}, juce::dontSendNotification);
    line.setText ("No Updates Available!", juce::sendNotificationSync);
    line.setText ("Updates Available!", juce::dontSendNotification);

    const std::vector<juce::String> expected { "Updates Available!", "No Updates Available!", "Updates Available!" };
    EXPECT_EQ (heard, expected);
}
