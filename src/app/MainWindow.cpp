#include "MainWindow.h"

#include "common/ExternalActions.h"
#include "common/SharedFlags.h"

MainWindow::MainWindow (const juce::String& name)
    : DocumentWindow (name, juce::Colour (0xff000000), DocumentWindow::minimiseButton | DocumentWindow::closeButton, true)
{
    setUpWindow();
}

MainWindow::MainWindow (const juce::String& name, const juce::File& dataFolder)
    : DocumentWindow (name, juce::Colour (0xff000000), DocumentWindow::minimiseButton | DocumentWindow::closeButton, true)
    , mainComponent (dataFolder)
{
    setUpWindow();
}

MainWindow::~MainWindow()
{
    clearContentComponent();
}

void MainWindow::setUpWindow()
{
    onQuitRequested = []
    { ExternalActions::requestQuit(); };

    setUsingNativeTitleBar (true);
    setContentNonOwned (&mainComponent, true);
    setResizable (false, false);
    centreWithSize (getWidth(), getHeight());
}

void MainWindow::closeButtonPressed()
{
    if (! canQuit.isOpen())
        return;

    mainComponent.getStore().save();

    // Quitting never waits for the network: workers still running (a picture
    // download past its deadline, say) are stopped, their results dropped.
    mainComponent.stopWorkers();

    if (onQuitRequested)
        onQuitRequested();
}

void MainWindow::focusGained (FocusChangeType)
{
    // Giving the focus away can bring it back here when the page has no
    // input that takes it.
    if (passingFocusOn)
        return;

    const juce::ScopedValueSetter<bool> passing (passingFocusOn, true);
    mainComponent.focusCurrentPage();
}
