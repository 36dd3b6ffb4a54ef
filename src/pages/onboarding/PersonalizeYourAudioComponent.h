#pragma once

#include "OnboardingTexts.h"
#include "common/SharedFlags.h"
#include "service/PullClientThread.h"
#include "service/ServiceOperation.h"
#include "service/StatusCheckThread.h"
#include "store/PresetStore.h"
#include "ui/BoldTextEditor.h"
#include "ui/ButtonComponent.h"
#include "ui/GradientBackgroundComponent.h"
#include "ui/TextRow.h"

#include <vector>

//==============================================================================
/** Shows the profile's QR code and waits for the ear photo: checks the
    profile's status automatically and on Next, then downloads the new HRTF.

    A one-second timer runs while the page is shown. From its 60th tick the
    page reports that no ear image has been found yet and checks the profile
    every 21 ticks during which no check was running; the last automatic
    check can start on tick 239 and the timer ends on tick 242. As soon as a
    check shows a submission newer than the one whose HRTF is on this
    machine, the page downloads it and hands over to the profile-loaded page.
*/
class PersonalizeYourAudioComponent : public GradientBackgroundComponent,
                                      public juce::Timer
{
public:
    PersonalizeYourAudioComponent (const Picture& decoderLogo,
                                   const Picture& partnerLogo,
                                   const Picture& poweredByLogo,
                                   const Picture& backArrow,
                                   PresetStore& store);

    //==============================================================================
    /** Takes on the profile and shows it in the logged-in line. */
    void setCurrentProfile (const juce::String& name) override;

    void visibilityChanged() override;
    void paint (juce::Graphics& g) override;

    /** The QR code, which a screen reader then reads first. Not "Next": a
        check that finds the ear image starts the download at once, and one
        that finds none ends the automatic checks. */
    juce::Component* getFirstInput() override;

    /** One tick of the page's schedule (every 1000 ms while shown). */
    void timerCallback() override;

    //==============================================================================
    /** The status check's result. */
    void onImageChecked (const juce::String& execId, int statusCode, int returnCode, const juce::String& message);

    /** The HRTF download's result. */
    void onHrtfPulled (const juce::String& execId, int statusCode, int returnCode, const juce::String& message, bool profileUpdated, bool fileWritten);

    //==============================================================================
    /** True when entered from the start page, false from the home page. */
    bool newProfile = true;

    /** The QR code to show, decoded by the main component; set through
        setQrImage, so that screen readers find the code when it is there. */
    juce::Image qrImage;

    void setQrImage (const juce::Image& image);

    //==============================================================================
    /** The page's controls and state, for its owner and for tests. */
    ButtonComponent& getNextButton() noexcept { return nextButton; }
    ButtonComponent& getWatchNowButton() noexcept { return watchNowButton; }
    juce::ImageButton& getBackButton() noexcept { return backButton; }
    const BoldTextEditor& getLoggedInAs() const noexcept { return loggedInAs; }
    int getSecondsVisible() const noexcept { return secondsVisible; }
    bool isCheckRunning() const noexcept { return imageCheck.isRunning(); }
    bool isShowingNotDetected() const noexcept { return showNotDetected; }
    int getLastImageNumber() const noexcept { return lastImageNumber; }

private:
    //==============================================================================
    void next();
    void back();
    void watchNow();
    void startImageCheck();
    void startHrtfPull();
    void endAutomaticChecks();
    void setShowingNotDetected (bool shouldShow);

    //==============================================================================
    PresetStore& store;

    /** A check ends only once its handler (and any alert it shows) is done,
        so that no other check starts meanwhile. */
    ServiceOperation<StatusCheckThread> imageCheck { OperationTerms {}.endingAfterHandler() };
    ServiceOperation<PullClientThread> hrtfPull { OperationTerms {}.setting (busy) };

    int secondsVisible = 0;
    int secondsSinceCheck = 0;
    int lastImageNumber = 0;

    BoldTextEditor loggedInAs { BoldTextEditor::Options {}.withSize (312, 35).withFontHeight (21).withGreyText() };
    ButtonComponent nextButton;
    ButtonComponent watchNowButton;
    juce::Path errorIcon, validIcon;
    bool showNotDetected = false;
    bool manualCheck = false;
    Picture backArrow;
    PictureButton backButton { OnboardingTexts::backButtonName };
    std::vector<TextRow> textRows;

    /** What screen readers read for the QR code and for the notice that no
        ear image has arrived (shown only while the notice is painted). */
    AccessibleCaption qrCodeCaption;
    std::vector<AccessibleCaption*> notDetectedCaptions;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (PersonalizeYourAudioComponent)
};
