#pragma once

#include "common/ExternalActions.h"
#include "common/SharedFlags.h"
#include "service/ServiceTestFixture.h"
#include "ui/GradientBackgroundComponent.h"
#include "support/UiTestHelpers.h"

#include <AuralisBinaryData.h>

#include <memory>
#include <optional>
#include <vector>

//==============================================================================
/** Records every alert that opens, with its title and message, and answers
    it: "OK" (Return) unless told to dismiss it with Escape. An action may run
    while the alert is open, before it is answered.
*/
class AlertLog : private juce::Timer
{
public:
    struct Alert
    {
        juce::String title, message;
    };

    AlertLog() { startTimer (10); }
    ~AlertLog() override { stopTimer(); }

    bool dismissWithEscape = false;
    std::function<void()> whileOpen;
    std::vector<Alert> alerts;

    juce::String lastTitle() const { return alerts.empty() ? juce::String() : alerts.back().title; }
    juce::String lastMessage() const { return alerts.empty() ? juce::String() : alerts.back().message; }

private:
    void timerCallback() override
    {
        auto* alert = dynamic_cast<juce::AlertWindow*> (juce::Component::getCurrentlyModalComponent());

        // An alert already answered may stay modal for a tick or more until
        // its modal loop has handled the key (longer on a loaded machine); it
        // is the same alert, and is neither logged nor answered again.
        if (alert == nullptr || alert == lastAnswered.getComponent())
            return;

        lastAnswered = alert;

        // The window describes itself as its title, ". " and its message.
        const auto title = alert->getName();
        alerts.push_back ({ title, alert->getDescription().fromFirstOccurrenceOf (title + ". ", false, false) });

        if (whileOpen)
            whileOpen();

        UiTest::pressKey (*alert, dismissWithEscape ? juce::KeyPress::escapeKey : juce::KeyPress::returnKey);
    }

    juce::Component::SafePointer<juce::Component> lastAnswered;
};

//==============================================================================
/** A status-check reply, built member by member. */
struct StatusReply
{
    struct Software
    {
        int status = 200, returnCode = 1;
        juce::String message { "Version 0.0.11 is available" };
        juce::String downloadUrl { "https://downloads.example/auralis-0.0.11.exe" };
        juce::String releaseNotes { "Faster downloads." };
        int forceUpdate = 0;
    };

    struct ProfileUpdate
    {
        int status = 200, returnCode = 0;
        juce::String message { "Auralis update available!" };
    };

    int status = 200, returnCode = 0;
    juce::String message { "ok" };

    int hrtfAllowed = 5, hrtfRequested = 1, pullAllowed = 5, pullRequested = 1;
    int hrtfStatus = 200, hrtfReturnCode = 0;

    std::optional<Software> software;
    std::optional<ProfileUpdate> profileUpdate;

    juce::String toJson() const
    {
        auto* hrtfInfo = new juce::DynamicObject();
        hrtfInfo->setProperty ("hrtf_allowed", hrtfAllowed);
        hrtfInfo->setProperty ("hrtf_requested", hrtfRequested);
        hrtfInfo->setProperty ("pull_allowed", pullAllowed);
        hrtfInfo->setProperty ("pull_requested", pullRequested);
        hrtfInfo->setProperty ("status_code", hrtfStatus);
        hrtfInfo->setProperty ("return_code", hrtfReturnCode);
        hrtfInfo->setProperty ("message", "hrtf info");

        auto* reply = new juce::DynamicObject();
        reply->setProperty ("exec_id", "e1");
        reply->setProperty ("status_code", status);
        reply->setProperty ("return_code", returnCode);
        reply->setProperty ("message", message);
        reply->setProperty ("timestamp", "2026-12-09T10:00:00Z");
        reply->setProperty ("user_hrtf_info", juce::var (hrtfInfo));

        if (software.has_value())
        {
            auto* info = new juce::DynamicObject();
            info->setProperty ("status_code", software->status);
            info->setProperty ("return_code", software->returnCode);
            info->setProperty ("message", software->message);
            info->setProperty ("download_url", software->downloadUrl);
            info->setProperty ("release_notes", software->releaseNotes);
            info->setProperty ("latest_release_version", "0.0.11");
            info->setProperty ("force_update", software->forceUpdate);
            reply->setProperty ("software_update_info", juce::var (info));
        }

        if (profileUpdate.has_value())
        {
            auto* info = new juce::DynamicObject();
            info->setProperty ("status_code", profileUpdate->status);
            info->setProperty ("return_code", profileUpdate->returnCode);
            info->setProperty ("message", profileUpdate->message);
            reply->setProperty ("auralis_update_info", juce::var (info));
        }

        return juce::JSON::toString (juce::var (reply));
    }
};

//==============================================================================
/** Holds the server's answers back until the test opens it. */
struct Gate
{
    std::shared_ptr<juce::WaitableEvent> opened = std::make_shared<juce::WaitableEvent> (true);

    void open() { opened->signal(); }
};

//==============================================================================
/** A page test: a store in a fresh data folder, the service pointed at a
    server of the test's own, the shared flags at rest, every browser launch
    and quit request recorded instead of done, and every alert recorded and
    answered.
*/
class AccountPageFixture : public ServiceTestFixture
{
protected:
    void SetUp() override
    {
        ServiceTestFixture::SetUp();

        if (IsSkipped())
            return;

        // Every operation of an earlier test let go of the close gate when
        // its page went.
        EXPECT_TRUE (canQuit.isOpen());
        busy = false;
        statusCheckBusy = false;

        makeStore();
        startServer();
    }

    void TearDown() override
    {
        ServiceTestFixture::TearDown();

        busy = false;
        statusCheckBusy = false;
    }

    //==============================================================================
    /** Adds a profile to the bank on disk through a status reply. */
    void seedProfile (const juce::String& name, const StatusReply& reply = {})
    {
        store->mergeStatusReply (name, juce::JSON::parse (reply.toJson()));
    }

    /** Records HRTF ids for a profile, as a finished download does. */
    void seedIds (const juce::String& name, const juce::String& hrtfId, const juce::String& imgId)
    {
        store->updateHrtfIds (name, idsEntry (hrtfId, imgId));
    }

    static juce::var idsEntry (const juce::String& hrtfId, const juce::String& imgId, const juce::String& hrtfUrl = {})
    {
        auto* entry = new juce::DynamicObject();
        entry->setProperty ("hrtf_id", hrtfId);
        entry->setProperty ("hrtf_url", hrtfUrl);
        entry->setProperty ("img_id", imgId);
        entry->setProperty ("auralis_id", "auralis-" + hrtfId);
        return juce::var (entry);
    }

    void serveStatus (const StatusReply& reply)
    {
        serveReply (Endpoints::statusCheck, reply.toJson());
    }

    /** Serves status replies only once the gate opens. */
    void serveStatusBehind (const Gate& gate, const StatusReply& reply)
    {
        server.on ("POST", "/" + Endpoints::statusCheck, [opened = gate.opened, json = reply.toJson()] (const TestHttpRequest&)
                   {
                       opened->wait (20000);
                       return TestHttpResponse::json (json); });
    }

    int statusRequests() const { return server.countRequests ("/" + Endpoints::statusCheck); }

    //==============================================================================
    static bool waitFor (const std::function<bool()>& condition)
    {
        return runMessageLoopUntil (condition, 30000);
    }

    /** Lets posted messages (a combo box's change, a late delivery) run. */
    static void settle (int milliseconds = 60)
    {
        runMessageLoopFor (milliseconds);
    }

    //==============================================================================
    template <typename ComponentType>
    static ComponentType* findChild (juce::Component& parent, const juce::String& name = {})
    {
        for (auto* child : parent.getChildren())
            if (auto* typed = dynamic_cast<ComponentType*> (child))
                if (name.isEmpty() || child->getName() == name)
                    return typed;

        return nullptr;
    }

    /** Releases the mouse on a child as a click would; false when the page
        has no such child. */
    static bool click (juce::Component& parent, const juce::String& name)
    {
        for (auto* child : parent.getChildren())
        {
            if (child->getName() != name)
                continue;

            if (auto* imageButton = dynamic_cast<juce::Button*> (child))
            {
                if (imageButton->onClick)
                    imageButton->onClick();
            }
            else
            {
                child->mouseUp (UiTest::mouseEventOn (*child));
            }

            return true;
        }

        return false;
    }

    /** Saves a snapshot beside the test program, for looking at. */
    static void saveSnapshot (const juce::Image& image, const juce::String& name)
    {
        const auto folder = juce::File::getSpecialLocation (juce::File::currentExecutableFile)
                                .getSiblingFile ("snapshots")
                                .getChildFile ("account");
        folder.createDirectory();

        const auto file = folder.getChildFile (name + ".png");
        file.deleteFile();

        if (juce::FileOutputStream out (file); out.openedOk())
            juce::PNGImageFormat().writeImageToStream (image, out);
    }

    //==============================================================================
    struct Outside
    {
        juce::StringArray opened;
        int quitRequests = 0;
        ExternalActions::ScopedOverride hooks { [this] (const juce::String& address)
                                                { opened.add (address); },
                                                [this]
                                                { ++quitRequests; } };
    };

    struct Navigation
    {
        juce::String profile;
        View view = View::StartPage;
        juce::Image data;
    };

    /** Records the page's navigation requests. */
    static void recordNavigation (GradientBackgroundComponent& page, std::vector<Navigation>& requests)
    {
        page.onNavigate = [&requests] (const juce::String& name, View view, const juce::Image& data)
        { requests.push_back ({ name, view, data }); };
    }

    Picture decoderLogo { Picture::fromEmbedded (AuralisBinaryData::decoderlogo_png, AuralisBinaryData::decoderlogo_pngSize, AuralisBinaryData::decoderlogo2x_png, AuralisBinaryData::decoderlogo2x_pngSize) };
    Picture partnerLogo { Picture::fromDrawn (AuralisBinaryData::partnerlogo_apix, AuralisBinaryData::partnerlogo_apixSize, AuralisBinaryData::partnerlogo2x_apix, AuralisBinaryData::partnerlogo2x_apixSize) };
    Picture poweredByLogo { Picture::fromEmbedded (AuralisBinaryData::poweredby_png, AuralisBinaryData::poweredby_pngSize, AuralisBinaryData::poweredby2x_png, AuralisBinaryData::poweredby2x_pngSize) };
    Picture backArrow { Picture::fromEmbedded (AuralisBinaryData::backarrow_png, AuralisBinaryData::backarrow_pngSize, AuralisBinaryData::backarrow2x_png, AuralisBinaryData::backarrow2x_pngSize) };

    Outside outside;
    AlertLog alertLog;
};
