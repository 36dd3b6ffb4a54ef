#include "app/MainComponent.h"

#include <gtest/gtest.h>

TEST (MainComponent, IsTheWindowsFixedClientSize)
{
    juce::TemporaryFile folder;
    folder.getFile().createDirectory();
    MainComponent main (folder.getFile());

    EXPECT_EQ (main.getWidth(), 540);
    EXPECT_EQ (main.getHeight(), 565);
    folder.getFile().deleteRecursively();
}
