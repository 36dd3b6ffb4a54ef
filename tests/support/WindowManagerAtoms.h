#pragma once

/** A bare Xvfb has no window manager, so the atoms a desktop would have made
    (WM_PROTOCOLS, WM_DELETE_WINDOW, _NET_WM_STATE ...) do not exist, and JUCE
    then refuses close requests or sends properties with a null atom. This
    creates them, as a window manager would, and keeps its connection open so
    the server does not reset and forget them. Does nothing without a display. */
void ensureWindowManagerAtoms();
