#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

//==============================================================================
/** The modal alerts through which pages show every result and notice. Each
    alert is centred over the page it is shown for; the page is drawn at 70 %
    opacity while the alert is up and at full opacity again afterwards.

    showAlert, showUpdateAlert and showUpdateAvailable run a nested modal loop
    and must be called on the message thread; other messages (timers, worker
    results) are still handled while they wait. showMissingComponents may be
    called on any thread.
*/

/** An alert with the single button "OK". Returns 1 when "OK" was pressed (or
    Return), 0 when the alert was dismissed otherwise (Escape, system close). */
int showAlert (juce::Component& page, const juce::String& title, const juce::String& message);

/** As showAlert; when "OK" is pressed it also opens the download address in
    the default browser (nothing is opened for an empty address) and asks the
    application to quit. */
int showUpdateAlert (juce::Component& page,
                     const juce::String& title,
                     const juce::String& message,
                     const juce::String& downloadUrl);

/** An alert with two buttons. Returns 1 for the first, 2 for the second and 0
    when the alert was dismissed otherwise. */
int showUpdateAvailable (juce::Component& page,
                         const juce::String& title,
                         const juce::String& message,
                         const juce::String& firstButtonText,
                         const juce::String& secondButtonText);

/** Posts an alert without buttons to the message thread and returns at once;
    the alert stays until the user presses Escape or closes it. Nothing is
    shown when the page no longer exists by the time the message thread gets
    to it.

    Off the message thread the page must already have a weak reference made
    on the message thread (every page does: its base class makes one when it
    is built). */
void showMissingComponents (juce::Component& page, const juce::String& title, const juce::String& message);
