#include "support/UiTestHelpers.h"
#include "ui/Fonts.h"
#include "ui/Palette.h"
#include "ui/PrimaryComboBox.h"

using UiTest::coloursNear;

TEST (PrimaryComboBox, DrawsItsFrameAndKeepsItsFirstArrowAfterAResize)
{
    PrimaryComboBox box ("Profiles");
    box.addItem ("Ann", 1);
    box.setSelectedId (1, juce::dontSendNotification);
    box.setSize (200, 30);

    EXPECT_TRUE (box.comboLook.arrowPath.isEmpty());
    auto image = UiTest::snapshot (box);
    ASSERT_FALSE (box.comboLook.arrowPath.isEmpty());
    const auto firstArrow = box.comboLook.arrowPath.getBounds();

    // u = 10, x1 = 200 - 30 - 5 + 10 = 175: the triangle (175, 13) (185, 13) (180, 18).
    EXPECT_NEAR (firstArrow.getX(), 175.0f, 0.01f);
    EXPECT_NEAR (firstArrow.getRight(), 185.0f, 0.01f);
    EXPECT_NEAR (firstArrow.getY(), 13.0f, 0.01f);
    EXPECT_NEAR (firstArrow.getBottom(), 18.0f, 0.01f);
    EXPECT_TRUE (coloursNear (image.getPixelAt (180, 14), juce::Colours::white));

    // Dark fill, red frame, red divider in front of the arrow.
    EXPECT_TRUE (coloursNear (image.getPixelAt (100, 5), Palette::colour (Palette::darkSurface)));
    EXPECT_TRUE (coloursNear (image.getPixelAt (165, 15), Palette::colour (Palette::redAccent)));
    EXPECT_TRUE (coloursNear (image.getPixelAt (100, 1), Palette::colour (Palette::redAccent)));

    box.setSize (300, 45);
    image = UiTest::snapshot (box);
    EXPECT_EQ (box.comboLook.arrowPath.getBounds(), firstArrow);
    EXPECT_TRUE (coloursNear (image.getPixelAt (180, 14), juce::Colours::white));
}

TEST (PrimaryComboBox, TextAreaAndPopupLineUpInsideTheFrame)
{
    PrimaryComboBox box ("Profiles");
    box.setBounds (40, 50, 200, 40);

    juce::Label* label = nullptr;

    for (auto* child : box.getChildren())
        if (auto* l = dynamic_cast<juce::Label*> (child))
            label = l;

    ASSERT_NE (label, nullptr);
    box.resized();

    // h / 4 + 1 = 11: (11, 1, 200 - 40 - 11 - 2, 38).
    EXPECT_EQ (label->getBounds(), juce::Rectangle<int> (11, 1, 147, 38));
    EXPECT_FLOAT_EQ (label->getFont().getHeight(), regularFont (22.0f).getHeight());

    const auto options = box.comboLook.getOptionsForComboBoxPopupMenu (box, *label);
    const auto screen = box.getScreenBounds();
    EXPECT_EQ (options.getTargetComponent(), &box);
    EXPECT_EQ (options.getMinimumWidth(), 192);
    EXPECT_EQ (options.getMaximumNumColumns(), 1);
    EXPECT_EQ (options.getStandardItemHeight(), 38);
    EXPECT_EQ (options.getTargetScreenArea(), screen.withTrimmedLeft (4).withTrimmedRight (4));
}
