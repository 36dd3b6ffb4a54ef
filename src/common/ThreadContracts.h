#pragma once

#include <juce_events/juce_events.h>

//==============================================================================
/** The counterpart of JUCE_ASSERT_MESSAGE_THREAD for what may only run on a
    worker's own thread (it blocks for the network or the disk): asserts that
    this is not the message thread. Where there is no message thread (the
    command-line tools), every thread passes.
*/
#define AURALIS_ASSERT_WORKER_THREAD \
    jassert (! juce::MessageManager::existsAndIsCurrentThread());
