#include "KorvaneOnboardingApplication.h"

#include "FirstFrame.h"
#include "common/AppConstants.h"

KorvaneOnboardingApplication::KorvaneOnboardingApplication() = default;

KorvaneOnboardingApplication::~KorvaneOnboardingApplication()
{
    // Components must not outlive the look they draw with: the window goes
    // first (shutdown has normally deleted it already), then the look stops
    // being the default before it is destroyed.
    mainWindow.reset();
    juce::LookAndFeel::setDefaultLookAndFeel (nullptr);
}

//==============================================================================
const juce::String KorvaneOnboardingApplication::getApplicationName() { return AppConstants::applicationName; }
const juce::String KorvaneOnboardingApplication::getApplicationVersion() { return AppConstants::applicationVersion; }
bool KorvaneOnboardingApplication::moreThanOneInstanceAllowed() { return false; }

void KorvaneOnboardingApplication::initialise (const juce::String&)
{
    mainWindow = std::make_unique<MainWindow> (getApplicationName());
    mainWindow->setVisible (true);

    juce::LookAndFeel::setDefaultLookAndFeel (&lookAndFeel);
    repaintFallback.start();

    // The window is complete: its first frame goes to the screen now rather
    // than on the framework's next refresh tick.
    FirstFrame::paintNow (*mainWindow);
}

void KorvaneOnboardingApplication::shutdown()
{
    repaintFallback.stop();
    mainWindow.reset();
}

void KorvaneOnboardingApplication::anotherInstanceStarted (const juce::String&)
{
    // A second launch hands over to this instance, which leaves its window as it is.
}

void KorvaneOnboardingApplication::systemRequestedQuit()
{
    // Whoever asks (the system, the window's close, an alert's "OK"), the
    // program does not wait for the network to quit.
    if (mainWindow != nullptr)
        mainWindow->getMainComponent().stopWorkers();

    quit();
    mainLoopWakeUp.wake();
}

void KorvaneOnboardingApplication::suspended() {}
void KorvaneOnboardingApplication::resumed() {}
void KorvaneOnboardingApplication::unhandledException (const std::exception*, const juce::String&, int) {}
void KorvaneOnboardingApplication::memoryWarningReceived() {}
bool KorvaneOnboardingApplication::backButtonPressed() { return false; }
