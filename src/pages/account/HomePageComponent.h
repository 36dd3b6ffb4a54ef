#pragma once

#include "common/SharedFlags.h"
#include "service/BackgroundStatusCheckThread.h"
#include "service/QrCodeGeneratorThread.h"
#include "service/ServiceOperation.h"
#include "service/StatusCheckThread.h"
#include "store/PresetStore.h"
#include "ui/BoldTextEditor.h"
#include "ui/ButtonComponent.h"
#include "ui/GradientBackgroundComponent.h"
#include "ui/PrimaryComboBox.h"
#include "ui/TextRow.h"

#include <vector>

//==============================================================================
/** The returning user's page: the profile selector, the image submissions
    left, the current HRTF id, a red badge when new HRTF data or a new
    program version is waiting, and the ways on: add a profile ("+"), look for
    updates (the refresh icon) and submit a new ear image.

    Whenever a profile is selected the page checks it with the service in the
    background; while the page stays visible it does so again once a day.
    Every service operation runs on one of the page's workers and reports on
    the message thread.
*/
class HomePageComponent : public GradientBackgroundComponent,
                          public juce::Timer
{
public:
    HomePageComponent (const Picture& decoderLogo,
                       const Picture& partnerLogo,
                       const Picture& poweredByLogo,
                       PresetStore& store);

    //==============================================================================
    void visibilityChanged() override;
    void paint (juce::Graphics& g) override;

    /** Lists the bank's profiles, selects the named one and checks it. */
    void setCurrentProfile (const juce::String& name) override;

    /** The profile selector: Return only opens its list. */
    juce::Component* getFirstInput() override;

    /** One tick a second while the page is visible: counts the seconds and
        runs the daily refresh. */
    void timerCallback() override;

    //==============================================================================
    /** True while a background or submit check started here is outstanding
        (or after a compulsory update was announced): the buttons and the
        profile selector then do nothing. */
    bool isCheckRunning() const noexcept { return checkRunning; }

    /** True while the red badge is drawn. */
    bool areUpdatesAvailable() const noexcept { return updatesAvailable; }

    /** Ticks since the page became visible or since the last daily refresh. */
    int getSecondsVisible() const noexcept { return secondsVisible; }

    /** How many submission dots the page fills for its profile. */
    int getFilledDotCount() const noexcept { return filledDots; }

    /** Seconds the page stays visible before its daily refresh. */
    static constexpr int secondsPerDay = 86400;

private:
    //==============================================================================
    void selectProfile (int index);
    void startBackgroundCheck (int index);
    void startSubmitCheck();
    void requestQrCode();

    void backgroundCheckFinished (int statusCode, int returnCode);
    void submitCheckFinished (int statusCode, int returnCode, const juce::String& message);
    void qrCodeReceived (int statusCode, int returnCode, const juce::String& message, const juce::Image& qrImage);

    void finishSubmitCheck();
    void showBadge();
    void clearBadge();
    void updateCheckRunning();
    bool isOperationOutstanding() const;
    bool canStartDailyRefresh();
    int selectedIndex() const;
    void showPageAlert (const juce::String& title, const juce::String& message);
    void countSubmissions();
    void showSubmissionsLeft();

    //==============================================================================
    PresetStore& store;
    ProfileRecord pageRecord;

    // A worker is never given new inputs or a new callback while its
    // operation runs.
    ServiceOperation<BackgroundStatusCheckThread> backgroundCheck;
    ServiceOperation<StatusCheckThread> submitCheck;
    ServiceOperation<QrCodeGeneratorThread> qrCodeRequest { OperationTerms {}.setting (busy) };

    PictureButton checkForUpdatesButton;
    ButtonComponent submitNewImageButton, addProfileButton;
    PrimaryComboBox userBox;
    ButtonComponent showButton;
    Picture refreshIcon;
    juce::Label updateBadge;
    BoldTextEditor hrtfIdBox;
    std::vector<TextRow> rows;
    std::vector<juce::Rectangle<int>> dotAreas;

    /** The number of filled dots, for screen readers. */
    AccessibleCaption submissionsLeftCaption { {} };

    bool updatesAvailable = false;
    bool checkRunning = false;
    int secondsVisible = 0;
    int submissionsAllowed = 0, submissionsUsed = 0, filledDots = 0;

    // The bank index selected last; the background check re-reads the bank
    // from disk, which would otherwise forget a selection not yet saved.
    int lastSelectedIndex = -1;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (HomePageComponent)
};
