#pragma once

#include "CloseGate.h"
#include "SharedFlag.h"

//==============================================================================
/** Process-wide flags through which pages and the window coordinate while a
    service operation runs. The operation that a page starts sets them before
    starting its worker and lets go of them on the message thread when its
    result arrives (service/ServiceOperation); workers never touch them.
*/

/** Shut while a page-started service operation runs: the close button then
    does nothing. Each operation holds it under its worker and lets go when
    its result has arrived. */
extern CloseGate canQuit;

/** True while a QR-code request or an HRTF download runs: pages draw the busy
    overlay and refuse buttons that would start another operation or leave. */
extern SharedFlag busy;

/** True while the start page's status check or first-run software check, or
    the updates page's status check, runs. */
extern SharedFlag statusCheckBusy;
