#pragma once

#include <functional>
#include <type_traits>

//==============================================================================
/*  Runs what may only run on a worker's thread (it blocks for the network or
    the disk) on a thread of its own, as a worker would, and waits until it
    has returned. For tests on the message thread.
*/
void runOnWorkerThread (const std::function<void()>& function);

template <typename Function>
auto onWorkerThread (Function&& function)
{
    std::decay_t<decltype (function())> result {};
    runOnWorkerThread ([&]
                       { result = function(); });
    return result;
}
