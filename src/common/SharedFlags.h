#pragma once

#include "CloseGate.h"

#include <atomic>

//==============================================================================
/** Process-wide flags through which pages and the window coordinate while a
    service operation runs. Pages set them before starting a worker and their
    result handlers clear them on the message thread; workers never touch them.
*/

/** Shut while a page-started service operation runs: the close button then
    does nothing. Each operation holds it under its worker and releases it in
    its result handler. */
extern CloseGate canQuit;

/** True while a QR-code request or an HRTF download runs: pages draw the busy
    overlay and refuse buttons that would start another operation or leave. */
extern std::atomic<bool> busy;

/** True while the start page's status check or first-run software check, or
    the updates page's status check, runs. */
extern std::atomic<bool> statusCheckBusy;
