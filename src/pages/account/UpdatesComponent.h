#pragma once

#include "common/SharedFlags.h"
#include "service/PullClientThread.h"
#include "service/ServiceOperation.h"
#include "service/StatusCheckThread.h"
#include "store/PresetStore.h"
#include "ui/BoldTextEditor.h"
#include "ui/ButtonComponent.h"
#include "ui/GradientBackgroundComponent.h"
#include "ui/StatusLabel.h"

//==============================================================================
/** Offers newer HRTF data for the profile ("Profile Update", downloaded here)
    and a newer program version ("Software Update", opened in the browser).

    Entering the page re-reads the bank from disk and checks the profile with
    the service; a status line says whether anything is available, and each
    available update's button is drawn with its red border and works.
*/
class UpdatesComponent : public GradientBackgroundComponent
{
public:
    UpdatesComponent (const Picture& decoderLogo,
                      const Picture& partnerLogo,
                      const Picture& poweredByLogo,
                      const Picture& backArrow,
                      PresetStore& store);

    //==============================================================================
    void paint (juce::Graphics& g) override;

    /** Clears the texts and flags and checks the named profile. */
    void setCurrentProfile (const juce::String& name) override;

    /** The status line, which a screen reader then reads first: both update
        buttons spend something (a download, the browser and the page) and
        the back arrow leaves. */
    juce::Component* getFirstInput() override;

    //==============================================================================
    bool isProfileUpdateAvailable() const noexcept { return profileUpdateAvailable; }
    bool isSoftwareUpdateAvailable() const noexcept { return softwareUpdateAvailable; }

private:
    //==============================================================================
    void startUpdateCheck();
    void startProfileUpdate();
    void updateCheckFinished (int statusCode, int returnCode, const juce::String& message);
    void profileUpdateFinished (int statusCode, int returnCode, const juce::String& message, bool profileUpdated, bool fileWritten);

    void profileUpdateClicked();
    void softwareUpdateClicked();
    void goHome();
    void paintUpdateButton (juce::Graphics& g, ButtonComponent& button, bool available, juce::Rectangle<int> bounds);

    //==============================================================================
    PresetStore& store;
    const Picture* backArrow;
    ProfileRecord pageRecord;

    BoldTextEditor releaseNotesText, profileUpdateText;
    ButtonComponent profileUpdateButton, softwareUpdateButton;
    PictureButton backButton;
    juce::Label versionLabel;
    StatusLabel statusLine;

    // A running worker is never given new inputs or a new callback: a start
    // while its operation runs is refused.
    ServiceOperation<StatusCheckThread> updateCheck { OperationTerms {}.setting (statusCheckBusy) };
    ServiceOperation<PullClientThread> profileUpdate { OperationTerms {}.setting (busy) };

    bool serviceReachable = true;
    bool profileLoaded = true;
    bool softwareUpdateAvailable = false;
    bool profileUpdateAvailable = false;
    bool statusLinePending = true;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (UpdatesComponent)
};
