#pragma once

// The 2D library interface the engine draws, reads input, times frames and reads packed files through.
// The engine obtains the one instance with hgeCreate(HGE_VERSION), keeps it in HgeManager and calls Release once at
// shutdown. Only these operations exist; everything behind them (SDL2 window and renderer, libzip archives, the ini
// and log files) is the platform's own business.
//
// Conventions: file names are UTF-8; textures and render targets are integer handles with 0 for none, and every
// operation accepts 0 or a stale handle without harm; colours are 0xAARRGGBB.

#include <cstdint>
#include <string>

namespace Vel {

using HTEXTURE = std::uint32_t;
using HTARGET = std::uint32_t;

constexpr int HGE_VERSION = 0x180;

using hgeCallback = bool (*)();

enum hgeBoolState
{
    HGE_WINDOWED = 1,   // windowed at the screen size, or full screen covering the desktop; may change while running
    HGE_ZBUFFER = 2,    // accepted and ignored: the engine draws in painter's order
    HGE_TEXTUREFILTER = 3,
    HGE_USESOUND = 4,   // accepted; the 2D library never opens a sound device of its own
    HGE_HIDEMOUSE = 5,
    HGE_SHOWSPLASH = 6,
};

enum hgeFuncState
{
    HGE_FRAMEFUNC = 7,  // called once per frame; returning true ends System_Start
    HGE_RENDERFUNC = 8, // called after the frame function of a frame that changed the screen (FrameActivity)
};

enum hgeIntState
{
    HGE_SCREENWIDTH = 9,
    HGE_SCREENHEIGHT = 10,
    HGE_SCREENBPP = 11,
    HGE_FPS = 12, // HGEFPS_VSYNC, HGEFPS_UNLIMITED or a frame rate cap
    // The window's size when not full screen (0: the screen size). The player may resize the window; while
    // windowed, the screen then takes the window's size, which System_GetState reports.
    HGE_WINDOWWIDTH = 17,
    HGE_WINDOWHEIGHT = 18,
};

enum hgeStringState
{
    HGE_ICON = 13,    // a picture file for the window icon; a missing file leaves the default icon
    HGE_TITLE = 14,   // UTF-8 window title
    HGE_INIFILE = 15, // file read by Ini_GetString
    HGE_LOGFILE = 16, // file System_Log appends to
};

constexpr int HGEFPS_UNLIMITED = 0;
constexpr int HGEFPS_VSYNC = -1;

// Blend modes of hgeQuad::blend.
constexpr int BLEND_COLORADD = 1;
constexpr int BLEND_COLORMUL = 0;
constexpr int BLEND_ALPHABLEND = 2;
constexpr int BLEND_ALPHAADD = 0;
constexpr int BLEND_ZWRITE = 4;
constexpr int BLEND_NOZWRITE = 0;
constexpr int BLEND_DEFAULT = BLEND_COLORMUL | BLEND_ALPHABLEND | BLEND_NOZWRITE;
constexpr int BLEND_DEFAULT_Z = BLEND_COLORMUL | BLEND_ALPHABLEND | BLEND_ZWRITE;

// Input event types and flags.
constexpr int INPUT_KEYDOWN = 1;
constexpr int INPUT_KEYUP = 2;
constexpr int INPUT_MBUTTONDOWN = 3;
constexpr int INPUT_MBUTTONUP = 4;
constexpr int INPUT_MOUSEMOVE = 5;
constexpr int INPUT_MOUSEWHEEL = 6;

constexpr int HGEINP_SHIFT = 1;
constexpr int HGEINP_CTRL = 2;
constexpr int HGEINP_ALT = 4;
constexpr int HGEINP_CAPSLOCK = 8;
constexpr int HGEINP_SCROLLLOCK = 16;
constexpr int HGEINP_NUMLOCK = 32;
constexpr int HGEINP_REPEAT = 64;

// Key codes (the Windows virtual-key numbering the scripts' key names follow).
constexpr int HGEK_LBUTTON = 0x01;
constexpr int HGEK_RBUTTON = 0x02;
constexpr int HGEK_MBUTTON = 0x04;
constexpr int HGEK_BACKSPACE = 0x08;
constexpr int HGEK_TAB = 0x09;
constexpr int HGEK_ENTER = 0x0D;
constexpr int HGEK_SHIFT = 0x10;
constexpr int HGEK_CTRL = 0x11;
constexpr int HGEK_ALT = 0x12;
constexpr int HGEK_PAUSE = 0x13;
constexpr int HGEK_CAPSLOCK = 0x14;
constexpr int HGEK_ESCAPE = 0x1B;
constexpr int HGEK_SPACE = 0x20;
constexpr int HGEK_PGUP = 0x21;
constexpr int HGEK_PGDN = 0x22;
constexpr int HGEK_END = 0x23;
constexpr int HGEK_HOME = 0x24;
constexpr int HGEK_LEFT = 0x25;
constexpr int HGEK_UP = 0x26;
constexpr int HGEK_RIGHT = 0x27;
constexpr int HGEK_DOWN = 0x28;
constexpr int HGEK_INSERT = 0x2D;
constexpr int HGEK_DELETE = 0x2E;
constexpr int HGEK_KPENTER = 0x6C; // the keypad's Enter, told apart from Enter (the Windows separator key's number)
constexpr int HGEK_0 = 0x30; // HGEK_0 + n for the digit n
constexpr int HGEK_A = 0x41; // HGEK_A + n for the n-th letter
constexpr int HGEK_S = 0x53;
constexpr int HGEK_F1 = 0x70; // HGEK_F1 + n - 1 for Fn, up to F12
// A game controller's buttons, in the Windows numbering of gamepad keys; they act as keys do.
constexpr int HGEK_PAD_A = 0xC3;
constexpr int HGEK_PAD_B = 0xC4;
constexpr int HGEK_PAD_X = 0xC5;
constexpr int HGEK_PAD_Y = 0xC6;
constexpr int HGEK_PAD_RIGHTSHOULDER = 0xC7;
constexpr int HGEK_PAD_LEFTSHOULDER = 0xC8;
constexpr int HGEK_PAD_DPUP = 0xCB;
constexpr int HGEK_PAD_DPDOWN = 0xCC;
constexpr int HGEK_PAD_DPLEFT = 0xCD;
constexpr int HGEK_PAD_DPRIGHT = 0xCE;
constexpr int HGEK_PAD_START = 0xCF;
constexpr int HGEK_PAD_BACK = 0xD0;
constexpr int HGEK_F12 = 0x7B;
constexpr int HGEK_LAST = 0xFF;

struct hgeInputEvent
{
    int type = 0;  // INPUT_*
    int key = 0;   // HGEK_* for key and button events
    int flags = 0; // HGEINP_* held at the time of the event
    int chr = 0;   // the character typed, 0 for none
    int wheel = 0; // wheel steps, positive away from the user
    float x = 0;   // mouse position in window pixels
    float y = 0;
};

struct hgeVertex
{
    float x = 0, y = 0; // screen or target pixels
    float z = 0.5f;     // ignored: painter's order
    std::uint32_t col = 0xFFFFFFFF;
    float tx = 0, ty = 0; // texture coordinates, 0..1 over the device texture
};

// Vertices go clockwise from the top left corner.
struct hgeQuad
{
    hgeVertex v[4];
    HTEXTURE tex = 0; // 0 draws the vertex colours alone
    int blend = BLEND_DEFAULT;
};

// A part of a texture copied unscaled onto whole pixels of the target: one glyph of a text.
struct hgeBlit
{
    int u = 0, v = 0; // the part's top-left corner on the texture, in pixels
    int width = 0, height = 0;
    int x = 0, y = 0; // where that corner goes on the target
};

class HGE
{
public:
    // Drops one reference taken by hgeCreate; the last one destroys the interface.
    virtual void Release() = 0;

    virtual void System_SetState(hgeBoolState state, bool value) = 0;
    virtual void System_SetState(hgeFuncState state, hgeCallback value) = 0;
    virtual void System_SetState(hgeIntState state, int value) = 0;
    virtual void System_SetState(hgeStringState state, const char* value) = 0;
    [[nodiscard]] virtual int System_GetState(hgeIntState state) = 0;

    // Opens the window (or the off-screen picture when headless). False, with the cause in the log, on failure.
    [[nodiscard]] virtual bool System_Initiate() = 0;
    virtual void System_Shutdown() = 0;
    // Runs frame and render functions until the frame function returns true or the window is closed.
    virtual bool System_Start() = 0;
    // Writes the last drawn screen picture as a BMP file.
    virtual bool System_Snapshot(const char* filename) = 0;
    // Hands the text as one argument to the desktop's opener; a text starting with '-' is refused.
    virtual bool System_Launch(const char* url) = 0;
    virtual void System_Log(const char* format, ...) __attribute__((format(printf, 2, 3))) = 0;

    // Attaches a ZIP archive (traditional or AES encryption) searched before the disk by Resource_Load.
    // Fails when the archive is missing, damaged or the password does not open its first entry.
    [[nodiscard]] virtual bool Resource_AttachPack(const char* filename, const char* password) = 0;
    // The whole content of a file, from the attached archives first, then the disk; nullptr when absent.
    // The block is owned by the caller and returned with Resource_Free. A zero byte follows the data.
    [[nodiscard]] virtual void* Resource_Load(const char* filename, std::uint32_t* size = nullptr) = 0;
    virtual void Resource_Free(void* res) = 0;

    // Value of key in section of the ini file; the default when the file, section or key is missing.
    virtual std::string Ini_GetString(const char* section, const char* name, const char* defaultValue) = 0;

    virtual int Random_Int(int min, int max) = 0; // inclusive on both ends

    virtual float Timer_GetDelta() = 0; // seconds the previous frame lasted

    virtual bool Input_GetEvent(hgeInputEvent* event) = 0;
    virtual void Input_GetMousePos(float* x, float* y) = 0; // window pixels
    virtual bool Input_IsMouseOver() = 0;
    virtual bool Input_GetKeyState(int key) = 0; // held now
    virtual bool Input_KeyDown(int key) = 0;     // went down during this frame

    // target 0 draws on the screen picture.
    virtual bool Gfx_BeginScene(HTARGET target = 0) = 0;
    virtual void Gfx_EndScene() = 0;
    virtual void Gfx_Clear(std::uint32_t color) = 0;
    virtual void Gfx_RenderQuad(const hgeQuad* quad) = 0;
    // The parts of one texture, each drawn as a quad of the vertex colour would be (multiplied, alpha-blended):
    // the same pixels in one call, which lets a target in the engine's own memory blend them itself.
    virtual void Gfx_RenderBlits(HTEXTURE tex, const hgeBlit* blits, int count, std::uint32_t colour) = 0;

    [[nodiscard]] virtual HTARGET Target_Create(int width, int height, bool zbuffer) = 0;
    virtual void Target_Free(HTARGET target) = 0;
    virtual HTEXTURE Target_GetTexture(HTARGET target) = 0;

    [[nodiscard]] virtual HTEXTURE Texture_Create(int width, int height) = 0;
    // PNG, JPEG, BMP or TGA from the archives or the disk; with size != 0, filename is ignored and data points at
    // an image file of size bytes in memory. 0 when it cannot be decoded.
    [[nodiscard]] virtual HTEXTURE Texture_Load(const char* filename, std::uint32_t size = 0, bool mipmap = false) = 0;
    virtual void Texture_Free(HTEXTURE tex) = 0;
    // original: the picture's own size; otherwise the size of the texture on the device.
    virtual int Texture_GetWidth(HTEXTURE tex, bool original = false) = 0;
    virtual int Texture_GetHeight(HTEXTURE tex, bool original = false) = 0;
    // Pixels as 0xAARRGGBB rows of Texture_GetWidth(tex) entries; nullptr for 0 or a render target's texture.
    virtual std::uint32_t* Texture_Lock(HTEXTURE tex, bool readOnly = true, int left = 0, int top = 0, int width = 0,
                                        int height = 0) = 0;
    virtual void Texture_Unlock(HTEXTURE tex) = 0;

protected:
    virtual ~HGE() = default;
};

// The one interface of the process, with one more reference; nullptr for a version other than HGE_VERSION.
HGE* hgeCreate(int version);

} // namespace Vel
