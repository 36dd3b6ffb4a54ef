#include "app/ExternalActions.h"

#include <gtest/gtest.h>

TEST (ExternalActions, OpensOnlyPlainWebAddresses)
{
    juce::StringArray opened;
    int quits = 0;

    {
        const ExternalActions::ScopedOverride hooks ([&] (const juce::String& a)
                                                     { opened.add (a); },
                                                     [&]
                                                     { ++quits; });

        EXPECT_TRUE (ExternalActions::openInBrowser ("https://downloads.example/auralis-0.0.11.exe?build=7&os=win#top"));
        EXPECT_TRUE (ExternalActions::openInBrowser ("HTTP://downloads.example/a%20b"));

        // Addresses from the service are not trusted to be addresses.
        for (auto bad : { "",
                          "   ",
                          "downloads.example/setup.exe",
                          "file:///C:/Windows/System32/calc.exe",
                          "C:\\Windows\\System32\\calc.exe",
                          "javascript:alert(1)",
                          "https://",
                          "https:///path",
                          "https://x.example/$(touch /tmp/owned)",
                          "https://x.example/\"; rm -rf ~; \"",
                          "https://x.example/a b",
                          "https://x.example/`id`",
                          "https://x.example/\nsecond" })
            EXPECT_FALSE (ExternalActions::openInBrowser (bad)) << bad;

        ExternalActions::requestQuit();
    }

    EXPECT_EQ (opened, juce::StringArray ("https://downloads.example/auralis-0.0.11.exe?build=7&os=win#top", "HTTP://downloads.example/a%20b"));
    EXPECT_EQ (quits, 1);

    // With the hooks put back and no application object, a quit request does nothing.
    ExternalActions::requestQuit();
    EXPECT_EQ (quits, 1);
}
