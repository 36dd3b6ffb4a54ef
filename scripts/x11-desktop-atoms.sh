#!/usr/bin/env bash
# A bare Xvfb has no window manager, so the atoms a desktop would have made
# (WM_PROTOCOLS, WM_DELETE_WINDOW, _NET_WM_STATE ...) do not exist, and JUCE
# then refuses close requests or fails on a null atom. Setting a root-window
# property of atom type creates them. Run the X server with -noreset, or the
# atoms vanish when the last client disconnects.
set -euo pipefail
xprop -root -f _AURALIS_DESKTOP_ATOMS 32a -set _AURALIS_DESKTOP_ATOMS \
"WM_PROTOCOLS,WM_TAKE_FOCUS,WM_DELETE_WINDOW,_NET_WM_PING,WM_CHANGE_STATE,WM_STATE,_NET_WM_WINDOW_TYPE,\
_NET_WM_STATE,_NET_WM_STATE_HIDDEN,_NET_WM_WINDOW_TYPE_NORMAL,_NET_WM_WINDOW_TYPE_DIALOG,_NET_WM_ICON,_NET_WM_NAME,\
_MOTIF_WM_HINTS,_NET_FRAME_EXTENTS,_NET_WM_STATE_SKIP_TASKBAR,_NET_WM_STATE_ABOVE,_NET_WORKAREA,_NET_SUPPORTED"
