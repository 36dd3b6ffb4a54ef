#include "GradientBackgroundComponent.h"

#include "Fonts.h"
#include "KeyboardFocusIndicator.h"
#include "Palette.h"
#include "ReadingOrderTraverser.h"
#include "common/AppConstants.h"
#include "common/ExternalActions.h"
#include "common/SharedFlags.h"

namespace
{
const juce::Rectangle<int> overlayMessageArea { 120, 270, 300, 19 };

void setUpLinkButton (PictureButton& button, const Picture* picture, const juce::String& address, const juce::String& title)
{
    button.setPicture (picture != nullptr ? *picture : Picture(), 1.0f, 1.0f, 0.65f);
    button.setTitle (title);
    button.onClick = [address]
    { ExternalActions::openInBrowser (address); };
}
}

//==============================================================================
GradientBackgroundComponent::GradientBackgroundComponent (const Picture* decoderLogoToUse,
                                                          const Picture* partnerLogoToUse,
                                                          const Picture* poweredByLogoToUse)
    : gradientTop (Palette::colour (Palette::gradientTop))
    , gradientBottom (Palette::colour (Palette::gradientBottom))
    , vantoraLink ("Vantora Link")
    , korvaneLink ("Korvane Link")
    , decoderLogo (decoderLogoToUse)
    , partnerLogo (partnerLogoToUse)
    , poweredByLogo (poweredByLogoToUse)
{
    setUpLinkButton (korvaneLink, partnerLogo, AppConstants::partnerWebAddress, AppConstants::partnerLinkTitle);
    addAndMakeVisible (korvaneLink);
    korvaneLink.setBounds (64, 490, 152, 34);

    setUpLinkButton (vantoraLink, poweredByLogo, AppConstants::makerWebAddress, AppConstants::makerLinkTitle);
    addAndMakeVisible (vantoraLink);
    vantoraLink.setBounds (324, 490, 152, 34);

    // The busy overlay's message, read while the overlay is drawn.
    addChildComponent (busyStatus);
    busyStatus.setBounds (overlayMessageArea);

    setSize (540, 565);

    // Tab and Shift+Tab go round this page's controls only.
    setFocusContainerType (juce::Component::FocusContainerType::keyboardFocusContainer);

    // Make the page's weak reference here, on the message thread, so that
    // code on a worker thread (a save failure reported by the store) can take
    // a SafePointer to the page without racing to create it.
    const juce::Component::SafePointer<juce::Component> weakReference (this);
    juce::ignoreUnused (weakReference);

    busy.addListener (this);
}

GradientBackgroundComponent::~GradientBackgroundComponent()
{
    busy.removeListener (this);
}

void GradientBackgroundComponent::setCurrentProfile (const juce::String&)
{
}

void GradientBackgroundComponent::paintBackground (juce::Graphics& g)
{
    g.setGradientFill (juce::ColourGradient (gradientTop, 0.0f, 0.0f, gradientBottom, 0.0f, 540.0f, false));
    g.setOpacity (0.95f);
    g.fillAll();

    if (decoderLogo != nullptr && decoderLogo->isValid())
    {
        const auto& logo = decoderLogo->forContext (g);
        g.drawImage (logo, 161, 27, 219, 86, 0, 0, logo.getWidth(), logo.getHeight());
    }
}

//==============================================================================
juce::Component* GradientBackgroundComponent::getFirstInput()
{
    return getMainInformation();
}

juce::Component* GradientBackgroundComponent::getMainInformation()
{
    return captions.getFirst();
}

void GradientBackgroundComponent::focusFirstInput()
{
    KeyboardFocusIndicator::setKeyboardInUse (false);

    if (! isShowing())
        return;

    // An input that cannot take the focus just now (disabled while a check
    // runs) gives way to the main information, not to whatever control
    // comes first on the page: that is often the way back.
    for (auto* candidate : { getFirstInput(), getMainInformation() })
    {
        if (candidate == nullptr || ! isParentOf (candidate) || ! candidate->isShowing() || ! candidate->isEnabled())
            continue;

        // A caption or a status line holds the focus outside the Tab order.
        if (! candidate->getWantsKeyboardFocus())
            ReadingOrderTraverser::focusOnArrivalOnly (*candidate);

        candidate->grabKeyboardFocus();
        return;
    }
}

std::unique_ptr<juce::ComponentTraverser> GradientBackgroundComponent::createKeyboardFocusTraverser()
{
    return std::make_unique<ReadingOrderTraverser> (ReadingOrderTraverser::Purpose::keyboard);
}

std::unique_ptr<juce::ComponentTraverser> GradientBackgroundComponent::createFocusTraverser()
{
    return std::make_unique<ReadingOrderTraverser> (ReadingOrderTraverser::Purpose::accessibility);
}

std::unique_ptr<juce::AccessibilityHandler> GradientBackgroundComponent::createAccessibilityHandler()
{
    return std::make_unique<juce::AccessibilityHandler> (*this, juce::AccessibilityRole::group);
}

std::vector<AccessibleCaption*> GradientBackgroundComponent::exposeCaptions (const std::vector<TextRow>& rows)
{
    std::vector<AccessibleCaption*> made;

    for (const auto& row : rows)
    {
        auto* caption = captions.add (std::make_unique<AccessibleCaption> (row.text));
        caption->setBounds (AccessibleCaption::textArea (row));
        addAndMakeVisible (caption);
        made.push_back (caption);
    }

    return made;
}

//==============================================================================
void GradientBackgroundComponent::sharedFlagChanged (const SharedFlag&)
{
    const auto isBusy = busy.load();

    busyStatus.setTitle (overlayMessage);
    busyStatus.setVisible (isBusy);

    // Every page follows the flag; only the one on the screen speaks.
    if (isShowing())
        busyAnnouncer.announceChange (isBusy ? overlayMessage : juce::String());

    repaint();
}

void GradientBackgroundComponent::paintOverChildren (juce::Graphics& g)
{
    // A focused image or link button draws no focus of its own.
    if (auto* focused = dynamic_cast<juce::Button*> (getCurrentlyFocusedComponent());
        focused != nullptr && isParentOf (focused) && KeyboardFocusIndicator::isShownOn (*focused))
    {
        KeyboardFocusIndicator::drawFocusFrame (g, getLocalArea (focused, focused->getLocalBounds()).toFloat(), 4.0f);
    }

    if (! busy.load())
        return;

    const juce::Rectangle<float> box (120.0f, 230.0f, 300.0f, 100.0f);

    // The frame line is centred on the box's edge; the box's fill then covers
    // its inner half, leaving a white rim outside the box.
    juce::Path frame;
    frame.addRectangle (box);
    g.setColour (juce::Colours::white);
    g.strokePath (frame, juce::PathStrokeType (3.0f));

    g.setColour (Palette::colour (Palette::overlayBox));
    g.setOpacity (0.93f);
    g.fillRect (box);

    g.setColour (juce::Colours::black);
    g.setFont (mediumFont (20.0f));
    g.drawText (overlayMessage, overlayMessageArea, juce::Justification::centred, false);
}
