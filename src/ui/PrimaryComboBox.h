#pragma once

#include "text/TextLineCache.h"

#include <juce_gui_basics/juce_gui_basics.h>

//==============================================================================
/** The profile selector: a dark combo box with a red frame, a divider and a
    white drop-down triangle, and a dark popup menu that lines up inside the
    box's frame. Items are added and selected by the page.

    The keyboard works it as the framework's combo box (Return opens the
    list, the arrow keys change the item); while it has the focus and the
    keyboard is in use it shows its raised fill and a thin white frame. Screen
    readers read it as a combo box named by its title, with the item shown as
    its value.

    Items are profile names: one the framework cannot draw as written (a
    script the embedded faces lack, text to shape or laid out right to left)
    is drawn as a TextLine, in the box and in its list alike.
*/
class PrimaryComboBox : public juce::ComboBox
{
public:
    explicit PrimaryComboBox (const juce::String& componentName);
    ~PrimaryComboBox() override;

    //==============================================================================
    void mouseEnter (const juce::MouseEvent&) override;
    void mouseExit (const juce::MouseEvent&) override;
    std::unique_ptr<juce::AccessibilityHandler> createAccessibilityHandler() override;

    //==============================================================================
    /** The box's own look. The drop-down triangle is built on the first
        drawing and kept, whatever the box's size later. */
    class PrimaryComboBoxLNF : public juce::LookAndFeel_V4
    {
    public:
        PrimaryComboBoxLNF() = default;

        void drawPopupMenuBackground (juce::Graphics&, int width, int height) override;
        void drawPopupMenuItem (juce::Graphics&,
                                const juce::Rectangle<int>& area,
                                bool isSeparator,
                                bool isActive,
                                bool isHighlighted,
                                bool isTicked,
                                bool hasSubMenu,
                                const juce::String& text,
                                const juce::String& shortcutKeyText,
                                const juce::Drawable* icon,
                                const juce::Colour* textColour) override;
        juce::Font getPopupMenuFont() override;

        void drawComboBox (juce::Graphics&,
                           int width,
                           int height,
                           bool isButtonDown,
                           int buttonX,
                           int buttonY,
                           int buttonW,
                           int buttonH,
                           juce::ComboBox&) override;
        juce::Font getComboBoxFont (juce::ComboBox&) override;
        void positionComboBoxText (juce::ComboBox&, juce::Label&) override;
        juce::PopupMenu::Options getOptionsForComboBoxPopupMenu (juce::ComboBox&, juce::Label&) override;
        void drawComboBoxTextWhenNothingSelected (juce::Graphics&, juce::ComboBox&, juce::Label&) override;
        void drawLabel (juce::Graphics&, juce::Label&) override;

        /** The drop-down triangle; empty until the first drawing. */
        juce::Path arrowPath;

    private:
        TextLineCache names;

        JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (PrimaryComboBoxLNF)
    };

    PrimaryComboBoxLNF comboLook;

private:
    //==============================================================================
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (PrimaryComboBox)
};
