"""Drops files on an X window the way a file manager does (the XDND protocol, Xlib through ctypes),
so that Wine's X11 driver hands the program a real WM_DROPFILES."""
import ctypes
import ctypes.util
import time
import urllib.parse

X = ctypes.cdll.LoadLibrary(ctypes.util.find_library("X11") or "libX11.so.6")

Window = Atom = ctypes.c_ulong
SELECTION_REQUEST, SELECTION_NOTIFY, CLIENT_MESSAGE = 30, 31, 33
XDND_VERSION = 5


class ClientData(ctypes.Union):
    _fields_ = [("b", ctypes.c_char * 20), ("l", ctypes.c_long * 5)]


class ClientMessage(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", Window), ("message_type", Atom),
                ("format", ctypes.c_int), ("data", ClientData)]


class SelectionRequest(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("owner", Window), ("requestor", Window),
                ("selection", Atom), ("target", Atom), ("property", Atom), ("time", ctypes.c_ulong)]


class Selection(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("requestor", Window), ("selection", Atom),
                ("target", Atom), ("property", Atom), ("time", ctypes.c_ulong)]


class Event(ctypes.Union):
    _fields_ = [("type", ctypes.c_int), ("client", ClientMessage), ("request", SelectionRequest),
                ("selection", Selection), ("pad", ctypes.c_long * 24)]


X.XOpenDisplay.restype = ctypes.c_void_p
X.XOpenDisplay.argtypes = [ctypes.c_char_p]
X.XDefaultRootWindow.restype = Window
X.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
X.XCreateSimpleWindow.restype = Window
X.XCreateSimpleWindow.argtypes = [ctypes.c_void_p, Window] + [ctypes.c_int] * 4 + [ctypes.c_uint,
                                                                                  ctypes.c_ulong,
                                                                                  ctypes.c_ulong]
X.XInternAtom.restype = Atom
X.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
X.XSetSelectionOwner.argtypes = [ctypes.c_void_p, Atom, Window, ctypes.c_ulong]
X.XSendEvent.argtypes = [ctypes.c_void_p, Window, ctypes.c_int, ctypes.c_long,
                         ctypes.POINTER(Event)]
X.XChangeProperty.argtypes = [ctypes.c_void_p, Window, Atom, Atom, ctypes.c_int, ctypes.c_int,
                              ctypes.c_char_p, ctypes.c_int]
X.XPending.argtypes = [ctypes.c_void_p]
X.XNextEvent.argtypes = [ctypes.c_void_p, ctypes.POINTER(Event)]
X.XFlush.argtypes = [ctypes.c_void_p]
X.XDestroyWindow.argtypes = [ctypes.c_void_p, Window]
X.XCloseDisplay.argtypes = [ctypes.c_void_p]


class DropFailed(Exception):
    pass


def drop_files(target, x, y, unix_paths, timeout=10):
    """Drops the files on X window `target` at root position (x, y); returns when the target has
    finished with the drop."""
    display = X.XOpenDisplay(None)
    if not display:
        raise DropFailed("cannot open the X display")
    atom = lambda name: X.XInternAtom(display, name.encode(), 0)
    source = X.XCreateSimpleWindow(display, X.XDefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0)
    uri_list = atom("text/uri-list")
    data = b"".join(b"file://" + urllib.parse.quote(path).encode() + b"\r\n" for path in unix_paths)
    X.XSetSelectionOwner(display, atom("XdndSelection"), source, 0)

    def send(message, *values):
        event = Event()
        event.client.type = CLIENT_MESSAGE
        event.client.window = target
        event.client.message_type = atom(message)
        event.client.format = 32
        for i, value in enumerate((source,) + values):
            event.client.data.l[i] = value
        X.XSendEvent(display, target, 0, 0, ctypes.byref(event))
        X.XFlush(display)

    def answer(request):
        reply = Event()
        reply.selection.type = SELECTION_NOTIFY
        reply.selection.requestor = request.requestor
        reply.selection.selection = request.selection
        reply.selection.target = request.target
        reply.selection.time = request.time
        reply.selection.property = 0
        if request.target == uri_list:
            X.XChangeProperty(display, request.requestor, request.property, uri_list, 8, 0, data,
                              len(data))
            reply.selection.property = request.property
        X.XSendEvent(display, request.requestor, 0, 0, ctypes.byref(reply))
        X.XFlush(display)

    def wait_for(message):
        """Serves selection requests until the target sends `message`; returns its data."""
        deadline = time.time() + timeout
        wanted = atom(message)
        event = Event()
        while time.time() < deadline:
            if not X.XPending(display):
                time.sleep(0.01)
                continue
            X.XNextEvent(display, ctypes.byref(event))
            if event.type == SELECTION_REQUEST:
                answer(event.request)
            elif event.type == CLIENT_MESSAGE and event.client.message_type == wanted:
                return list(event.client.data.l)
        raise DropFailed("no %s from the drop target" % message)

    try:
        send("XdndEnter", XDND_VERSION << 24, uri_list, 0, 0)
        send("XdndPosition", 0, (x << 16) | y, 0, atom("XdndActionCopy"))
        status = wait_for("XdndStatus")
        if not status[1] & 1:
            raise DropFailed("the target refused the drop")
        send("XdndDrop", 0, 0)
        wait_for("XdndFinished")
    finally:
        X.XDestroyWindow(display, source)
        X.XCloseDisplay(display)
