#pragma once

#include "NetworkStop.h"
#include "ResultDelivery.h"

#include <juce_graphics/juce_graphics.h>

#include <functional>

//==============================================================================
/** Downloads one picture by address, with up to five attempts, decodes it
    here, within largestPicture (PictureDecoder), and hands over the image.
*/
struct DownloadImageThread : public juce::Thread
{
    DownloadImageThread();

    /** Asks a run under way to stop, then waits until it has ended. */
    ~DownloadImageThread() override;

    void run() override;

    //==============================================================================
    juce::String url;

    /** The largest picture decoded; a larger one counts as no picture. */
    juce::Point<int> largestPicture;

    /** success is true when the whole picture arrived and decoded; picture
        is invalid otherwise. */
    std::function<void (bool success, const juce::Image& picture)> onResult;

private:
    //==============================================================================
    ResultDelivery delivery { *this };
    NetworkStop networkStop { *this };

    JUCE_DECLARE_NON_COPYABLE (DownloadImageThread)
};
