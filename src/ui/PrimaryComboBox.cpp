#include "PrimaryComboBox.h"

#include "Fonts.h"
#include "KeyboardFocusIndicator.h"
#include "Palette.h"

namespace
{
constexpr float comboFontHeight = 22.0f;

// The selector to screen readers: a combo box named by its title (what it
// selects), whose value is the item shown, and which opens its list when
// pressed.
class SelectorAccessibility : public juce::AccessibilityHandler
{
public:
    explicit SelectorAccessibility (juce::ComboBox& boxToWrap)
        : juce::AccessibilityHandler (boxToWrap,
                                      juce::AccessibilityRole::comboBox,
                                      juce::AccessibilityActions()
                                          .addAction (juce::AccessibilityActionType::press, [&boxToWrap]
                                                      { boxToWrap.showPopup(); })
                                          .addAction (juce::AccessibilityActionType::showMenu, [&boxToWrap]
                                                      { boxToWrap.showPopup(); }),
                                      { std::make_unique<ShownItem> (boxToWrap) })
        , box (boxToWrap)
    {
    }

    juce::AccessibleState getCurrentState() const override
    {
        const auto state = juce::AccessibilityHandler::getCurrentState().withExpandable();
        return box.isPopupActive() ? state.withExpanded() : state.withCollapsed();
    }

private:
    struct ShownItem : public juce::AccessibilityTextValueInterface
    {
        explicit ShownItem (juce::ComboBox& b)
            : box (b)
        {
        }

        bool isReadOnly() const override { return true; }
        juce::String getCurrentValueAsString() const override { return box.getText(); }
        void setValueAsString (const juce::String&) override {}

        juce::ComboBox& box;
    };

    juce::ComboBox& box;
};
}

//==============================================================================
PrimaryComboBox::PrimaryComboBox (const juce::String& name)
    : juce::ComboBox (name)
{
    setLookAndFeel (&comboLook);

    setColour (juce::ComboBox::textColourId, Palette::colour (Palette::white));
    setColour (juce::ComboBox::backgroundColourId, Palette::colour (Palette::darkSurface));
    setColour (juce::ComboBox::outlineColourId, Palette::colour (Palette::redAccent));
    setColour (juce::ComboBox::arrowColourId, Palette::colour (Palette::white));

    setRepaintsOnMouseActivity (true);
}

PrimaryComboBox::~PrimaryComboBox()
{
    // The look is a member: nothing may use it once this object goes.
    hidePopup();
    setLookAndFeel (nullptr);
}

void PrimaryComboBox::mouseEnter (const juce::MouseEvent&) { repaint(); }
void PrimaryComboBox::mouseExit (const juce::MouseEvent&) { repaint(); }

std::unique_ptr<juce::AccessibilityHandler> PrimaryComboBox::createAccessibilityHandler()
{
    return std::make_unique<SelectorAccessibility> (*this);
}

//==============================================================================
void PrimaryComboBox::PrimaryComboBoxLNF::drawPopupMenuBackground (juce::Graphics& g, int, int)
{
    g.fillAll (Palette::colour (Palette::raisedSurface));
}

void PrimaryComboBox::PrimaryComboBoxLNF::drawPopupMenuItem (juce::Graphics& g,
                                                             const juce::Rectangle<int>& area,
                                                             bool isSeparator,
                                                             bool isActive,
                                                             bool isHighlighted,
                                                             bool isTicked,
                                                             bool hasSubMenu,
                                                             const juce::String& text,
                                                             const juce::String& shortcutKeyText,
                                                             const juce::Drawable* icon,
                                                             const juce::Colour* textColour)
{
    if (isSeparator)
    {
        LookAndFeel_V4::drawPopupMenuItem (g, area, isSeparator, isActive, isHighlighted, isTicked, hasSubMenu, text, shortcutKeyText, icon, textColour);
        return;
    }

    const auto background = (isHighlighted || isTicked) ? Palette::colour (Palette::darkSurface)
                                                        : juce::Colours::transparentWhite;

    if (background.getAlpha() > 0)
    {
        g.setColour (background);
        g.fillRect (area);
    }

    const auto font = regularFont (comboFontHeight);
    const juce::Rectangle<int> textArea (area.getX() + 15,
                                         area.getY() + 8,
                                         juce::jmax (area.getWidth() - 30, 0),
                                         juce::jmax (area.getHeight() - 16, 0));

    if (! TextLine::frameworkDrawsAsWritten (text, font))
    {
        names.get (text, font).drawFitted (g, textArea.toFloat(), juce::Justification::centredLeft, juce::Colours::lightgrey);
        return;
    }

    g.setColour (juce::Colours::lightgrey);
    g.setFont (font);
    g.drawFittedText (text, textArea, juce::Justification::centredLeft, 1, 0.0f);
}

juce::Font PrimaryComboBox::PrimaryComboBoxLNF::getPopupMenuFont()
{
    return regularFont (comboFontHeight);
}

//==============================================================================
void PrimaryComboBox::PrimaryComboBoxLNF::drawComboBox (juce::Graphics& g,
                                                        int width,
                                                        int height,
                                                        bool,
                                                        int,
                                                        int,
                                                        int,
                                                        int,
                                                        juce::ComboBox& box)
{
    const auto innerWidth = (float) juce::jmax (width - 2, 0);
    const auto innerHeight = (float) juce::jmax (height - 2, 0);
    const auto focusShown = KeyboardFocusIndicator::isShownOn (box);
    const auto active = box.isPopupActive() || box.isMouseOver (true) || focusShown;

    g.setColour (active ? Palette::colour (Palette::raisedSurface)
                        : box.findColour (juce::ComboBox::backgroundColourId));
    g.fillRoundedRectangle (1.0f, 1.0f, innerWidth, innerHeight, 4.0f);

    const auto outline = box.findColour (juce::ComboBox::outlineColourId);
    const auto dividerX = (float) (box.getWidth() - height - 5);

    g.setColour (outline);
    g.drawLine (dividerX, 1.0f, dividerX, (float) box.getHeight() - 2.0f, 2.0f);
    g.drawRoundedRectangle (1.5f,
                            1.5f,
                            juce::jmax (innerWidth - 1.0f, 0.0f),
                            juce::jmax (innerHeight - 1.0f, 0.0f),
                            4.0f,
                            2.0f);

    if (focusShown)
        KeyboardFocusIndicator::drawFocusFrame (g, { 2.5f, 2.5f, juce::jmax ((float) width - 5.0f, 0.0f), juce::jmax ((float) height - 5.0f, 0.0f) }, 3.0f);

    if (arrowPath.isEmpty())
    {
        const auto u = (float) height / 3.0f;
        const auto x1 = dividerX + u;

        arrowPath.addTriangle (x1, u + 3.0f, x1 + u, u + 3.0f, (2.0f * x1 + u) / 2.0f, 2.0f * u - 2.0f);
    }

    g.setColour (juce::Colours::white);
    g.fillPath (arrowPath);
    g.setColour (box.findColour (juce::ComboBox::arrowColourId));
    g.strokePath (arrowPath, juce::PathStrokeType (2.0f));
}

juce::Font PrimaryComboBox::PrimaryComboBoxLNF::getComboBoxFont (juce::ComboBox&)
{
    return regularFont (comboFontHeight);
}

void PrimaryComboBox::PrimaryComboBoxLNF::positionComboBoxText (juce::ComboBox& box, juce::Label& label)
{
    const auto h = box.getHeight();
    const auto w = box.getWidth();
    const auto left = h / 4 + 1;

    label.setBounds (left, 1, w - h - left - 2, h - 2);
    label.setFont (regularFont (comboFontHeight));
}

juce::PopupMenu::Options PrimaryComboBox::PrimaryComboBoxLNF::getOptionsForComboBoxPopupMenu (juce::ComboBox& box,
                                                                                              juce::Label& label)
{
    const auto options = LookAndFeel_V4::getOptionsForComboBoxPopupMenu (box, label)
                             .withMinimumWidth (juce::jmax (box.getWidth() - 8, 0));

    // Narrow the target by 4 pixels on each side so the menu lines up inside
    // the box's frame.
    const auto target = options.getTargetScreenArea();

    return options.withTargetScreenArea (target.withX (target.getX() + 4)
                                             .withWidth (juce::jmax (target.getWidth() - 8, 0)));
}

void PrimaryComboBox::PrimaryComboBoxLNF::drawComboBoxTextWhenNothingSelected (juce::Graphics& g,
                                                                               juce::ComboBox& box,
                                                                               juce::Label& label)
{
    g.setColour (findColour (juce::ComboBox::textColourId));
    g.setFont (regularFont (comboFontHeight));

    const auto textArea = label.getBorderSize().subtractedFrom (label.getLocalBounds());
    const auto labelFontHeight = label.getFont().getHeight();
    const auto maximumLines = labelFontHeight > 0.0f ? juce::jmax (1, (int) ((float) textArea.getHeight() / labelFontHeight))
                                                     : 1;

    g.drawFittedText (box.getTextWhenNothingSelected(),
                      textArea,
                      label.getJustificationType(),
                      maximumLines,
                      label.getMinimumHorizontalScale());
}

void PrimaryComboBox::PrimaryComboBoxLNF::drawLabel (juce::Graphics& g, juce::Label& label)
{
    const auto font = getLabelFont (label);

    if (label.isBeingEdited() || TextLine::frameworkDrawsAsWritten (label.getText(), font))
    {
        LookAndFeel_V4::drawLabel (g, label);
        return;
    }

    // As the framework draws a label, with the name laid out as written.
    const auto alpha = label.isEnabled() ? 1.0f : 0.5f;
    const auto textArea = getLabelBorderSize (label).subtractedFrom (label.getLocalBounds());

    g.fillAll (label.findColour (juce::Label::backgroundColourId));
    names.get (label.getText(), font)
        .drawFitted (g,
                     textArea.toFloat(),
                     label.getJustificationType(),
                     label.findColour (juce::Label::textColourId).withMultipliedAlpha (alpha),
                     label.getMinimumHorizontalScale());
    g.setColour (label.findColour (juce::Label::outlineColourId).withMultipliedAlpha (alpha));
    g.drawRect (label.getLocalBounds());
}
