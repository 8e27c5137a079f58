/* A plain window for the module's tests to draw into:
 *   test_window X Y WIDTH HEIGHT
 * prints its id in hex, then lives until its standard input closes or it is
 * killed. "d" on standard input destroys the window first. */
#include <X11/Xlib.h>
#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

int main(int argc, char** argv)
{
    if (argc != 5)
        return 2;
    Display* d = XOpenDisplay(NULL);
    if (!d)
        return 1;
    int s = DefaultScreen(d);
    Window w = XCreateSimpleWindow(d, RootWindow(d, s), atoi(argv[1]), atoi(argv[2]), atoi(argv[3]),
                                   atoi(argv[4]), 0, BlackPixel(d, s), BlackPixel(d, s));
    XStoreName(d, w, "velomass test window");
    XMapWindow(d, w);
    XSync(d, False);
    printf("0x%lx\n", w);
    fflush(stdout);
    int c;
    while ((c = getchar()) != EOF)
        if (c == 'd') {
            XDestroyWindow(d, w);
            XSync(d, False);
        }
    XCloseDisplay(d);
    return 0;
}
