/* The floor for an X animation: a client that connects, then wakes every
 * INTERVAL microseconds and does nothing but look for events.
 *   x11_idle INTERVAL */
#include <X11/Xlib.h>
#include <poll.h>
#include <stdlib.h>
#include <time.h>

int main(int argc, char** argv)
{
    long interval = argc > 1 ? atol(argv[1]) : 50000;
    Display* d = XOpenDisplay(NULL);
    if (!d)
        return 1;
    XSelectInput(d, DefaultRootWindow(d), ExposureMask | StructureNotifyMask);
    struct pollfd fd = {ConnectionNumber(d), POLLIN, 0};
    struct timespec wait = {interval / 1000000, interval % 1000000 * 1000};
    for (;;) {
        while (XPending(d)) {
            XEvent e;
            XNextEvent(d, &e);
        }
        XFlush(d);
        if (ppoll(&fd, 1, &wait, NULL) < 0)
            return 1;
    }
}
