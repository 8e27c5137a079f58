// velomass: the puzzle as an XScreenSaver module. The only file that talks
// to Xlib; the options, the game and its pixels are the portable code's.
#include "base/ByteSource.h"
#include "base/Random.h"
#include "x11/BuiltInImage.h"
#include "x11/ModuleOptions.h"
#include "x11/PixelBoard.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/ipc.h>
#include <sys/shm.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace {

// A signal handler and Xlib's error handler cannot be handed a pointer:
// these are the module's only statics.
int g_signalPipe[2] = {-1, -1};
int g_xError = 0;

void OnSignal(int)
{
    const int saved = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = write(g_signalPipe[1], &byte, 1);
    errno = saved;
}

int OnXError(Display*, XErrorEvent* event)
{
    g_xError = event->error_code;
    return 0;
}

long long NowMicroseconds()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1000000LL + now.tv_nsec / 1000;
}

int LowBit(unsigned long mask)
{
    int shift = 0;
    while (shift < 32 && ((mask >> shift) & 1) == 0)
        ++shift;
    return shift;
}

// The display's pixels as the board writes them, or false with the reason
// when the visual is not one we draw on.
bool FormatOf(Display* display, const XWindowAttributes& attrs, PixelFormat& format, std::string& why)
{
    int count = 0;
    int bitsPerPixel = 0;
    if (XPixmapFormatValues* formats = XListPixmapFormats(display, &count)) {
        for (int i = 0; i < count; ++i)
            if (formats[i].depth == attrs.depth)
                bitsPerPixel = formats[i].bits_per_pixel;
        XFree(formats);
    }
    const Visual* v = attrs.visual;
    const bool eightBits = v->red_mask == 0xFFul << LowBit(v->red_mask) &&
                           v->green_mask == 0xFFul << LowBit(v->green_mask) &&
                           v->blue_mask == 0xFFul << LowBit(v->blue_mask);
    if (v->c_class != TrueColor || bitsPerPixel != 32 || !eightBits || (attrs.depth != 24 && attrs.depth != 32)) {
        why = "the window has a " + std::to_string(attrs.depth) + "-bit visual (" + std::to_string(bitsPerPixel) +
              " bits per pixel); velomass draws on 24- and 32-bit true-colour visuals only";
        return false;
    }
    format.redShift = LowBit(v->red_mask);
    format.greenShift = LowBit(v->green_mask);
    format.blueShift = LowBit(v->blue_mask);
    format.alwaysSet = attrs.depth == 32 ? ~static_cast<std::uint32_t>(v->red_mask | v->green_mask | v->blue_mask) : 0;
    return true;
}

// The window-sized image the board paints into: in shared memory where
// the server has the extension, in our own memory otherwise.
class Canvas {
public:
    Canvas(Display* display, const XWindowAttributes& attrs) : m_display(display), m_attrs(attrs) {}
    ~Canvas() { Free(); }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    bool Allocate(int width, int height)
    {
        Free();
        if (width < 1 || height < 1)
            return true;
        if (m_tryShm && !AllocateShared(width, height))
            m_tryShm = false;  // not again: a remote or restricted server
        if (!m_image) {
            const std::size_t bytes = static_cast<std::size_t>(width) * height * 4;
            char* data = static_cast<char*>(std::malloc(bytes));
            if (!data)
                return false;
            m_image = XCreateImage(m_display, m_attrs.visual, m_attrs.depth, ZPixmap, 0, data, width, height, 32, 0);
            if (!m_image) {
                std::free(data);
                return false;
            }
        }
        m_image->byte_order = LSBFirst;  // the board writes native 32-bit words
        return true;
    }

    void Free()
    {
        if (!m_image)
            return;
        if (m_shared) {
            XShmDetach(m_display, &m_shm);
            XSync(m_display, False);
            m_image->data = nullptr;
            XDestroyImage(m_image);
            shmdt(m_shm.shmaddr);
            m_shared = false;
        } else {
            XDestroyImage(m_image);  // frees the pixels too
        }
        m_image = nullptr;
    }

    void Put(Drawable target, GC gc, int x, int y, int width, int height) const
    {
        if (!m_image)
            return;
        if (x < 0) width += x, x = 0;
        if (y < 0) height += y, y = 0;
        width = std::min(width, m_image->width - x);
        height = std::min(height, m_image->height - y);
        if (width <= 0 || height <= 0)
            return;
        if (m_shared)
            XShmPutImage(m_display, target, gc, m_image, x, y, x, y, width, height, False);
        else
            XPutImage(m_display, target, gc, m_image, x, y, x, y, width, height);
    }

    std::uint32_t* Pixels() const { return m_image ? reinterpret_cast<std::uint32_t*>(m_image->data) : nullptr; }
    int Stride() const { return m_image ? m_image->bytes_per_line / 4 : 0; }
    bool Shared() const { return m_shared; }

private:
    bool AllocateShared(int width, int height)
    {
        if (!XShmQueryExtension(m_display))
            return false;
        m_image = XShmCreateImage(m_display, m_attrs.visual, m_attrs.depth, ZPixmap, nullptr, &m_shm, width, height);
        if (!m_image)
            return false;
        m_shm.shmid = shmget(IPC_PRIVATE, static_cast<std::size_t>(m_image->bytes_per_line) * height, IPC_CREAT | 0600);
        m_shm.shmaddr = m_shm.shmid < 0 ? reinterpret_cast<char*>(-1) : static_cast<char*>(shmat(m_shm.shmid, nullptr, 0));
        if (m_shm.shmaddr == reinterpret_cast<char*>(-1)) {
            if (m_shm.shmid >= 0)
                shmctl(m_shm.shmid, IPC_RMID, nullptr);
            XDestroyImage(m_image);
            m_image = nullptr;
            return false;
        }
        m_image->data = m_shm.shmaddr;
        m_shm.readOnly = False;
        g_xError = 0;
        const bool attached = XShmAttach(m_display, &m_shm);
        XSync(m_display, False);
        // Marked for removal now: it goes when both sides have let go.
        shmctl(m_shm.shmid, IPC_RMID, nullptr);
        if (!attached || g_xError) {
            g_xError = 0;
            m_image->data = nullptr;
            XDestroyImage(m_image);
            m_image = nullptr;
            shmdt(m_shm.shmaddr);
            return false;
        }
        m_shared = true;
        return true;
    }

    Display* m_display;
    XWindowAttributes m_attrs;
    XImage* m_image = nullptr;
    XShmSegmentInfo m_shm{};
    bool m_shared = false;
    bool m_tryShm = true;
};

bool LoadPieceImage(PixelBoard& board, const std::string& path)
{
    std::string why;
    if (path.empty()) {
        MemoryByteSource source(kBuiltInPieceImage, kBuiltInPieceImageSize);
        return board.LoadImage(source, why);
    }
    std::ifstream in(path, std::ios::binary);
    const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!in.good() && !in.eof()) {
        why = std::string("cannot be read: ") + std::strerror(errno);
    } else {
        MemoryByteSource source(bytes.data(), bytes.size());
        if (board.LoadImage(source, why))
            return true;
    }
    std::fprintf(stderr, "velomass: %s: %s; the board stays black\n", path.c_str(), why.c_str());
    return false;
}

class Module {
public:
    Module(Display* display, const ModuleOptions& options) : m_display(display), m_options(options) {}
    ~Module();
    Module(const Module&) = delete;
    Module& operator=(const Module&) = delete;

    // Finds or makes the window; false (after a message) when there is
    // nothing to draw on.
    bool Open();
    int Run();

private:
    const Damage& Resize(int width, int height);
    void Put(const Damage& damage);
    void DrawFps();
    bool HandleEvent(const XEvent& event);

    Display* m_display;
    ModuleOptions m_options;
    Window m_window = 0;
    bool m_ownWindow = false;
    Atom m_deleteWindow = 0;
    XWindowAttributes m_attrs{};
    GC m_gc = nullptr;
    MsvcRandom m_random{static_cast<std::uint32_t>(std::time(nullptr) ^ getpid())};
    std::unique_ptr<Canvas> m_canvas;
    std::unique_ptr<PixelBoard> m_board;
    int m_width = 0;
    int m_height = 0;
    int m_pendingWidth = 0;
    int m_pendingHeight = 0;
    int m_steps = 0;
    long long m_fpsSince = 0;
    std::string m_fpsText;
};

Module::~Module()
{
    m_board.reset();
    m_canvas.reset();
    if (m_gc)
        XFreeGC(m_display, m_gc);
    if (m_ownWindow && m_window)
        XDestroyWindow(m_display, m_window);
    XSync(m_display, False);
}

bool Module::Open()
{
    const int screen = DefaultScreen(m_display);
    switch (m_options.target) {
    case DrawTarget::Root:
        m_window = RootWindow(m_display, screen);
        break;
    case DrawTarget::WindowId:
        m_window = m_options.windowId;
        break;
    case DrawTarget::OwnWindow: {
        m_window = XCreateSimpleWindow(m_display, RootWindow(m_display, screen), 0, 0, 800, 600, 0,
                                       BlackPixel(m_display, screen), BlackPixel(m_display, screen));
        m_ownWindow = true;
        XStoreName(m_display, m_window, "velomass");
        m_deleteWindow = XInternAtom(m_display, "WM_DELETE_WINDOW", False);
        XSetWMProtocols(m_display, m_window, &m_deleteWindow, 1);
        break;
    }
    }
    g_xError = 0;
    if (!XGetWindowAttributes(m_display, m_window, &m_attrs) || g_xError) {
        std::fprintf(stderr, "velomass: window 0x%lx does not exist\n", m_window);
        m_window = 0;
        return false;
    }
    PixelFormat format;
    std::string why;
    if (!FormatOf(m_display, m_attrs, format, why)) {
        std::fprintf(stderr, "velomass: %s\n", why.c_str());
        return false;
    }
    long mask = ExposureMask | StructureNotifyMask;
    if (m_ownWindow)
        mask |= KeyPressMask;
    XSelectInput(m_display, m_window, mask);
    XGCValues values{};
    values.foreground = WhitePixel(m_display, screen);
    values.background = BlackPixel(m_display, screen);
    values.graphics_exposures = False;
    m_gc = XCreateGC(m_display, m_window, GCForeground | GCBackground | GCGraphicsExposures, &values);
    if (m_ownWindow)
        XMapRaised(m_display, m_window);

    m_canvas = std::make_unique<Canvas>(m_display, m_attrs);
    m_board = std::make_unique<PixelBoard>(m_random, format);
    LoadPieceImage(*m_board, m_options.image);
    BoardLook look;
    look.cellSize = m_options.cellSize;
    look.play = {m_options.pattern, m_options.kinds, m_options.stillFirstFrame};
    look.fillEmpty = m_options.fillEmpty;
    look.fillPieces = m_options.fillPieces;
    look.fillColour = m_options.fillColour;
    m_board->SetLook(look);
    return true;
}

const Damage& Module::Resize(int width, int height)
{
    m_width = width;
    m_height = height;
    if (!m_canvas->Allocate(width, height)) {
        std::fprintf(stderr, "velomass: no memory for a %d x %d image\n", width, height);
    }
    const Damage& damage = m_board->Reset(m_canvas->Pixels(), m_width, m_height, m_canvas->Stride());
    Put(damage);
    return damage;
}

void Module::Put(const Damage& damage)
{
    if (damage.all) {
        m_canvas->Put(m_window, m_gc, 0, 0, m_width, m_height);
    } else {
        for (const PixelRect& r : damage.cells)
            m_canvas->Put(m_window, m_gc, r.x, r.y, r.width, r.height);
    }
    if (m_options.fps)
        DrawFps();
}

void Module::DrawFps()
{
    ++m_steps;
    const long long now = NowMicroseconds();
    if (now - m_fpsSince >= 1000000) {
        char text[32];
        std::snprintf(text, sizeof text, "%.1f fps", m_steps * 1e6 / static_cast<double>(now - m_fpsSince));
        m_fpsText = m_fpsSince ? text : "";
        m_fpsSince = now;
        m_steps = 0;
    }
    if (!m_fpsText.empty())
        XDrawImageString(m_display, m_window, m_gc, 10, m_height - 10, m_fpsText.c_str(),
                         static_cast<int>(m_fpsText.size()));
}

// False when the module should end.
bool Module::HandleEvent(const XEvent& event)
{
    switch (event.type) {
    case Expose:
        if (event.xexpose.window == m_window)
            m_canvas->Put(m_window, m_gc, event.xexpose.x, event.xexpose.y, event.xexpose.width,
                          event.xexpose.height);
        break;
    case ConfigureNotify:
        if (event.xconfigure.window == m_window) {
            m_pendingWidth = event.xconfigure.width;
            m_pendingHeight = event.xconfigure.height;
        }
        break;
    case DestroyNotify:
        return event.xdestroywindow.window != m_window;
    case ClientMessage:
        return !(m_ownWindow && static_cast<Atom>(event.xclient.data.l[0]) == m_deleteWindow);
    case KeyPress: {
        char key = 0;
        XKeyEvent copy = event.xkey;
        if (XLookupString(&copy, &key, 1, nullptr, nullptr) == 1 && (key == 'q' || key == 'Q' || key == 3))
            return false;
        break;
    }
    }
    return true;
}

int Module::Run()
{
    const long long interval = StepInterval(m_options);
    bool timerOn = false;
    long long next = 0;
    const auto follow = [&](const Damage& damage, long long now) {
        if (damage.stopTimer)
            timerOn = false;
        if (damage.restartTimer) {
            timerOn = true;
            next = now + interval;
        }
    };
    follow(Resize(m_attrs.width, m_attrs.height), NowMicroseconds());
    m_pendingWidth = m_width;
    m_pendingHeight = m_height;

    pollfd fds[2] = {{ConnectionNumber(m_display), POLLIN, 0}, {g_signalPipe[0], POLLIN, 0}};
    for (;;) {
        while (XPending(m_display)) {
            XEvent event;
            XNextEvent(m_display, &event);
            if (!HandleEvent(event))
                return 0;
        }
        if (g_xError == BadWindow || g_xError == BadDrawable)
            return 0;  // the window went away under us
        if (m_pendingWidth != m_width || m_pendingHeight != m_height) {
            timerOn = false;  // a new board starts its own steps, if there is one
            follow(Resize(m_pendingWidth, m_pendingHeight), NowMicroseconds());
        }
        XFlush(m_display);

        long long now = NowMicroseconds();
        timespec wait{};
        if (timerOn) {
            const long long left = std::max(0LL, next - now);
            wait.tv_sec = static_cast<time_t>(left / 1000000);
            wait.tv_nsec = static_cast<long>(left % 1000000 * 1000);
        }
        if (ppoll(fds, 2, timerOn ? &wait : nullptr, nullptr) < 0 && errno != EINTR)
            return 1;
        if (fds[1].revents & POLLIN)
            return 0;  // SIGTERM, SIGINT or SIGHUP
        if (fds[0].revents & (POLLERR | POLLHUP))
            return 1;
        now = NowMicroseconds();
        if (timerOn && now >= next) {
            next += interval;
            if (next <= now)
                next = now + interval;  // fell behind: no burst of steps
            const Damage& damage = m_board->Tick();
            follow(damage, now);
            Put(damage);
        }
    }
}

} // namespace

int main(int argc, char** argv)
{
    const ParsedOptions parsed =
        ParseModuleOptions(std::vector<std::string>(argv + 1, argv + argc), std::getenv("XSCREENSAVER_WINDOW"));
    for (const std::string& message : parsed.messages)
        std::fprintf(stderr, "%s\n", message.c_str());
    if (parsed.showUsage) {
        std::fputs(kModuleUsage, parsed.messages.empty() ? stdout : stderr);
        return parsed.messages.empty() ? 0 : 1;
    }

    if (pipe(g_signalPipe) != 0)
        return 1;
    for (int fd : g_signalPipe)
        fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK), fcntl(fd, F_SETFD, FD_CLOEXEC);
    struct sigaction action{};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    for (int sig : {SIGTERM, SIGINT, SIGHUP})
        sigaction(sig, &action, nullptr);

    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "velomass: cannot open display \"%s\"\n", XDisplayName(nullptr));
        return 1;
    }
    XSetErrorHandler(OnXError);
    int status = 1;
    {
        Module module(display, parsed.options);
        if (module.Open())
            status = module.Run();
    }
    XCloseDisplay(display);
    close(g_signalPipe[0]);
    close(g_signalPipe[1]);
    return status;
}
