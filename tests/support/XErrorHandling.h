#pragma once

/** The test program is not a standalone JUCE application, so JUCE leaves
    Xlib's default error handler in place, and that handler ends the process
    on any X error: for example a BadWindow when JUCE looks through the
    desktop's windows while another test process (ctest runs them side by side
    on one Xvfb) has just closed one of its own. This installs a handler that
    ignores X errors, as JUCE's own does in the program. Does nothing without
    a display. */
void ignoreXErrorsAsTheProgramDoes();
