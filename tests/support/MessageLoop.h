#pragma once

#include <functional>

//==============================================================================
/*  Message-loop helpers for tests on the message thread (the test's main
    thread): deliveries posted by workers run while the loop is pumped.
*/

/** Pumps the message loop until the condition holds or the time is up;
    returns the condition's last value. */
bool runMessageLoopUntil (const std::function<bool()>& condition, int timeoutMs = 30000);

/** Pumps the message loop for the given time, to let late messages arrive. */
void runMessageLoopFor (int milliseconds);
