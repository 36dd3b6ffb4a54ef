#pragma once

#include "common/View.h"
#include "pages/account/HomePageComponent.h"
#include "pages/account/UpdatesComponent.h"
#include "pages/onboarding/PersonalizeYourAudioComponent.h"
#include "pages/onboarding/ProfileLoadedComponent.h"
#include "pages/onboarding/StartPageComponent.h"
#include "store/PresetStore.h"

#include <juce_gui_basics/juce_gui_basics.h>

//==============================================================================
/** The window's only content. It fixes the shared data folder, owns the
    preset store, the four shared pictures and the five pages, shows the first
    page and switches pages when one asks for another. Exactly one page is a
    child at any time; a page that appears gives its first input the keyboard
    focus.
*/
class MainComponent : public juce::Component
{
public:
    /** Builds everything on the shared data folder below the system's common
        application data folder. */
    MainComponent();

    /** For tests: the same on a given data folder. */
    explicit MainComponent (const juce::File& dataFolderToUse);

    ~MainComponent() override;

    //==============================================================================
    /** The shared data folder: the common application data folder, then
        "Common Files", "Vantora" and "Korvane", with a trailing separator. */
    static juce::String computeDataFolder();

    PresetStore& getStore() noexcept { return store; }

    /** The page that is currently shown. */
    GradientBackgroundComponent* getCurrentPage() const noexcept { return currentPage; }

    /** Gives the current page's first input the keyboard focus (when the
        window gets the focus with no control of the page holding it). */
    void focusCurrentPage();

    /** Screen readers see the pages, not this holder of them. */
    std::unique_ptr<juce::AccessibilityHandler> createAccessibilityHandler() override;

    HomePageComponent& getHomePage() noexcept { return homePage; }
    StartPageComponent& getStartPage() noexcept { return startPage; }
    PersonalizeYourAudioComponent& getPersonalizePage() noexcept { return personalizePage; }
    ProfileLoadedComponent& getProfileLoadedPage() noexcept { return profileLoadedPage; }
    UpdatesComponent& getUpdatesPage() noexcept { return updatesPage; }

    /** For quitting: asks every running service operation to stop, then
        waits until all have ended (about a second at most, whatever the
        service does). Their results are dropped, and no page starts another
        operation afterwards. Only the first call does anything. Message
        thread only. */
    void stopWorkers();

private:
    //==============================================================================
    void showFirstPage();
    void installNavigation();
    void switchTo (GradientBackgroundComponent& from, GradientBackgroundComponent& to, const juce::String& name);

    juce::String dataFolder;
    PresetStore store;
    Picture partnerLogo, poweredByLogo, decoderLogo, backArrow;

    HomePageComponent homePage;
    StartPageComponent startPage;
    PersonalizeYourAudioComponent personalizePage;
    ProfileLoadedComponent profileLoadedPage;
    UpdatesComponent updatesPage;

    GradientBackgroundComponent* currentPage = nullptr;
    bool workersStopped = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MainComponent)
};
