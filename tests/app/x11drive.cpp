// Drives a top-level window of the real program under a virtual X server, for the smoke test and
// the screenshots:
//   farewright_x11_drive close TITLE KEY     closes the window as its close box does and answers
//                                            the question it asks with KEY; exits 0 once the
//                                            window has gone, 1 if it is still there after 30 s
//   farewright_x11_drive keys TITLE KEY...   gives the window the keyboard focus and sends it
//                                            keys, X key names with "alt+" or "ctrl+" before
//                                            them ("alt+f")
//   farewright_x11_drive delete TITLE        only asks the window to close
//   farewright_x11_drive answer KEY          sends a key to the window that has the focus
//   farewright_x11_drive focused TITLE       exits 0 once the window has the keyboard focus, 1 if
//                                            it has not after 10 s
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>

namespace {

Window findWindow(Display* display, Window parent, const char* title)
{
    char* name = nullptr;
    if (XFetchName(display, parent, &name) && name) {
        const bool found = std::strcmp(name, title) == 0;
        XFree(name);
        if (found)
            return parent;
    }
    Window root = 0;
    Window ignored = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    Window found = 0;
    if (XQueryTree(display, parent, &root, &ignored, &children, &count)) {
        for (unsigned int i = 0; i < count && !found; ++i)
            found = findWindow(display, children[i], title);
        if (children)
            XFree(children);
    }
    return found;
}

bool isViewable(Display* display, Window window)
{
    XWindowAttributes attributes;
    return XGetWindowAttributes(display, window, &attributes) && attributes.map_state == IsViewable;
}

/** Whether child lies inside window (a window Qt made within its top-level window). */
bool isInside(Display* display, Window child, Window window)
{
    while (child != None && child != PointerRoot) {
        Window root = 0;
        Window parent = 0;
        Window* children = nullptr;
        unsigned int count = 0;
        if (!XQueryTree(display, child, &root, &parent, &children, &count))
            return false;
        if (children)
            XFree(children);
        if (parent == window)
            return true;
        if (parent == root)
            return false;
        child = parent;
    }
    return false;
}

/**
 * The window's question (a dialog of it) once it has the keyboard focus, else 0. Until then the
 * focus may be anywhere, even on the root window after an earlier program's window closed.
 */
Window focusedQuestion(Display* display, Window window)
{
    Window focus = 0;
    Window owner = 0;
    int revert = 0;
    XGetInputFocus(display, &focus, &revert);
    const bool question = focus != None && focus != PointerRoot &&
                          XGetTransientForHint(display, focus, &owner) && owner == window;
    return question && isViewable(display, focus) ? focus : 0;
}

void pause(int milliseconds)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

void sendKey(Display* display, Window target, const char* key)
{
    unsigned int state = 0;
    for (bool more = true; more;) {
        more = false;
        if (std::strncmp(key, "alt+", 4) == 0) {
            state |= Mod1Mask;
            key += 4;
            more = true;
        } else if (std::strncmp(key, "ctrl+", 5) == 0) {
            state |= ControlMask;
            key += 5;
            more = true;
        }
    }
    XKeyEvent event{};
    event.state = state;
    event.display = display;
    event.window = target;
    event.root = DefaultRootWindow(display);
    event.same_screen = True;
    event.time = CurrentTime;
    event.keycode = XKeysymToKeycode(display, XStringToKeysym(key));
    event.type = KeyPress;
    XSendEvent(display, target, True, KeyPressMask, reinterpret_cast<XEvent*>(&event));
    event.type = KeyRelease;
    XSendEvent(display, target, True, KeyReleaseMask, reinterpret_cast<XEvent*>(&event));
    XFlush(display);
}

} // namespace

int main(int argc, char* argv[])
{
    const std::string mode = argc > 1 ? argv[1] : "";
    --argc;
    ++argv;
    const bool valid = (mode == "close" && argc == 3) || (mode == "keys" && argc >= 3) ||
                       (mode == "delete" && argc == 2) || (mode == "answer" && argc == 2) ||
                       (mode == "focused" && argc == 2);
    if (!valid) {
        std::fprintf(stderr, "usage: farewright_x11_drive close TITLE KEY\n"
                             "       farewright_x11_drive keys TITLE KEY...\n"
                             "       farewright_x11_drive delete TITLE\n"
                             "       farewright_x11_drive answer KEY\n"
                             "       farewright_x11_drive focused TITLE\n");
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "no X display\n");
        return 2;
    }
    // Windows go while they are looked at (the question, the window closing): a request about
    // one that has just gone fails, which Xlib's own error handler would make fatal.
    XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    if (mode == "answer") {
        Window focus = 0;
        int revert = 0;
        XGetInputFocus(display, &focus, &revert);
        sendKey(display, focus, argv[1]);
        XCloseDisplay(display);
        return 0;
    }
    const Window window = findWindow(display, DefaultRootWindow(display), argv[1]);
    if (!window) {
        std::fprintf(stderr, "no window titled %s\n", argv[1]);
        return 1;
    }
    if (mode == "focused") {
        for (int waited = 0; waited < 10000; waited += 100) {
            Window focus = 0;
            int revert = 0;
            XGetInputFocus(display, &focus, &revert);
            if (focus == window || isInside(display, focus, window)) {
                XCloseDisplay(display);
                return 0;
            }
            pause(100);
        }
        std::fprintf(stderr, "the window never got the keyboard focus\n");
        XCloseDisplay(display);
        return 1;
    }
    if (mode == "keys") {
        // Without a window manager nobody hands the focus back after a dialog has closed.
        XSetInputFocus(display, window, RevertToParent, CurrentTime);
        for (int i = 2; i < argc; ++i) {
            sendKey(display, window, argv[i]);
            pause(200);
        }
        XCloseDisplay(display);
        return 0;
    }
    XEvent close{};
    close.xclient.type = ClientMessage;
    close.xclient.window = window;
    close.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    close.xclient.format = 32;
    close.xclient.data.l[0] = long(XInternAtom(display, "WM_DELETE_WINDOW", False));
    close.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &close);
    XFlush(display);
    if (mode == "delete") {
        XCloseDisplay(display);
        return 0;
    }

    // The question takes the keyboard focus; answer it there.
    bool answered = false;
    for (int waited = 0; waited < 30000; waited += 100) {
        pause(100);
        if (!findWindow(display, DefaultRootWindow(display), argv[1]) ||
            !isViewable(display, window)) {
            XCloseDisplay(display);
            return 0;
        }
        const Window question = answered ? 0 : focusedQuestion(display, window);
        if (question) {
            sendKey(display, question, argv[2]);
            answered = true;
        }
    }
    std::fprintf(stderr, "the window is still open\n");
    XCloseDisplay(display);
    return 1;
}
