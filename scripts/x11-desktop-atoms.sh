#!/usr/bin/env bash
# A bare Xvfb has no window manager, so the atoms a desktop would have made
# (WM_PROTOCOLS, WM_DELETE_WINDOW, _NET_WM_STATE ...) do not exist, and JUCE
# then refuses close requests or fails on a null atom. Setting a root-window
# property to an atom's name creates that atom; one name per setting, since
# xprop takes a list with commas as a single name. Run the X server with
# -noreset, or the atoms vanish when the last client disconnects.
set -euo pipefail
for atom in WM_PROTOCOLS WM_TAKE_FOCUS WM_DELETE_WINDOW _NET_WM_PING WM_CHANGE_STATE WM_STATE \
    _NET_WM_WINDOW_TYPE _NET_WM_STATE _NET_WM_STATE_HIDDEN _NET_WM_WINDOW_TYPE_NORMAL \
    _NET_WM_WINDOW_TYPE_DIALOG _NET_WM_WINDOW_TYPE_POPUP_MENU _NET_WM_STATE_SKIP_TASKBAR \
    _NET_WM_STATE_ABOVE _NET_WM_ICON _NET_WM_NAME _MOTIF_WM_HINTS _NET_FRAME_EXTENTS \
    _NET_WM_ALLOWED_ACTIONS _NET_WM_ACTION_MOVE _NET_WM_ACTION_MINIMIZE _NET_WM_ACTION_CLOSE \
    _NET_WM_ACTION_RESIZE _NET_WM_ACTION_MAXIMIZE_HORZ _NET_WM_ACTION_MAXIMIZE_VERT \
    _NET_WM_STATE_MAXIMIZED_HORZ _NET_WM_STATE_MAXIMIZED_VERT _NET_WM_STATE_FULLSCREEN \
    _NET_WORKAREA _NET_CURRENT_DESKTOP _NET_SUPPORTED; do
    xprop -root -f _AURALIS_DESKTOP_ATOM 32a -set _AURALIS_DESKTOP_ATOM "$atom"
done
xprop -root -remove _AURALIS_DESKTOP_ATOM
