#pragma once

#include "ServiceWorker.h"

#include <juce_graphics/juce_graphics.h>

/** What a picture download is given. */
struct DownloadImageInputs
{
    juce::String url;

    /** The largest picture decoded; a larger one counts as no picture. */
    juce::Point<int> largestPicture;
};

//==============================================================================
/** Downloads one picture by address, with up to five attempts, decodes it
    here, within largestPicture (PictureDecoder), and hands over the image.

    success is true when the whole picture arrived and decoded; picture is
    invalid otherwise.
*/
struct DownloadImageThread : public ServiceWorker<DownloadImageThread,
                                                  DownloadImageInputs,
                                                  bool /* success */,
                                                  const juce::Image& /* picture */>
{
    DownloadImageThread();
    ~DownloadImageThread() override { stopRun(); }

private:
    //==============================================================================
    friend ServiceWorker;
    void job();
};
