// The demo product that the demo setup installs: one small window that says what it is.
// Closes on a click, a key or the window manager's close. "--version" prints and exits.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <cstring>

namespace {

const char kTitle[] = "Norvane Vellumpod";
const char* const kLines[] = {"Norvane Vellumpod (demo product)", "Installed by the Norvane web installer.",
                              "Click or press a key to close."};
constexpr int kWidth = 420;
constexpr int kHeight = 140;

void Paint(Display* pDisplay, Window window, GC gc) {
    XClearWindow(pDisplay, window);
    int nY = 40;
    for (const char* pszLine : kLines) {
        XDrawString(pDisplay, window, gc, 24, nY, pszLine, static_cast<int>(std::strlen(pszLine)));
        nY += 30;
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("%s demo product 1.0\n", kTitle);
        return 0;
    }
    Display* pDisplay = XOpenDisplay(nullptr);
    if (!pDisplay) {
        std::fprintf(stderr, "%s: no display\n", kTitle);
        return 1;
    }
    int nScreen = DefaultScreen(pDisplay);
    Window window = XCreateSimpleWindow(pDisplay, RootWindow(pDisplay, nScreen), 0, 0, kWidth, kHeight, 1,
                                        BlackPixel(pDisplay, nScreen), WhitePixel(pDisplay, nScreen));
    XStoreName(pDisplay, window, kTitle);
    Atom deleteWindow = XInternAtom(pDisplay, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(pDisplay, window, &deleteWindow, 1);
    XSelectInput(pDisplay, window, ExposureMask | ButtonPressMask | KeyPressMask);
    GC gc = XCreateGC(pDisplay, window, 0, nullptr);
    XSetForeground(pDisplay, gc, BlackPixel(pDisplay, nScreen));
    XMapWindow(pDisplay, window);

    bool bRunning = true;
    while (bRunning) {
        XEvent event;
        XNextEvent(pDisplay, &event);
        switch (event.type) {
            case Expose:
                if (event.xexpose.count == 0) Paint(pDisplay, window, gc);
                break;
            case ButtonPress:
            case KeyPress:
                bRunning = false;
                break;
            case ClientMessage:
                if (static_cast<Atom>(event.xclient.data.l[0]) == deleteWindow) bRunning = false;
                break;
            default:
                break;
        }
    }
    XFreeGC(pDisplay, gc);
    XDestroyWindow(pDisplay, window);
    XCloseDisplay(pDisplay);
    return 0;
}
