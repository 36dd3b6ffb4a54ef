#include "common/ExternalActions.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

namespace
{
/** A recording stand-in for xdg-open, first on PATH while it exists: each
    launch leaves one record with its argument count and arguments, one to a
    line. */
class RecordingBrowser
{
public:
    RecordingBrowser()
    {
        folder.getChildFile ("bin").createDirectory();
        const auto opener = folder.getChildFile ("bin/xdg-open");
        const auto recordPath = record().getFullPathName().quoted ('\'');
        opener.replaceWithText ("#!/bin/sh\n"
                                "{ printf '%s\\n' \"$#\"; printf '%s\\n' \"$@\"; } > "
                                    + recordPath + ".tmp\n"
                                    + "mv " + recordPath + ".tmp " + recordPath + "\n",
                                false,
                                false,
                                "\n");
        opener.setExecutePermission (true);

        previousPath = juce::SystemStats::getEnvironmentVariable ("PATH", {});
        setenv ("PATH", (folder.getFullPathName() + "/bin:" + previousPath).toRawUTF8(), 1);
    }

    ~RecordingBrowser()
    {
        setenv ("PATH", previousPath.toRawUTF8(), 1);
        folder.deleteRecursively();
    }

    /** The next launch's arguments; empty when none came within a few seconds. */
    juce::StringArray nextLaunch()
    {
        for (int waited = 0; ! record().existsAsFile() && waited < 10000; waited += 10)
            juce::Thread::sleep (10);

        juce::StringArray lines;
        record().readLines (lines);
        record().deleteFile();

        if (lines.size() > 0 && lines[lines.size() - 1].isEmpty())
            lines.remove (lines.size() - 1);

        if (lines.isEmpty() || lines[0].getIntValue() != lines.size() - 1)
            return {};

        lines.remove (0);
        return lines;
    }

    /** A path that only an injected command would create. */
    juce::File marker() const { return folder.getChildFile ("injected"); }

    /** Where the last launch's record lies until it is read. */
    juce::File record() const { return folder.getChildFile ("record"); }

private:
    const juce::File folder { juce::File::getSpecialLocation (juce::File::tempDirectory).getNonexistentChildFile ("auralis-browser", {}, false) };
    juce::String previousPath;
};
}

//==============================================================================
TEST (ExternalActions, EveryWebAddressReachesTheBrowserAsOneEncodedArgument)
{
    RecordingBrowser browser;
    const auto marker = browser.marker().getFullPathName();
    ASSERT_TRUE (marker.containsOnly ("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789/_-."));

    struct Case
    {
        juce::String address, received;
    };

    const std::vector<Case> cases {
        { "https://127.0.0.1:1/auralis-0.0.11.exe?build=7&os=win;x=(1)#top", "https://127.0.0.1:1/auralis-0.0.11.exe?build=7&os=win;x=(1)#top" },
        { "HTTP://user@127.0.0.1:1/a%20b%2F?q=%C3%A4", "HTTP://user@127.0.0.1:1/a%20b%2F?q=%C3%A4" },
        { "https://127.0.0.1:1/$(touch " + marker + ")", "https://127.0.0.1:1/%24(touch%20" + marker + ")" },
        { "https://127.0.0.1:1/`touch " + marker + "`", "https://127.0.0.1:1/%60touch%20" + marker + "%60" },
        { "https://127.0.0.1:1/\"; touch " + marker + "; \"'", "https://127.0.0.1:1/%22;%20touch%20" + marker + ";%20%22'" },
        { "https://127.0.0.1:1/a b?q={x}|y^z<>\\", "https://127.0.0.1:1/a%20b?q=%7Bx%7D%7Cy%5Ez%3C%3E%5C" },
        { juce::String (juce::CharPointer_UTF8 ("https://127.0.0.1:1/b\xc3\xbc"
                                                "cher/stra\xc3\x9f"
                                                "e?\xe2\x82\xac=1")),
          "https://127.0.0.1:1/b%C3%BCcher/stra%C3%9Fe?%E2%82%AC=1" },
        { "https://127.0.0.1:1/100%?a=%zz&b=%4", "https://127.0.0.1:1/100%25?a=%25zz&b=%254" },
        { "https://127.0.0.1:1/\nsecond\t\x7f", "https://127.0.0.1:1/%0Asecond%09%7F" },
    };

    for (const auto& c : cases)
    {
        EXPECT_EQ (ExternalActions::toBrowserAddress (c.address), c.received);
        ASSERT_TRUE (ExternalActions::openInBrowser (c.address)) << c.address;
        EXPECT_EQ (browser.nextLaunch(), juce::StringArray (c.received)) << c.address;
    }

    EXPECT_FALSE (browser.marker().exists());

    // Other schemes, and addresses without a host, open nothing.
    for (auto bad : { "",
                      "   ",
                      " https://127.0.0.1:1/",
                      "127.0.0.1:1/setup.exe",
                      "file:///C:/Windows/System32/calc.exe",
                      "C:\\Windows\\System32\\calc.exe",
                      "javascript:alert(1)",
                      "ftp://127.0.0.1:1/",
                      "https://",
                      "https:///path",
                      "https://user@/path",
                      "https://:8443/" })
        EXPECT_FALSE (ExternalActions::openInBrowser (bad)) << bad;

    EXPECT_FALSE (browser.record().exists());
}

TEST (ExternalActions, TestsWatchLaunchesAndQuitRequestsInsteadOfActing)
{
    juce::StringArray opened;
    int quits = 0;

    {
        const ExternalActions::ScopedOverride hooks ([&] (const juce::String& a)
                                                     { opened.add (a); },
                                                     [&]
                                                     { ++quits; });

        EXPECT_TRUE (ExternalActions::openInBrowser ("https://127.0.0.1:1/a b"));
        EXPECT_FALSE (ExternalActions::openInBrowser ("file:///etc/passwd"));
        ExternalActions::requestQuit();
    }

    EXPECT_EQ (opened, juce::StringArray ("https://127.0.0.1:1/a%20b"));
    EXPECT_EQ (quits, 1);

    // With the hooks put back and no application object, a quit request does nothing.
    ExternalActions::requestQuit();
    EXPECT_EQ (quits, 1);
}
