#pragma once

#include "OnboardingTexts.h"
#include "common/SharedFlags.h"
#include "service/PullClientThread.h"
#include "service/QrCodeGeneratorThread.h"
#include "service/ServiceOperation.h"
#include "service/SoftwareCheckThread.h"
#include "service/StatusCheckThread.h"
#include "store/PresetStore.h"
#include "ui/Announcer.h"
#include "ui/ButtonComponent.h"
#include "ui/GradientBackgroundComponent.h"
#include "ui/TextEditorComponent.h"
#include "ui/TextRow.h"

#include <vector>

//==============================================================================
/** The first page of onboarding: names a new profile, announces it to the
    service and goes on to the QR code or downloads an HRTF the service holds.

    The name is judged whenever something it depends on changes: an edit of
    the entry, the store's profiles, the page becoming visible, a step of a
    registration. An empty name or the name of a profile already on this
    machine is refused, and Begin is drawn red and enabled only for a valid
    one. The page is repainted when its look changes and only then. Every
    service result arrives on the message thread.
*/
class StartPageComponent : public GradientBackgroundComponent,
                           private juce::ChangeListener
{
public:
    StartPageComponent (const Picture& decoderLogo,
                        const Picture& partnerLogo,
                        const Picture& poweredByLogo,
                        const Picture& backArrow,
                        PresetStore& store);

    ~StartPageComponent() override;

    //==============================================================================
    /** Remembers the profile the back arrow returns to. */
    void setCurrentProfile (const juce::String& name) override;

    void visibilityChanged() override;
    void paint (juce::Graphics& g) override;

    /** The name entry, even when the back arrow comes before it. */
    juce::Component* getFirstInput() override;

    //==============================================================================
    /** The status check's result for the name being registered. */
    void onProfileChecked (const juce::String& execId, int statusCode, int returnCode, const juce::String& message);

    /** The QR code's result: the picture's bytes, or an empty block. */
    void onQrCodeReceived (const juce::String& execId, int statusCode, int returnCode, const juce::String& message, const juce::Image& image);

    /** The result of downloading an HRTF the service already held. */
    void onHrtfPulled (const juce::String& execId, int statusCode, int returnCode, const juce::String& message, bool profileUpdated, bool fileWritten);

    //==============================================================================
    /** True when the program started with no profile: no back arrow, and the
        first-run software check runs when the page becomes visible. */
    bool firstRun = false;

    //==============================================================================
    /** The page's controls and verdict, for its owner and for tests. */
    TextEditorComponent& getUserNameEditor() noexcept { return userNameEditor; }
    ButtonComponent& getBeginButton() noexcept { return beginButton; }
    juce::ImageButton& getBackButton() noexcept { return backButton; }
    const juce::Label& getUserNameError() const noexcept { return userNameError; }
    bool isShowingInvalidIcon() const noexcept { return userNameInvalid; }
    bool isShowingValidIcon() const noexcept { return userNameValid; }
    bool isProfileAccepted() const noexcept { return profileAccepted; }

private:
    //==============================================================================
    void begin();
    void back();
    void startProfileCheck (const juce::String& name);
    void startQrCodeRequest();
    void startHrtfPull();
    void refreshVerdict();
    void judgeName();
    void changeListenerCallback (juce::ChangeBroadcaster*) override;
    void removeRegisteredProfile (const juce::String& name);

    //==============================================================================
    PresetStore& store;

    /** The name's check ends, and lets go of statusCheckBusy, only once its
        handler (and any alert it shows) is done. */
    ServiceOperation<StatusCheckThread> profileCheck { OperationTerms {}.setting (statusCheckBusy, LetGo::afterHandler).endingAfterHandler() };
    ServiceOperation<QrCodeGeneratorThread> qrCodeRequest { OperationTerms {}.setting (busy) };
    ServiceOperation<PullClientThread> hrtfPull { OperationTerms {}.setting (busy) };
    /** The first run's check starts as the program starts, holding
        statusCheckBusy from then on; its thread starts on the next turn of
        the message loop, after the window's first frame. */
    ServiceOperation<SoftwareCheckThread> softwareCheck { OperationTerms {}.setting (statusCheckBusy).startingWorkerOnNextTurn() };

    TextEditorComponent userNameEditor { 350 };
    ButtonComponent beginButton;

    bool userNameInvalid = false, userNameValid = false;
    bool profileAccepted = false;

    juce::Path errorIcon, validIcon;
    Picture backArrow;
    PictureButton backButton { OnboardingTexts::backButtonName };
    juce::Label userNameError;
    std::vector<TextRow> textRows;

    /** The name whose registration is under way, as it was when Begin was
        pressed; the result handlers work on it. */
    juce::String nameBeingRegistered;

    /** Tells screen readers of each new verdict on the name. */
    Announcer verdictAnnouncer;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (StartPageComponent)
};
