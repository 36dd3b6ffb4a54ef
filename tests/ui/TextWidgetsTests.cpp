#include "support/TestPeer.h"
#include "support/UiTestHelpers.h"
#include "ui/KeyboardFocusIndicator.h"
#include "ui/BoldTextEditor.h"
#include "ui/Fonts.h"
#include "ui/Palette.h"
#include "ui/TextEditorComponent.h"

using UiTest::coloursNear;

namespace
{
// The 1-pixel frame is centred on the boundary between pixels 0 and 1, so
// pixel 1 shows half frame over the fill.
juce::Colour frameOf (TextEditorComponent& entry)
{
    return UiTest::snapshot (entry).getPixelAt (entry.getWidth() - 2, 15);
}

juce::Colour expectedFrame (const char* argb)
{
    return Palette::colour (Palette::entryFill).interpolatedWith (Palette::colour (argb), 0.5f);
}
}

TEST (Fonts, HeightZeroKeepsTheTypefaceDefault)
{
    const auto defaultHeight = juce::Font (regularFont (30.0f).getTypefacePtr()).getHeight();

    EXPECT_FLOAT_EQ (regularFont (0.0f).getHeight(), defaultHeight);
    EXPECT_FLOAT_EQ (mediumFont (-4.0f).getHeight(), defaultHeight);
    EXPECT_FLOAT_EQ (regularFont (22.0f).getHeight(), 22.0f * embeddedFontHeightScale());

    // One typeface per face, made once.
    EXPECT_EQ (regularFont (18.0f).getTypefacePtr(), regularFont (20.0f).getTypefacePtr());
    EXPECT_NE (regularFont (18.0f).getTypefacePtr(), mediumFont (18.0f).getTypefacePtr());
    EXPECT_TRUE (regularFont (18.0f).getTypefaceName().startsWith ("Alegreya Sans"));
}

TEST (TextEditorComponent, LayoutAndFrameColours)
{
    TextEditorComponent entry (350);
    EXPECT_EQ (entry.getBounds(), juce::Rectangle<int> (0, 0, 350, 30));
    EXPECT_EQ (entry.editor.getBounds(), juce::Rectangle<int> (2, 2, 334, 30));
    EXPECT_FALSE (entry.editor.isMultiLine());
    EXPECT_FALSE (entry.edited);

    EXPECT_TRUE (coloursNear (UiTest::snapshot (entry).getPixelAt (20, 15), Palette::colour (Palette::entryFill)));
    EXPECT_TRUE (coloursNear (frameOf (entry), expectedFrame (Palette::entryFrame)));

    const auto event = UiTest::mouseEventOn (entry);
    entry.mouseEnter (event);
    EXPECT_TRUE (coloursNear (frameOf (entry), expectedFrame (Palette::entryFramePointed)));
    entry.mouseExit (event);
    EXPECT_TRUE (coloursNear (frameOf (entry), expectedFrame (Palette::entryFrame)));

    // Typing turns the frame pale and marks the entry edited.
    entry.editor.insertTextAtCaret ("Ann");
    UiTest::pumpMessages();
    EXPECT_TRUE (entry.edited);
    EXPECT_TRUE (coloursNear (frameOf (entry), expectedFrame (Palette::entryFrameChanged)));

    // The next pointer activity takes the frame back.
    entry.mouseDown (event);
    EXPECT_TRUE (coloursNear (frameOf (entry), expectedFrame (Palette::entryFramePointed)));
}

TEST (TextEditorComponent, ReturnEscapeAndAFocusTheUserTookUpMarkEdited)
{
    OnTestPeer<juce::Component> window;
    window.setSize (300, 100);
    TextEditorComponent entry (200), other (200);
    window.addAndMakeVisible (entry);
    window.addAndMakeVisible (other);
    other.setTopLeftPosition (0, 50);
    window.addToDesktop (0);
    window.setVisible (true);
    KeyboardFocusIndicator::watch (window); // as the program watches its windows

    bool editedOnReturn = false;
    entry.onReturn = [&]
    { editedOnReturn = entry.edited; };

    for (auto key : { juce::KeyPress::returnKey, juce::KeyPress::escapeKey })
    {
        entry.edited = false;
        entry.editor.keyPressed (juce::KeyPress (key));
        UiTest::pumpMessages();
        EXPECT_TRUE (entry.edited) << key;
        EXPECT_EQ (entry.borderColour, Palette::colour (Palette::entryFrame)) << key;
    }

    EXPECT_TRUE (editedOnReturn);

    // The focus a page gives its entry, lost again untouched: still unedited.
    const auto focusMovesOn = [&]
    {
        other.editor.grabKeyboardFocus();
        UiTest::pumpMessages();
    };

    entry.edited = false;
    entry.editor.grabKeyboardFocus();
    EXPECT_TRUE (coloursNear (frameOf (entry), expectedFrame (Palette::entryFrame)));
    focusMovesOn();
    EXPECT_FALSE (entry.edited);

    // Reached with Tab (its frame white meanwhile), then left: edited.
    window.press (UiTest::shiftTab);
    ASSERT_TRUE (entry.editor.hasKeyboardFocus (false));
    EXPECT_TRUE (coloursNear (frameOf (entry), expectedFrame (Palette::white)));
    focusMovesOn();
    EXPECT_TRUE (entry.edited);

    // Given the focus, then clicked into: the user took it up.
    entry.edited = false;
    entry.editor.grabKeyboardFocus();
    window.click ({ 50.0f, 15.0f });
    EXPECT_FALSE (coloursNear (frameOf (entry), expectedFrame (Palette::white))); // the mouse is in use now
    focusMovesOn();
    EXPECT_TRUE (entry.edited);
}

//==============================================================================
namespace
{
// Brightest glyph pixel in an area of a display's snapshot: FF for white text,
// BF for grey text, 0 where nothing is drawn.
int brightestIn (BoldTextEditor& display, juce::Rectangle<int> area)
{
    return UiTest::brightestRed (UiTest::snapshot (display), area);
}

constexpr int grey = 0xbf, white = 0xff;
}

TEST (BoldTextEditor, EachNamedSettingReachesItsOwnPlace)
{
    const BoldTextEditor plain (BoldTextEditor::Options {});
    EXPECT_EQ (plain.getWidth(), 0);
    EXPECT_EQ (plain.fontHeight, BoldTextEditor::Options::standardFontHeight);

    const BoldTextEditor centred (BoldTextEditor::Options {}.withSize (282, 35).withFontHeight (19));
    EXPECT_EQ (centred.getBounds(), juce::Rectangle<int> (0, 0, 282, 35));
    EXPECT_EQ (centred.editor.getBounds(), juce::Rectangle<int> (0, 0, 282, 35));
    EXPECT_EQ (centred.fontHeight, 19);
    EXPECT_EQ (centred.editor.getFont().getHeight(), regularFont (19.0f).getHeight());
    EXPECT_EQ (centred.editor.getJustificationType(), juce::Justification (juce::Justification::horizontallyCentred | juce::Justification::top));
    EXPECT_EQ (centred.editor.findColour (juce::TextEditor::textColourId), Palette::colour (Palette::white));

    const BoldTextEditor left (BoldTextEditor::Options {}.withSize (225, 28).withGreyText().withLeftJustifiedText());
    EXPECT_EQ (left.editor.getJustificationType(), juce::Justification (juce::Justification::left));
    EXPECT_EQ (left.editor.findColour (juce::TextEditor::textColourId), Palette::colour (Palette::greyText));
}

TEST (BoldTextEditor, EmphasisedPartIsWhiteInAGreyDisplay)
{
    BoldTextEditor display (BoldTextEditor::Options {}.withSize (400, 30).withFontHeight (20).withGreyText().withLeftJustifiedText());
    EXPECT_TRUE (display.editor.isReadOnly());
    EXPECT_TRUE (display.editor.isMultiLine());

    const juce::String prefix ("Logged in as  "), name ("MMMMMM");
    display.setEmphasisedText (prefix, name, {});
    EXPECT_EQ (display.editor.getText(), prefix + name);
    EXPECT_EQ (display.editor.getHighlightedRegion(), juce::Range<int> (prefix.length(), prefix.length() + name.length()));

    const auto split = juce::roundToInt (regularFont (20.0f).getStringWidthFloat (prefix));
    EXPECT_NEAR (brightestIn (display, { 0, 0, split - 4, 30 }), grey, 2);
    EXPECT_NEAR (brightestIn (display, { split + 8, 0, 400 - split - 8, 30 }), white, 2);
}

TEST (BoldTextEditor, PlainAndEmptyTexts)
{
    BoldTextEditor display (BoldTextEditor::Options {}.withSize (400, 30).withFontHeight (20).withGreyText());

    // A value on its own shows white even in a grey display.
    display.setEmphasisedText ({}, "MMMMMM", {});
    EXPECT_NEAR (brightestIn (display, display.getLocalBounds()), white, 2);

    // With nothing emphasised, the whole text keeps the display's grey.
    display.setEmphasisedText ("A1B2C3D4E5", {}, {});
    EXPECT_EQ (display.editor.getText(), "A1B2C3D4E5");
    EXPECT_NEAR (brightestIn (display, display.getLocalBounds()), grey, 2);

    // Three empty strings clear it.
    display.setEmphasisedText ({}, {}, {});
    EXPECT_TRUE (display.editor.getText().isEmpty());
    EXPECT_EQ (brightestIn (display, display.getLocalBounds()), 0);
}

TEST (BoldTextEditor, WhiteDisplayAndSuffix)
{
    BoldTextEditor display (BoldTextEditor::Options {}.withSize (400, 60).withFontHeight (18).withLeftJustifiedText());
    display.setEmphasisedText ("You have ", "3", " submissions left");

    EXPECT_EQ (display.editor.getText(), "You have 3 submissions left");
    EXPECT_EQ (display.editor.getHighlightedRegion(), juce::Range<int> (9, 10));
    EXPECT_NEAR (brightestIn (display, display.getLocalBounds()), white, 2);
}

TEST (Fonts, DrawTheGlyphsAtTheSizeWindowsGivesThem)
{
    // Windows sizes the faces by usWinAscent + usWinDescent (1126 + 312);
    // FreeType by the typographic metrics the faces ask for (800 + 200).
#if JUCE_WINDOWS
    EXPECT_FLOAT_EQ (embeddedFontHeightScale(), 1.0f);
#else
    EXPECT_NEAR (embeddedFontHeightScale(), 1000.0f / 1438.0f, 1.0e-4f);
#endif

    // "point it at the QR Code. Click on the" fits its 213 px caption box at 17.
    EXPECT_LT (regularFont (17.0f).getStringWidthFloat ("point it at the QR Code. Click on the"), 213.0f);
}
