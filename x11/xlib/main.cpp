// velomass: the puzzle as an XScreenSaver module. The only file that talks
// to Xlib; the options, the game and its pixels are the portable code's.
#include "base/Random.h"
#include "x11/ModuleOptions.h"
#include "x11/PieceFile.h"
#include "x11/PixelCanvas.h"

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
#include <strings.h>
#include <ctime>
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

int BitCount(unsigned long mask)
{
    int bits = 0;
    for (; mask; mask &= mask - 1)
        ++bits;
    return bits;
}

// A colour cube in the window's colormap, as much of it as can be had:
// what cannot be allocated takes the nearest colour the colormap holds.
void AllocateCube(Display* display, const XWindowAttributes& attrs, PixelFormat& format)
{
    const int size = std::max(2, attrs.visual->map_entries);
    int levels = 2;
    while ((levels + 1) * (levels + 1) * (levels + 1) <= std::min(size, 256) - 2 && levels < 6)
        ++levels;
    const auto level = [levels](int i) { return static_cast<unsigned short>(i * 65535 / (levels - 1)); };
    format.cubeLevels = levels;
    format.cube.assign(static_cast<std::size_t>(levels) * levels * levels, 0);
    std::vector<bool> missing(format.cube.size(), false);
    bool anyMissing = false;
    for (int r = 0; r < levels; ++r)
        for (int g = 0; g < levels; ++g)
            for (int b = 0; b < levels; ++b) {
                const std::size_t i = (static_cast<std::size_t>(r) * levels + g) * levels + b;
                XColor colour{};
                colour.red = level(r), colour.green = level(g), colour.blue = level(b);
                if (XAllocColor(display, attrs.colormap, &colour))
                    format.cube[i] = static_cast<std::uint32_t>(colour.pixel);
                else
                    missing[i] = anyMissing = true;
            }
    if (!anyMissing)
        return;
    // A full colormap: the nearest of what is there.
    std::vector<XColor> cells(static_cast<std::size_t>(std::min(size, 256)));
    for (std::size_t i = 0; i < cells.size(); ++i)
        cells[i].pixel = i;
    XQueryColors(display, attrs.colormap, cells.data(), static_cast<int>(cells.size()));
    for (std::size_t i = 0; i < format.cube.size(); ++i) {
        if (!missing[i])
            continue;
        const long r = level(static_cast<int>(i) / (levels * levels)), g = level(static_cast<int>(i) / levels % levels),
                   b = level(static_cast<int>(i) % levels);
        long best = -1;
        for (const XColor& c : cells) {
            const long dr = (r - c.red) >> 8, dg = (g - c.green) >> 8, db = (b - c.blue) >> 8;
            const long d = dr * dr + dg * dg + db * db;
            if (best < 0 || d < best)
                best = d, format.cube[i] = static_cast<std::uint32_t>(c.pixel);
        }
    }
}

// The display's pixels as the board writes them: by the visual's masks on
// a true- or direct-colour screen of any depth, through a colour cube on a
// screen with a colormap, black and white with -mono.
PixelFormat FormatOf(Display* display, const XWindowAttributes& attrs, bool mono)
{
    PixelFormat format;
    const Visual* v = attrs.visual;
    if (mono) {
        const int screen = XScreenNumberOfScreen(attrs.screen);
        const int n = format.cubeLevels = 6;
        for (int i = 0; i < n * n * n; ++i)  // white where the colour is light
            format.cube.push_back(30 * (i / (n * n)) + 59 * (i / n % n) + 11 * (i % n) >= 50 * (n - 1)
                                      ? WhitePixel(display, screen) : BlackPixel(display, screen));
        return format;
    }
    if ((v->c_class == TrueColor || v->c_class == DirectColor) && v->red_mask && v->green_mask && v->blue_mask) {
        format.redShift = LowBit(v->red_mask);
        format.greenShift = LowBit(v->green_mask);
        format.blueShift = LowBit(v->blue_mask);
        format.redBits = std::min(16, BitCount(v->red_mask));
        format.greenBits = std::min(16, BitCount(v->green_mask));
        format.blueBits = std::min(16, BitCount(v->blue_mask));
        // Bits of a 32-bit visual that no channel uses: alpha, kept opaque.
        if (attrs.depth == 32)
            format.alwaysSet = ~static_cast<std::uint32_t>(v->red_mask | v->green_mask | v->blue_mask);
        return format;
    }
    AllocateCube(display, attrs, format);
    return format;
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
            m_image = XCreateImage(m_display, m_attrs.visual, m_attrs.depth, ZPixmap, 0, nullptr, width, height, 32, 0);
            if (!m_image)
                return false;
            m_image->byte_order = NativeOrder();  // Xlib swaps for the server if it must
            m_image->data = static_cast<char*>(std::malloc(static_cast<std::size_t>(m_image->bytes_per_line) * height));
            if (!m_image->data) {
                XDestroyImage(m_image);
                m_image = nullptr;
                return false;
            }
        }
        // The board writes 32-bit words: straight into a 32-bit image, into
        // a copy that Put converts for any other.
        if (m_image->bits_per_pixel != 32 || m_image->byte_order != NativeOrder()) {
            m_copy.assign(static_cast<std::size_t>(width) * height, 0);
            m_stride = width;
        } else {
            m_stride = m_image->bytes_per_line / 4;
        }
        return true;
    }

    void Free()
    {
        m_copy.clear();
        m_copy.shrink_to_fit();
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

    void Put(Drawable target, GC gc, int x, int y, int width, int height)
    {
        if (!m_image)
            return;
        if (x < 0) width += x, x = 0;
        if (y < 0) height += y, y = 0;
        width = std::min(width, m_image->width - x);
        height = std::min(height, m_image->height - y);
        if (width <= 0 || height <= 0)
            return;
        if (!m_copy.empty())
            Convert(x, y, width, height);
        if (m_shared)
            XShmPutImage(m_display, target, gc, m_image, x, y, x, y, width, height, False);
        else
            XPutImage(m_display, target, gc, m_image, x, y, x, y, width, height);
    }

    std::uint32_t* Pixels()
    {
        if (!m_image)
            return nullptr;
        return m_copy.empty() ? reinterpret_cast<std::uint32_t*>(m_image->data) : m_copy.data();
    }
    int Stride() const { return m_image ? m_stride : 0; }

private:
    static int NativeOrder()
    {
        const std::uint16_t one = 1;
        return *reinterpret_cast<const unsigned char*>(&one) ? LSBFirst : MSBFirst;
    }

    // The board's pixel values into an image of 8, 16 or any other bits per pixel.
    void Convert(int x, int y, int width, int height)
    {
        const bool native = m_image->byte_order == NativeOrder();
        for (int row = y; row < y + height; ++row) {
            const std::uint32_t* src = &m_copy[static_cast<std::size_t>(row) * m_stride + x];
            char* line = m_image->data + static_cast<std::size_t>(row) * m_image->bytes_per_line;
            if (native && m_image->bits_per_pixel == 16) {
                std::uint16_t* dst = reinterpret_cast<std::uint16_t*>(line) + x;
                for (int i = 0; i < width; ++i)
                    dst[i] = static_cast<std::uint16_t>(src[i]);
            } else if (m_image->bits_per_pixel == 8) {
                for (int i = 0; i < width; ++i)
                    line[x + i] = static_cast<char>(src[i]);
            } else {
                for (int i = 0; i < width; ++i)
                    XPutPixel(m_image, x + i, row, src[i]);
            }
        }
    }

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
    std::vector<std::uint32_t> m_copy;
    int m_stride = 0;
    XShmSegmentInfo m_shm{};
    bool m_shared = false;
    bool m_tryShm = true;
};

// The visual -visual names on this screen: a class name or a visual id;
// null for the default or one the screen does not have.
Visual* ChooseVisual(Display* display, int screen, const std::string& name, int& depth)
{
    if (name.empty() || strcasecmp(name.c_str(), "default") == 0 || strcasecmp(name.c_str(), "best") == 0)
        return nullptr;
    static const struct { const char* name; int c_class; } kClasses[] = {
        {"StaticGray", StaticGray}, {"GrayScale", GrayScale}, {"StaticColor", StaticColor},
        {"PseudoColor", PseudoColor}, {"TrueColor", TrueColor}, {"DirectColor", DirectColor},
    };
    XVisualInfo want{};
    want.screen = screen;
    long mask = VisualScreenMask;
    bool known = false;
    for (const auto& c : kClasses)
        if (strcasecmp(name.c_str(), c.name) == 0)
            want.c_class = c.c_class, mask |= VisualClassMask, known = true;
    if (!known) {
        char* end = nullptr;
        want.visualid = std::strtoul(name.c_str(), &end, 0);
        if (name.empty() || *end)
            return nullptr;
        mask |= VisualIDMask;
    }
    int count = 0;
    XVisualInfo* found = XGetVisualInfo(display, mask, &want, &count);
    Visual* visual = nullptr;
    for (int i = 0; i < count; ++i)  // the deepest of the class
        if (!visual || found[i].depth > depth)
            visual = found[i].visual, depth = found[i].depth;
    if (found)
        XFree(found);
    return visual;
}

// Words into lines no wider than `width` pixels; a word wider than a line
// is cut where it must be.
std::vector<std::string> WrapText(XFontStruct* font, const std::string& text, int width)
{
    std::vector<std::string> lines;
    std::string line;
    const auto wide = [font](const std::string& s) { return XTextWidth(font, s.c_str(), static_cast<int>(s.size())); };
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find(' ', at);
        if (end == std::string::npos)
            end = text.size();
        std::string word = text.substr(at, end - at);
        at = end + 1;
        std::string joined = line.empty() ? word : line + " " + word;
        if (wide(joined) <= width) {
            line = joined;
            continue;
        }
        if (!line.empty())
            lines.push_back(line);
        while (word.size() > 1 && wide(word) > width) {
            std::size_t n = word.size() - 1;
            while (n > 1 && wide(word.substr(0, n)) > width)
                --n;
            lines.push_back(word.substr(0, n));
            word.erase(0, n);
        }
        line = word;
    }
    if (!line.empty())
        lines.push_back(line);
    return lines;
}

// The presenter's step timer: the poll loop waits for it.
struct StepClock : StepTimer {
    explicit StepClock(const ModuleOptions& options) : options(options) {}
    void Start(int milliseconds) override
    {
        on = true;
        interval = StepInterval(options, milliseconds);
        next = NowMicroseconds() + interval;
    }
    void Stop() override { on = false; }

    const ModuleOptions& options;
    bool on = false;
    long long interval = 0;
    long long next = 0;
};

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
    bool OpenOwnWindow(int screen);
    void Resize(int width, int height);
    void Put(const std::vector<ScreenRect>& damage);
    void DrawMessage();
    void DrawFps();
    bool HandleEvent(const XEvent& event);

    Display* m_display;
    ModuleOptions m_options;
    Window m_window = 0;
    bool m_ownWindow = false;
    Colormap m_colormap = 0;  // ours, with -visual or -install
    Atom m_deleteWindow = 0;
    XWindowAttributes m_attrs{};
    GC m_gc = nullptr;
    XFontStruct* m_font = nullptr;
    std::string m_message;  // why there is no board, on the black window
    MsvcRandom m_random{static_cast<std::uint32_t>(std::time(nullptr) ^ getpid())};
    std::unique_ptr<Canvas> m_canvas;
    // The board drawn into the canvas's pixels, stepped by the poll loop.
    std::unique_ptr<PixelCanvas> m_pixels;
    StepClock m_clock{m_options};
    std::unique_ptr<BoardPresenter> m_board;
    BoardLook m_look;
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
    m_pixels.reset();
    m_canvas.reset();
    if (m_font)
        XFreeFont(m_display, m_font);
    if (m_gc)
        XFreeGC(m_display, m_gc);
    if (m_ownWindow && m_window)
        XDestroyWindow(m_display, m_window);
    if (m_colormap)
        XFreeColormap(m_display, m_colormap);
    XSync(m_display, False);
}

bool Module::OpenOwnWindow(int screen)
{
    int depth = DefaultDepth(m_display, screen);
    Visual* visual = ChooseVisual(m_display, screen, m_options.visual, depth);
    if (!visual && !m_options.visual.empty() && strcasecmp(m_options.visual.c_str(), "default") != 0 &&
        strcasecmp(m_options.visual.c_str(), "best") != 0)
        std::fprintf(stderr, "velomass: no visual \"%s\" on this screen; using the default\n", m_options.visual.c_str());
    if (!visual) {
        visual = DefaultVisual(m_display, screen);
        depth = DefaultDepth(m_display, screen);
    }
    XSetWindowAttributes set{};
    unsigned long mask = CWBackPixel | CWBorderPixel;
    set.background_pixel = set.border_pixel = BlackPixel(m_display, screen);
    if (visual != DefaultVisual(m_display, screen) || m_options.install) {
        m_colormap = XCreateColormap(m_display, RootWindow(m_display, screen), visual, AllocNone);
        set.colormap = m_colormap;
        set.background_pixel = set.border_pixel = 0;
        mask |= CWColormap;
    }

    int x = 0, y = 0;
    unsigned width = 800, height = 600;
    if (!m_options.geometry.empty()) {
        const int given = XParseGeometry(m_options.geometry.c_str(), &x, &y, &width, &height);
        if (!given)
            std::fprintf(stderr, "velomass: -geometry \"%s\" is not WIDTHxHEIGHT+X+Y; ignored\n", m_options.geometry.c_str());
        width = std::max(1u, std::min(width, 32767u));
        height = std::max(1u, std::min(height, 32767u));
        if (given & XNegative)
            x += DisplayWidth(m_display, screen) - static_cast<int>(width);
        if (given & YNegative)
            y += DisplayHeight(m_display, screen) - static_cast<int>(height);
    }
    m_window = XCreateWindow(m_display, RootWindow(m_display, screen), x, y, width, height, 0, depth, InputOutput,
                             visual, mask, &set);
    m_ownWindow = true;
    XStoreName(m_display, m_window, "velomass");
    m_deleteWindow = XInternAtom(m_display, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(m_display, m_window, &m_deleteWindow, 1);
    if (!m_options.geometry.empty()) {
        XSizeHints hints{};
        hints.flags = USPosition | USSize;
        hints.x = x, hints.y = y, hints.width = static_cast<int>(width), hints.height = static_cast<int>(height);
        XSetWMNormalHints(m_display, m_window, &hints);
    }
    return true;
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
    case DrawTarget::OwnWindow:
        OpenOwnWindow(screen);
        break;
    }
    g_xError = 0;
    if (!XGetWindowAttributes(m_display, m_window, &m_attrs) || g_xError) {
        std::fprintf(stderr, "velomass: window 0x%lx does not exist\n", m_window);
        m_window = 0;
        return false;
    }
    if (!m_attrs.colormap)
        m_attrs.colormap = DefaultColormapOfScreen(m_attrs.screen);
    const PixelFormat format = FormatOf(m_display, m_attrs, m_options.mono);

    std::uint32_t fill = m_options.fillColour;
    if (!m_options.fillColourName.empty()) {
        XColor colour{};
        if (XParseColor(m_display, m_attrs.colormap, m_options.fillColourName.c_str(), &colour))
            fill = (colour.red >> 8) << 16 | (colour.green >> 8) << 8 | colour.blue >> 8;
        else
            std::fprintf(stderr, "velomass: --fill-colour \"%s\" is not a colour X knows; using %06x\n",
                         m_options.fillColourName.c_str(), static_cast<unsigned>(fill));
    }

    long mask = ExposureMask | StructureNotifyMask;
    if (m_ownWindow)
        mask |= KeyPressMask;
    XSelectInput(m_display, m_window, mask);
    XGCValues values{};
    values.foreground = PixelOf(format, 0xFFFFFF);
    values.background = PixelOf(format, 0);
    values.graphics_exposures = False;
    unsigned long gcMask = GCForeground | GCBackground | GCGraphicsExposures;
    m_font = XLoadQueryFont(m_display, "fixed");
    if (m_font) {
        values.font = m_font->fid;
        gcMask |= GCFont;
    }
    m_gc = XCreateGC(m_display, m_window, gcMask, &values);
    if (m_ownWindow)
        XMapRaised(m_display, m_window);

    m_canvas = std::make_unique<Canvas>(m_display, m_attrs);
    m_pixels = std::make_unique<PixelCanvas>(format);
    m_board = std::make_unique<BoardPresenter>(m_random, *m_pixels, m_clock);
    std::string why;
    if (!LoadPieceFile(*m_pixels, m_options.image, why)) {
        m_message = "velomass: " + (m_options.image.empty() ? std::string("the built-in image") : m_options.image) +
                    ": " + why;
        std::fprintf(stderr, "%s; the board stays black\n", m_message.c_str());
    }
    m_look = ModuleLook(m_options);
    m_look.fill.colour = fill;
    return true;
}

void Module::Resize(int width, int height)
{
    m_width = width;
    m_height = height;
    if (!m_canvas->Allocate(width, height)) {
        std::fprintf(stderr, "velomass: no memory for a %d x %d image\n", width, height);
    }
    m_pixels->SetPixels(m_canvas->Pixels(), m_width, m_height, m_canvas->Stride());
    m_board->Reset(m_width, m_height, m_look);
    m_pixels->ClearDamage();
    Put({{0, 0, m_width, m_height}});
    DrawMessage();
}

void Module::Put(const std::vector<ScreenRect>& damage)
{
    for (const ScreenRect& r : damage)
        m_canvas->Put(m_window, m_gc, r.left, r.top, r.right - r.left, r.bottom - r.top);
    if (m_options.fps)
        DrawFps();
}

// Why the board is black, in the top left corner, as wide as the window allows.
void Module::DrawMessage()
{
    if (m_message.empty() || !m_font)
        return;
    const int margin = std::min(10, m_width / 20);
    const int lineHeight = m_font->ascent + m_font->descent;
    int y = margin + m_font->ascent;
    for (const std::string& line : WrapText(m_font, m_message, std::max(1, m_width - 2 * margin))) {
        if (y - m_font->ascent >= m_height)
            break;
        XDrawString(m_display, m_window, m_gc, margin, y, line.c_str(), static_cast<int>(line.size()));
        y += lineHeight;
    }
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
        if (event.xexpose.window == m_window) {
            m_canvas->Put(m_window, m_gc, event.xexpose.x, event.xexpose.y, event.xexpose.width,
                          event.xexpose.height);
            if (event.xexpose.count == 0)
                DrawMessage();
        }
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
    Resize(m_attrs.width, m_attrs.height);
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
        if (m_pendingWidth != m_width || m_pendingHeight != m_height)
            Resize(m_pendingWidth, m_pendingHeight);
        XFlush(m_display);

        long long now = NowMicroseconds();
        timespec wait{};
        if (m_clock.on) {
            const long long left = std::max(0LL, m_clock.next - now);
            wait.tv_sec = static_cast<time_t>(left / 1000000);
            wait.tv_nsec = static_cast<long>(left % 1000000 * 1000);
        }
        if (ppoll(fds, 2, m_clock.on ? &wait : nullptr, nullptr) < 0 && errno != EINTR)
            return 1;
        if (fds[1].revents & POLLIN)
            return 0;  // SIGTERM, SIGINT or SIGHUP
        if (fds[0].revents & (POLLERR | POLLHUP))
            return 1;
        now = NowMicroseconds();
        if (m_clock.on && now >= m_clock.next) {
            m_clock.next += m_clock.interval;
            if (m_clock.next <= now)
                m_clock.next = now + m_clock.interval;  // fell behind: no burst of steps
            m_board->Step();
            Put(m_pixels->Damage());
            m_pixels->ClearDamage();
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

    const char* name = parsed.options.display.empty() ? nullptr : parsed.options.display.c_str();
    Display* display = XOpenDisplay(name);
    if (!display) {
        std::fprintf(stderr, "velomass: cannot open display \"%s\"\n", XDisplayName(name));
        return 1;
    }
    XSetErrorHandler(OnXError);
    if (parsed.options.sync)
        XSynchronize(display, True);
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
