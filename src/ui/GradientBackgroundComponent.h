#pragma once

#include "AccessibleCaption.h"
#include "Announcer.h"
#include "PictureButton.h"
#include "TextRow.h"
#include "common/SharedFlag.h"
#include "common/View.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>

//==============================================================================
/** The base of every page: a fixed 540 x 565 component with the grey
    gradient, the decoder plug-in logo, the two logo link buttons and the busy
    overlay, plus the members through which the main component navigates.

    It also makes the page usable without a mouse and readable by a screen
    reader: Tab and Shift+Tab go round the page's controls in reading order
    (see ReadingOrderTraverser), the first input (or else the page's main
    information) takes the focus when the page appears, a focused framework
    button (an image or link button) shows a
    thin frame while the keyboard is in use, and the captions a page paints
    and the busy overlay's message are read as text in their places.
*/
class GradientBackgroundComponent : public juce::Component,
                                    private SharedFlag::Listener
{
public:
    GradientBackgroundComponent (const Picture* decoderLogo,
                                 const Picture* partnerLogo,
                                 const Picture* poweredByLogo);

    ~GradientBackgroundComponent() override;

    //==============================================================================
    /** Takes on the named profile before the page is shown; nothing here. */
    virtual void setCurrentProfile (const juce::String& name);

    /** Draws the gradient and the logo; every page's paint starts with it. */
    void paintBackground (juce::Graphics& g);

    /** The busy overlay, drawn only while the shared busy flag is set (the
        page repaints when it changes), and the focus frame of a focused image
        or link button. */
    void paintOverChildren (juce::Graphics& g) override;

    //==============================================================================
    /** What takes the keyboard focus when the page appears: the page's
        likely next step where pressing it at once does no harm (it never
        goes back a step, nor starts a download or a submission that counts
        against the profile's quotas), otherwise the page's main information.
        By default the main information. */
    virtual juce::Component* getFirstInput();

    /** What the page is about, which a screen reader reads first when no
        control takes the focus as the page appears: by default the first
        caption the page exposes. */
    virtual juce::Component* getMainInformation();

    /** Gives the first input the focus, or the main information while the
        first input cannot take it (disabled, not shown); never a control
        that merely comes first on the page. Shows no focus indication, and
        does nothing while the page is not on the screen. */
    void focusFirstInput();

    std::unique_ptr<juce::ComponentTraverser> createKeyboardFocusTraverser() override;
    std::unique_ptr<juce::ComponentTraverser> createFocusTraverser() override;
    std::unique_ptr<juce::AccessibilityHandler> createAccessibilityHandler() override;

    //==============================================================================
    /** The text of the busy overlay. */
    juce::String overlayMessage;

    /** The profile the page serves. */
    juce::String profileName;

    /** Installed by the main component; the page calls it to ask for another page. */
    std::function<void (const juce::String&, View, const juce::Image&)> onNavigate;

protected:
    //==============================================================================
    /** Lets screen readers read the captions the page paints, each where its
        text is drawn. Returns them, for a page that paints some of them only
        at times to show and hide. */
    std::vector<AccessibleCaption*> exposeCaptions (const std::vector<TextRow>& rows);

    juce::Colour gradientTop, gradientBottom;
    PictureButton vantoraLink, korvaneLink;
    const Picture* decoderLogo;
    const Picture* partnerLogo;
    const Picture* poweredByLogo;

private:
    //==============================================================================
    /** The busy flag changed: the overlay and its message for screen
        readers follow it. */
    void sharedFlagChanged (const SharedFlag& flag) override;

    juce::OwnedArray<AccessibleCaption> captions;
    AccessibleCaption busyStatus { {} };
    Announcer busyAnnouncer;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (GradientBackgroundComponent)
};
