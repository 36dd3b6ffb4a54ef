#pragma once

#include "common/ExternalActions.h"
#include "common/SharedFlags.h"
#include "service/ServiceTestFixture.h"
#include "support/UiTestHelpers.h"
#include "ui/Picture.h"

#include <AuralisBinaryData.h>

#include <juce_gui_basics/juce_gui_basics.h>

#include <vector>

//==============================================================================
// What the onboarding page tests share: a log that answers every modal alert
// and notes its title and text, a gate that holds a server handler until the
// test lets it go, the shared pictures and the service's replies.
namespace OnboardingTest
{
struct SeenAlert
{
    juce::String title, message;
    int numButtons = 0;
};

/** Answers every alert that comes up, from inside its modal loop: Return for
    an alert with one button, Escape otherwise, unless the test installs its
    own answer. */
class AlertLog : private juce::Timer
{
public:
    AlertLog() { startTimer (10); }
    ~AlertLog() override { stopTimer(); }

    std::vector<SeenAlert> alerts;

    /** Replaces the default answer. */
    std::function<void (juce::AlertWindow&, const SeenAlert&)> answer;

    size_t size() const { return alerts.size(); }
    const SeenAlert& last() const { return alerts.back(); }

private:
    void timerCallback() override
    {
        auto* window = dynamic_cast<juce::AlertWindow*> (juce::Component::getCurrentlyModalComponent());

        if (window == nullptr || window == lastAnswered.getComponent())
            return;

        lastAnswered = window;

        SeenAlert seen;
        seen.title = window->getName();
        seen.message = window->getDescription().fromFirstOccurrenceOf (seen.title + ". ", false, false);
        seen.numButtons = window->getNumButtons();
        alerts.push_back (seen);

        if (answer)
            answer (*window, seen);
        else
            UiTest::pressKey (*window, seen.numButtons == 1 ? juce::KeyPress::returnKey : juce::KeyPress::escapeKey);
    }

    juce::Component::SafePointer<juce::Component> lastAnswered;
};

/** Holds server handlers that pass through it until opened (or until a
    generous time-out, so that a failing test cannot hang). */
class Gate
{
public:
    void wait() { opened.wait (20000); }
    void open() { opened.signal(); }

private:
    juce::WaitableEvent opened { true };
};

/** Watches browser launches and quit requests instead of acting on them. */
struct Outside
{
    juce::StringArray opened;
    int quitRequests = 0;
    ExternalActions::ScopedOverride hooks { [this] (const juce::String& a)
                                            { opened.add (a); },
                                            [this]
                                            { ++quitRequests; } };
};

//==============================================================================
/** A PNG of one colour. */
inline juce::MemoryBlock pngBytes (int width, int height, juce::Colour colour)
{
    juce::Image image (juce::Image::ARGB, width, height, true);
    image.clear (image.getBounds(), colour);

    juce::MemoryOutputStream out;
    juce::PNGImageFormat().writeImageToStream (image, out);
    return out.getMemoryBlock();
}

inline juce::MemoryBlock hrtfBytes (size_t size)
{
    juce::MemoryBlock block (size);

    for (size_t i = 0; i < size; ++i)
        block[i] = (char) (i * 7 + 3);

    return block;
}

/** A status-check reply with the profile's counters. */
struct StatusReply
{
    int status = 200;
    juce::String message { "ok" };
    int hrtfAllowed = 2, hrtfRequested = 0, pullAllowed = 2, pullRequested = 0;

    juce::String toJson() const
    {
        return "{\"exec_id\": \"s1\", \"status_code\": " + juce::String (status) + ", \"return_code\": 0, \"message\": \"" + message
               + "\", \"timestamp\": \"2026-12-09T10:00:00Z\", \"user_hrtf_info\": {\"status_code\": 200, \"return_code\": 0, \"hrtf_allowed\": "
               + juce::String (hrtfAllowed) + ", \"hrtf_requested\": " + juce::String (hrtfRequested) + ", \"pull_allowed\": "
               + juce::String (pullAllowed) + ", \"pull_requested\": " + juce::String (pullRequested) + "}}";
    }
};

inline juce::String pullReply (const juce::String& hrtfId, const juce::String& hrtfUrl, const juce::String& imgId)
{
    return "{\"exec_id\": \"p1\", \"status_code\": 200, \"return_code\": 0, \"message\": \"ready\", \"urls\": [{\"hrtf_id\": \"" + hrtfId
           + "\", \"hrtf_url\": \"" + hrtfUrl + "\", \"img_id\": \"" + imgId + "\", \"auralis_id\": \"aur_" + hrtfId + "\"}]}";
}

inline juce::String refusal (int status, int returnCode, const juce::String& message)
{
    return "{\"exec_id\": \"r1\", \"status_code\": " + juce::String (status) + ", \"return_code\": " + juce::String (returnCode)
           + ", \"message\": \"" + message + "\"}";
}

/** The connection message, with its two blanks after the first full stop. */
inline const juce::String connectionMessage { "Thank you for using Auralis.  Please check your internet connection to continue." };
inline const juce::String supportAddress { "support@auralis-audio.example" };

//==============================================================================
/** Where the snapshots for people to look at go: the build folder's
    "snapshots/onboarding". */
inline juce::File snapshotFolder()
{
    const auto buildFolder = juce::File::getSpecialLocation (juce::File::currentExecutableFile).getParentDirectory().getParentDirectory();
    return buildFolder.getChildFile ("snapshots").getChildFile ("onboarding");
}

inline void saveSnapshot (const juce::Image& image, const juce::String& name)
{
    const auto folder = snapshotFolder();
    folder.createDirectory();

    const auto file = folder.getChildFile (name + ".png");
    file.deleteFile();
    juce::FileOutputStream out (file);

    if (out.openedOk())
        juce::PNGImageFormat().writeImageToStream (image, out);
}

//==============================================================================
/** A page test against its own HTTPS server, with the shared flags reset, the
    shared pictures loaded and every alert answered. */
class PageFixture : public ServiceTestFixture
{
protected:
    void SetUp() override
    {
        ServiceTestFixture::SetUp();

        // Every operation of an earlier test let go of the close gate when
        // its page went.
        EXPECT_TRUE (canQuit.isOpen());
        busy = false;
        statusCheckBusy = false;
    }

    void TearDown() override
    {
        gate.open();
        destroyPage();
        ServiceTestFixture::TearDown();

        busy = false;
        statusCheckBusy = false;
    }

    /** Destroys the page under test before the store it refers to. */
    virtual void destroyPage() = 0;

    /** Pumps the message loop until the condition holds; false after 30 s. */
    static bool waitFor (const std::function<bool()>& condition)
    {
        return runMessageLoopUntil (condition);
    }

    Picture decoderLogo { Picture::fromEmbedded (AuralisBinaryData::decoderlogo_png, AuralisBinaryData::decoderlogo_pngSize, AuralisBinaryData::decoderlogo2x_png, AuralisBinaryData::decoderlogo2x_pngSize) };
    Picture partnerLogo { Picture::fromDrawn (AuralisBinaryData::partnerlogo_apix, AuralisBinaryData::partnerlogo_apixSize, AuralisBinaryData::partnerlogo2x_apix, AuralisBinaryData::partnerlogo2x_apixSize) };
    Picture poweredByLogo { Picture::fromEmbedded (AuralisBinaryData::poweredby_png, AuralisBinaryData::poweredby_pngSize, AuralisBinaryData::poweredby2x_png, AuralisBinaryData::poweredby2x_pngSize) };
    Picture backArrow { Picture::fromEmbedded (AuralisBinaryData::backarrow_png, AuralisBinaryData::backarrow_pngSize, AuralisBinaryData::backarrow2x_png, AuralisBinaryData::backarrow2x_pngSize) };

    AlertLog alerts;
    Gate gate;
    Outside outside;
};
}
