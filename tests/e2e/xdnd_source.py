"""A file drop as the desktop delivers it to a Wine window: a drag source
on the X display speaking XDND, the protocol file managers use. Wine's X11
driver answers it for every top-level window and, for a window that takes
files through DragAcceptFiles, posts WM_DROPFILES with a CF_HDROP it builds
in the program's own process from the text/uri-list the source offers.

(Wine's OLE DoDragDrop, started by another Windows process, is no way in:
it only talks to windows registered with RegisterDragDrop, and over any
other window it ends with DRAGDROP_S_DROP and no effect, without asking the
data object for anything.)"""

import ctypes
import time
from urllib.parse import quote

from wine_session import E2EFailure

CLIENT_MESSAGE, SELECTION_REQUEST, SELECTION_NOTIFY = 33, 30, 31
PROP_MODE_REPLACE = 0
XDND_VERSION = 5

ulong, long_ = ctypes.c_ulong, ctypes.c_long


class _ClientMessage(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", ulong), ("message_type", ulong),
                ("format", ctypes.c_int), ("data", long_ * 5)]


class _SelectionRequest(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("owner", ulong), ("requestor", ulong),
                ("selection", ulong), ("target", ulong), ("property", ulong), ("time", ulong)]


class _Selection(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("requestor", ulong), ("selection", ulong),
                ("target", ulong), ("property", ulong), ("time", ulong)]


class _Event(ctypes.Union):
    _fields_ = [("type", ctypes.c_int), ("xclient", _ClientMessage),
                ("xselectionrequest", _SelectionRequest), ("xselection", _Selection),
                ("pad", long_ * 24)]


def _xlib():
    x = ctypes.CDLL("libX11.so.6")
    x.XOpenDisplay.restype = ctypes.c_void_p
    x.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x.XDefaultRootWindow.restype = ulong
    x.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
    x.XInternAtom.restype = ulong
    x.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
    x.XCreateSimpleWindow.restype = ulong
    x.XCreateSimpleWindow.argtypes = [ctypes.c_void_p, ulong, ctypes.c_int, ctypes.c_int,
                                      ctypes.c_uint, ctypes.c_uint, ctypes.c_uint, ulong, ulong]
    x.XSetSelectionOwner.argtypes = [ctypes.c_void_p, ulong, ulong, ulong]
    x.XChangeProperty.argtypes = [ctypes.c_void_p, ulong, ulong, ulong, ctypes.c_int,
                                  ctypes.c_int, ctypes.c_char_p, ctypes.c_int]
    x.XSendEvent.argtypes = [ctypes.c_void_p, ulong, ctypes.c_int, long_, ctypes.POINTER(_Event)]
    x.XTranslateCoordinates.argtypes = [ctypes.c_void_p, ulong, ulong, ctypes.c_int, ctypes.c_int,
                                        ctypes.POINTER(ctypes.c_int), ctypes.POINTER(ctypes.c_int),
                                        ctypes.POINTER(ulong)]
    x.XGetWindowProperty.argtypes = [ctypes.c_void_p, ulong, ulong, long_, long_, ctypes.c_int,
                                     ulong, ctypes.POINTER(ulong), ctypes.POINTER(ctypes.c_int),
                                     ctypes.POINTER(ulong), ctypes.POINTER(ulong),
                                     ctypes.POINTER(ctypes.c_void_p)]
    x.XFree.argtypes = [ctypes.c_void_p]
    x.XPending.argtypes = [ctypes.c_void_p]
    x.XNextEvent.argtypes = [ctypes.c_void_p, ctypes.POINTER(_Event)]
    x.XFlush.argtypes = [ctypes.c_void_p]
    x.XCloseDisplay.argtypes = [ctypes.c_void_p]
    return x


def _uri_list(host_paths):
    """text/uri-list as file managers write it: file:/// URIs, the UTF-8
    bytes of each path percent-encoded, every line ended by CR LF."""
    return "".join(f"file://{quote(str(p))}\r\n" for p in host_paths).encode("ascii")


def drop_files(display_name, host_paths, x, y, timeout=10):
    """Drags the files from the X side and drops them at root point (x, y);
    returns once the window under it has told the source it is finished.
    Raises E2EFailure when no XDND-aware window is there or it refuses."""
    x11 = _xlib()
    display = x11.XOpenDisplay(display_name.encode())
    if not display:
        raise E2EFailure(f"cannot open display {display_name}")
    try:
        _drop(x11, display, _uri_list(host_paths), x, y, timeout)
    finally:
        # Also ends the source window and gives up the selection.
        x11.XCloseDisplay(display)


def _drop(x11, display, payload, x, y, timeout):
    def atom(name):
        return x11.XInternAtom(display, name.encode(), 0)

    root = x11.XDefaultRootWindow(display)
    uris, selection = atom("text/uri-list"), atom("XdndSelection")
    source = x11.XCreateSimpleWindow(display, root, 0, 0, 1, 1, 0, 0, 0)
    x11.XSetSelectionOwner(display, selection, source, 0)

    # Without a window manager every top-level window is a child of the root.
    target = ulong()
    ignored = ctypes.c_int()
    x11.XTranslateCoordinates(display, root, root, x, y, ctypes.byref(ignored),
                              ctypes.byref(ignored), ctypes.byref(target))
    if not target.value or not _property(x11, display, target.value, atom("XdndAware")):
        raise E2EFailure(f"no XDND-aware window at {x},{y}")
    target = target.value

    def send(message, *data):
        event = _Event()
        event.xclient.type = CLIENT_MESSAGE
        event.xclient.window = target
        event.xclient.message_type = atom(message)
        event.xclient.format = 32
        event.xclient.data[:] = [source, *data] + [0] * (4 - len(data))
        x11.XSendEvent(display, target, 0, 0, ctypes.byref(event))
        x11.XFlush(display)

    def answer(request):
        """Hands the uri list to whoever asks for the selection in that form
        (Wine reads it while it handles the enter message)."""
        reply = _Event()
        reply.xselection.type = SELECTION_NOTIFY
        reply.xselection.requestor = request.requestor
        reply.xselection.selection = request.selection
        reply.xselection.target = request.target
        reply.xselection.time = request.time
        if request.target == uris and request.property:
            x11.XChangeProperty(display, request.requestor, request.property, uris, 8,
                                PROP_MODE_REPLACE, payload, len(payload))
            reply.xselection.property = request.property
        x11.XSendEvent(display, request.requestor, 0, 0, ctypes.byref(reply))
        x11.XFlush(display)

    def wait_for(message):
        wanted = atom(message)
        deadline = time.monotonic() + timeout
        event = _Event()
        while time.monotonic() < deadline:
            if not x11.XPending(display):
                time.sleep(0.001)
                continue
            x11.XNextEvent(display, ctypes.byref(event))
            if event.type == SELECTION_REQUEST:
                answer(event.xselectionrequest)
            elif event.type == CLIENT_MESSAGE and event.xclient.message_type == wanted:
                return list(event.xclient.data)
        raise E2EFailure(f"no {message} from the window within {timeout} s")

    # Wine reads the files once, on entering, and waits only half a second
    # for them: a busy machine may make it miss them, so the drag leaves and
    # comes back, as a user would try again.
    for _ in range(3):
        send("XdndEnter", XDND_VERSION << 24, uris)
        send("XdndPosition", 0, (x << 16) | y, 0, atom("XdndActionCopy"))
        if wait_for("XdndStatus")[1] & 1:
            break
        send("XdndLeave")
    else:
        raise E2EFailure(f"the window at {x},{y} does not take the files")
    send("XdndDrop", 0, 0)
    if not wait_for("XdndFinished")[1] & 1:
        raise E2EFailure(f"the window at {x},{y} refused the drop")


def _property(x11, display, window, name):
    kind, unit = ulong(), ctypes.c_int()
    count, left = ulong(), ulong()
    data = ctypes.c_void_p()
    x11.XGetWindowProperty(display, window, name, 0, 1, 0, 0, ctypes.byref(kind),
                           ctypes.byref(unit), ctypes.byref(count), ctypes.byref(left),
                           ctypes.byref(data))
    if data:
        x11.XFree(data)
    return count.value > 0
