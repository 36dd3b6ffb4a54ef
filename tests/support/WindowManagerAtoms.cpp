#include "WindowManagerAtoms.h"

#include <X11/Xlib.h>

#include <initializer_list>

void ensureWindowManagerAtoms()
{
    static Display* display = XOpenDisplay (nullptr);

    if (display == nullptr)
        return;

    for (auto* name : { "WM_PROTOCOLS", "WM_TAKE_FOCUS", "WM_DELETE_WINDOW", "_NET_WM_PING", "WM_CHANGE_STATE", "WM_STATE", "_NET_WM_WINDOW_TYPE", "_NET_WM_STATE", "_NET_WM_STATE_HIDDEN", "_NET_WM_WINDOW_TYPE_NORMAL", "_NET_WM_WINDOW_TYPE_DIALOG", "_NET_WM_WINDOW_TYPE_POPUP_MENU", "_NET_WM_STATE_SKIP_TASKBAR", "_NET_WM_STATE_ABOVE", "_NET_WM_ICON", "_NET_WM_NAME", "_MOTIF_WM_HINTS", "_NET_FRAME_EXTENTS", "_NET_WM_ALLOWED_ACTIONS", "_NET_WM_ACTION_MOVE", "_NET_WM_ACTION_MINIMIZE", "_NET_WM_ACTION_CLOSE", "_NET_WM_ACTION_RESIZE", "_NET_WM_ACTION_MAXIMIZE_HORZ", "_NET_WM_ACTION_MAXIMIZE_VERT", "_NET_WM_STATE_MAXIMIZED_HORZ", "_NET_WM_STATE_MAXIMIZED_VERT", "_NET_WM_STATE_FULLSCREEN", "_NET_WORKAREA", "_NET_CURRENT_DESKTOP", "_NET_SUPPORTED" })
        XInternAtom (display, name, False);

    XSync (display, False);
}
