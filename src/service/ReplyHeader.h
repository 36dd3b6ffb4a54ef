#pragma once

#include <juce_core/juce_core.h>

//==============================================================================
/** The four members every service reply carries. A worker's result starts
    with the values below, which also stand for "no usable reply".
*/
struct ReplyHeader
{
    juce::String execId;
    int statusCode = -1;
    int returnCode = -1;
    juce::String message;
};
