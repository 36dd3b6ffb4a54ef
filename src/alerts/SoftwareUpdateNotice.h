#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

//==============================================================================
/** What the start page tells the user after the first-run software check:
    nothing, a connection error, a compulsory update, an optional update, or
    that this version is no longer supported. The decision depends only on the
    check's result values; show() then puts up the matching alert.
*/
class SoftwareUpdateNotice
{
public:
    enum class Kind
    {
        none,
        connectionError,
        forcedUpdate,
        updateAvailable,
        unsupportedVersion
    };

    /** Decides from the software check's result values: the reply's status
        and return codes (-1 when no reply could be read), the update section's
        status and return codes, message, download address and release notes,
        and whether the update is compulsory. */
    static SoftwareUpdateNotice decide (int statusCode,
                                        int returnCode,
                                        int updateStatusCode,
                                        int updateReturnCode,
                                        const juce::String& updateMessage,
                                        const juce::String& downloadUrl,
                                        const juce::String& releaseNotes,
                                        bool forceUpdate);

    /** Shows the notice's alert over the page (message thread only) and returns
        the alert's result, 0 when there is nothing to show. A compulsory or
        unsupported-version notice opens the download address and quits on
        "OK"; an optional update opens it on "Download Now!" and the program
        keeps running. */
    int show (juce::Component& page) const;

    /** The start page's handling of a finished software check, taking the
        check's eleven result values: decides and shows the notice over the
        page (message thread only). */
    static void showForCheckResult (juce::Component& page,
                                    const juce::String& execId,
                                    int statusCode,
                                    int returnCode,
                                    int updateStatusCode,
                                    int updateReturnCode,
                                    const juce::String& message,
                                    const juce::String& updateMessage,
                                    const juce::String& downloadUrl,
                                    const juce::String& releaseNotes,
                                    const juce::String& latestReleaseVersion,
                                    bool forceUpdate);

    //==============================================================================
    Kind kind = Kind::none;
    juce::String title;
    juce::String message;
    juce::String downloadUrl;

    /** The two choices of an optional update. */
    juce::String firstButtonText;
    juce::String secondButtonText;
};
