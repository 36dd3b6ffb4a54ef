// Makes the pictures the program draws one to one from the larger artwork
// that draw-artwork.sh draws: each original is drawn into place exactly as
// the pages drew it before, by the same framework calls and widgets, at one
// and at two display pixels per logical pixel, and the pixels that come out
// are kept in DrawnImageFormat (resources/images/drawn/NAME.apix and
// NAME@2x.apix). Drawn one to one, they give the pages the very pixels the
// scaled originals gave them, in a fraction of the memory and of the time to
// decode.
//
//   auralis_size_artwork IMAGES-FOLDER OUTPUT-FOLDER

#include "ui/DrawnImageFormat.h"
#include "ui/Picture.h"
#include "ui/PictureButton.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <iostream>

namespace
{
juce::Image load (const juce::File& file)
{
    auto image = juce::ImageFileFormat::loadFrom (file);

    if (! image.isValid())
        std::cerr << "size-artwork: cannot read " << file.getFullPathName() << std::endl;

    return image;
}

Picture loadPicture (const juce::File& folder, const juce::String& name, bool hasDoubled)
{
    return { load (folder.getChildFile (name + ".png")), hasDoubled ? load (folder.getChildFile (name + "@2x.png")) : juce::Image() };
}

constexpr int pageWidth = 540, pageHeight = 565;

/** Draws on a whole page at `scale` display pixels per logical pixel, then
    keeps the area (in page coordinates). The framework's scaling depends on
    where on the page a picture is drawn, to the last bit: hence the page. */
juce::Image drawOnPage (int scale, juce::Rectangle<int> area, const std::function<void (juce::Graphics&)>& draw)
{
    juce::Image page (juce::Image::ARGB, pageWidth * scale, pageHeight * scale, true);

    {
        juce::Graphics g (page);
        g.addTransform (juce::AffineTransform::scale ((float) scale));
        draw (g);
    }

    return page.getClippedImage (area * scale).createCopy();
}

/** As a page's picture button draws the picture at rest. */
juce::Image drawButton (const Picture& picture, juce::Rectangle<int> bounds, int scale)
{
    juce::Component page;
    page.setSize (pageWidth, pageHeight);
    PictureButton button;
    button.setPicture (picture, 1.0f, 1.0f, 1.0f);
    page.addAndMakeVisible (button);
    button.setBounds (bounds);

    return drawOnPage (scale, bounds, [&page] (juce::Graphics& g)
                       { page.paintEntireComponent (g, true); });
}

bool save (const juce::Image& image, const juce::File& file)
{
    file.deleteFile();
    juce::FileOutputStream out (file);

    if (! out.openedOk() || ! DrawnImageFormat::write (image, out))
    {
        std::cerr << "size-artwork: cannot write " << file.getFullPathName() << std::endl;
        return false;
    }

    std::cout << "size-artwork: " << file.getFileName() << " " << image.getWidth() << " x " << image.getHeight() << std::endl;
    return true;
}
}

int main (int argc, char* argv[])
{
    if (argc != 3)
    {
        std::cerr << "usage: auralis_size_artwork IMAGES-FOLDER OUTPUT-FOLDER" << std::endl;
        return 2;
    }

    const juce::ScopedJuceInitialiser_GUI framework;
    const juce::File images (juce::File::getCurrentWorkingDirectory().getChildFile (argv[1]));
    const juce::File output (juce::File::getCurrentWorkingDirectory().getChildFile (argv[2]));
    output.createDirectory();

    struct Drawn
    {
        juce::String name;
        bool hasDoubled;
        juce::Rectangle<int> area;
    };

    // Where the pages draw them: the partner's logo link at the bottom of
    // every page, the home page's refresh button.
    const Drawn drawn[] = {
        { "partner-logo", false, { 64, 490, 152, 34 } },
        { "refresh-icon", true, { 436, 159, 42, 42 } },
    };

    bool ok = true;

    for (const auto& d : drawn)
    {
        const auto picture = loadPicture (images, d.name, d.hasDoubled);

        if (! picture.isValid())
            return 1;

        for (const int scale : { 1, 2 })
            ok = save (drawButton (picture, d.area, scale), output.getChildFile (d.name + (scale == 1 ? "" : "@2x") + ".apix")) && ok;
    }

    return ok ? 0 : 1;
}
