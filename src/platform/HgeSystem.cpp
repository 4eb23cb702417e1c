#include "platform/HgeSystem.h"

#include "platform/IniFile.h"
#include "platform/Os.h"
#include "platform/RendererChoice.h"
#include "platform/SdlInput.h"

#include <unistd.h>

#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>
#include <span>
#include <system_error>
#include <thread>
#include <vector>

namespace Vel {

std::unique_ptr<HgeSystem> HgeSystem::s_instance;

namespace {

// Headless runs must be reproducible, so their random numbers are too.
constexpr std::mt19937::result_type kHeadlessSeed = 20240501;
constexpr double kHeadlessDelta = 1.0 / 60.0;

void* LoadDiskFile(const std::string& fileName, std::uint32_t& size)
{
    std::error_code error;
    if (!std::filesystem::is_regular_file(fileName, error))
        return nullptr;
    std::uintmax_t length = std::filesystem::file_size(fileName, error);
    if (error || length >= std::numeric_limits<std::uint32_t>::max())
        return nullptr;
    std::ifstream file(fileName, std::ios::binary);
    auto* block = static_cast<char*>(std::malloc(length + 1));
    if (block == nullptr || !file.read(block, static_cast<std::streamsize>(length))) {
        std::free(block);
        return nullptr;
    }
    block[length] = 0;
    size = static_cast<std::uint32_t>(length);
    return block;
}

ImageFormat FormatOf(const std::string& fileName)
{
    std::string extension = std::filesystem::path(fileName).extension().string();
    for (char& c : extension)
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return extension == ".png" ? ImageFormat::Png : ImageFormat::Bmp;
}

} // namespace

HgeSystem* HgeSystem::Acquire()
{
    if (s_instance == nullptr)
        s_instance = std::make_unique<HgeSystem>();
    ++s_instance->m_refCount;
    return s_instance.get();
}

HgeSystem::HgeSystem()
    : m_options(GetPlatformOptions()), m_clock(m_options.fixedDelta > 0 ? m_options.fixedDelta
                                               : m_options.headless     ? kHeadlessDelta
                                                                        : 0.0),
      m_random(m_options.headless ? kHeadlessSeed : std::random_device{}())
{
}

HgeSystem::~HgeSystem()
{
    System_Shutdown();
}

void HgeSystem::Release()
{
    if (s_instance.get() != this || --m_refCount > 0)
        return;
    s_instance.reset(); // destroys this: nothing may follow
}

void HgeSystem::System_SetState(hgeBoolState state, bool value)
{
    switch (state) {
    case HGE_WINDOWED:
        if (m_windowed != value && m_initiated && m_window.IsOpen()) {
            m_window.SetMode(value);
            FrameActivity::Changed();
        }
        m_windowed = value;
        break;
    case HGE_TEXTUREFILTER:
        m_graphics.SetTextureFilter(value);
        break;
    case HGE_HIDEMOUSE:
        m_hideMouse = value;
        m_window.SetCursorVisible(!value);
        break;
    case HGE_ZBUFFER:
    case HGE_USESOUND:
    case HGE_SHOWSPLASH:
        break;
    }
}

void HgeSystem::System_SetState(hgeFuncState state, hgeCallback value)
{
    if (state == HGE_FRAMEFUNC)
        m_frameFunc = value;
    else if (state == HGE_RENDERFUNC)
        m_renderFunc = value;
}

void HgeSystem::ResizeScreen(int width, int height)
{
    if (!m_initiated || m_graphics.ResizeScreen(width, height)) {
        m_screenWidth = width;
        m_screenHeight = height;
        FrameActivity::Changed();
    }
}

void HgeSystem::System_SetState(hgeIntState state, int value)
{
    switch (state) {
    // Once the display is open, a new size resizes the screen picture (switching between a window and the full
    // screen); a size the display cannot have keeps the old one.
    case HGE_SCREENWIDTH:
        ResizeScreen(value, m_screenHeight);
        break;
    case HGE_SCREENHEIGHT:
        ResizeScreen(m_screenWidth, value);
        break;
    case HGE_WINDOWWIDTH:
        m_windowWidth = value;
        break;
    case HGE_WINDOWHEIGHT:
        m_windowHeight = value;
        break;
    case HGE_SCREENBPP:
        break;
    case HGE_FPS:
        m_fps = value;
        m_graphics.SetVsync(value == HGEFPS_VSYNC);
        break;
    }
}

int HgeSystem::System_GetState(hgeIntState state)
{
    switch (state) {
    case HGE_SCREENWIDTH:
        return m_screenWidth;
    case HGE_SCREENHEIGHT:
        return m_screenHeight;
    case HGE_WINDOWWIDTH:
        return m_windowWidth > 0 ? m_windowWidth : m_screenWidth;
    case HGE_WINDOWHEIGHT:
        return m_windowHeight > 0 ? m_windowHeight : m_screenHeight;
    case HGE_SCREENBPP:
        return 32;
    case HGE_FPS:
        return m_fps;
    }
    return 0;
}

// Only a window follows: in full screen the window manager's sizes are the desktop's, not the player's choice.
void HgeSystem::FollowWindowSize(int width, int height)
{
    if (!m_windowed || width <= 0 || height <= 0)
        return;
    m_windowWidth = width;
    m_windowHeight = height;
    m_window.KeepWindowedSize(width, height);
    ResizeScreen(width, height);
}

void HgeSystem::System_SetState(hgeStringState state, const char* value)
{
    std::string text = value == nullptr ? std::string() : value;
    switch (state) {
    case HGE_ICON:
        m_icon = text;
        ApplyIcon();
        break;
    case HGE_TITLE:
        m_title = text;
        m_window.SetTitle(text);
        break;
    case HGE_INIFILE:
        m_iniFile = text;
        break;
    case HGE_LOGFILE:
        m_logFile = text;
        break;
    }
}

bool HgeSystem::System_Initiate()
{
    if (m_initiated)
        return true;
    std::string error;
    if (!OpenDisplay(error)) {
        m_graphics.Close();
        m_window.Close();
        Fail("System_Initiate: " + error);
        return false;
    }
    m_initiated = true;
    m_window.SetCursorVisible(!m_hideMouse);
    ApplyIcon();
    if (m_window.IsOpen())
        SdlInput::ReadMouse(m_input, m_window.Id(), m_screenWidth, m_screenHeight);
    m_clock.Reset();
    return true;
}

bool HgeSystem::OpenDisplay(std::string& error)
{
    if (m_screenWidth <= 0 || m_screenHeight <= 0) {
        error = "invalid screen size " + std::to_string(m_screenWidth) + "x" + std::to_string(m_screenHeight);
        return false;
    }
    if (m_options.headless)
        return m_graphics.OpenHeadless(m_screenWidth, m_screenHeight, error);
    const RendererChoice renderer = RendererChoice::FromEnvironment();
    if (!renderer.GetNotice().empty())
        System_Log("%s", renderer.GetNotice().c_str());
    renderer.ApplyHints();
    const Graphics::Renderer kind =
        renderer.GetKind() == RendererChoice::Kind::Software ? Graphics::Renderer::Software : Graphics::Renderer::Any;
    const int windowWidth = m_windowWidth > 0 ? m_windowWidth : m_screenWidth;
    const int windowHeight = m_windowHeight > 0 ? m_windowHeight : m_screenHeight;
    if (!m_window.Open(m_title, windowWidth, windowHeight, error) ||
        !m_graphics.OpenWindow(m_window.Id(), m_screenWidth, m_screenHeight, m_fps == HGEFPS_VSYNC, kind, error))
        return false;
    m_window.SetMode(m_windowed);
    // Pads are a convenience: a system where SDL cannot look for them plays by keyboard and mouse.
    if (std::string padError; !m_pads.Start(padError))
        LogLine("Game controllers cannot be used: " + padError);
    return true;
}

void HgeSystem::System_Shutdown()
{
    m_pads.Stop();
    m_graphics.Close();
    m_window.Close();
    m_initiated = false;
}

bool HgeSystem::System_Start()
{
    if (!m_initiated || m_frameFunc == nullptr) {
        System_Log("System_Start: %s", m_initiated ? "no frame function is set" : "the display is not open");
        return false;
    }
    m_clock.Reset();
    for (;;) {
        ++m_frame;
        if (!BeginFrame() || m_frameFunc())
            break;
        const FrameActivity::Report activity = FrameActivity::Take();
        if (m_renderFunc != nullptr && ShouldDraw(activity))
            m_renderFunc();
        // A frame that was not drawn left the screen picture as the last drawn one, which is what it shows.
        WriteRequestedSnapshots();
        if (m_options.maxFrames > 0 && m_frame >= m_options.maxFrames)
            break;
        WaitForNextFrame(activity);
    }
    return true;
}

bool HgeSystem::ShouldDraw(const FrameActivity::Report& activity)
{
    m_drawOwed = m_drawOwed || activity.changed;
    if (!m_drawOwed || !m_window.CanShow())
        return false;
    m_drawOwed = false;
    return true;
}

void HgeSystem::WaitForNextFrame(const FrameActivity::Report& activity)
{
    if (m_options.headless)
        return;
    // A change often sets off another in the frame after (a node placed, a gate reopened), so the frame after a
    // change comes at the frame rate as well.
    // A run limited to N frames, or replaying input at given frames, counts frames as they pass: it never sleeps.
    const bool counted = m_options.maxFrames > 0 || m_nextReplayed < m_options.input.Events().size();
    if (activity.changed || activity.wake <= 0.0 || m_input.AnyDown() || counted) {
        LimitFrameRate();
        return;
    }
    if (m_window.IsOpen())
        SdlInput::WaitForEvent(activity.wake, m_pads);
}

bool HgeSystem::BeginFrame()
{
    m_input.BeginFrame();
    bool open = true;
    if (m_window.IsOpen()) {
        const WindowRequests requests = SdlInput::Pump(m_input, m_pads, m_window.Id(), m_screenWidth, m_screenHeight);
        open = !requests.close;
        if (requests.resizedWidth > 0)
            FollowWindowSize(requests.resizedWidth, requests.resizedHeight);
    }
    open = ApplyReplay() && open;
    // What a held button drags along is drawn as it goes.
    if (m_input.AnyDown())
        FrameActivity::Changed();
    m_clock.Tick();
    return open;
}

bool HgeSystem::ApplyReplay()
{
    const std::vector<InputEvent>& events = m_options.input.Events();
    bool open = true;
    for (; m_nextReplayed < events.size() && events[m_nextReplayed].frame <= m_frame; ++m_nextReplayed) {
        const InputEvent& event = events[m_nextReplayed];
        if (event.kind == InputEvent::Kind::Close) {
            open = false;
        } else if (event.kind == InputEvent::Kind::Resize) {
            // As the player's hand would: the window changes, and the screen follows it.
            const int width = static_cast<int>(event.x);
            const int height = static_cast<int>(event.y);
            m_window.Resize(width, height);
            FollowWindowSize(width, height);
        } else if (event.kind == InputEvent::Kind::Wait) {
            WaitForFile(event.path);
        } else {
            m_input.Apply(event);
        }
    }
    return open;
}

// Ten seconds at most: a test whose other side never comes fails on what the run did not do, and does not hang.
void HgeSystem::WaitForFile(const std::string& path)
{
    constexpr int kTries = 1000;
    for (int i = 0; i < kTries && access(path.c_str(), F_OK) != 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

void HgeSystem::WriteRequestedSnapshots()
{
    for (const SnapshotRequest& request : m_options.snapshots) {
        if (request.frame != m_frame)
            continue;
        std::string error;
        if (!m_graphics.SaveScreen(request.fileName, FormatOf(request.fileName), error))
            Fail("snapshot of frame " + std::to_string(m_frame) + " to '" + request.fileName + "' failed: " + error);
    }
}

void HgeSystem::LimitFrameRate()
{
    if (m_options.headless)
        return;
    if (m_fps > 0) {
        m_clock.WaitUntil(1.0 / m_fps);
    } else if (m_fps == HGEFPS_VSYNC) {
        // Where the driver ignores vsync (software or virtual displays) the loop would spin; a present that
        // really waited took about a whole refresh interval and is not held up further.
        m_clock.WaitUntil(0.9 / m_window.RefreshRate());
    }
}

bool HgeSystem::System_Snapshot(const char* filename)
{
    if (filename == nullptr || *filename == 0)
        return false;
    std::string error;
    if (m_graphics.SaveScreen(filename, ImageFormat::Bmp, error))
        return true;
    System_Log("System_Snapshot: cannot write '%s': %s", filename, error.c_str());
    return false;
}

bool HgeSystem::System_Launch(const char* url)
{
    if (url != nullptr && Os::Launch(url))
        return true;
    System_Log("System_Launch: cannot open '%s'", url == nullptr ? "" : url);
    return false;
}

void HgeSystem::System_Log(const char* format, ...)
{
    if (m_logFile.empty() || format == nullptr)
        return;
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string line(length > 0 ? static_cast<std::size_t>(length) : 0, '\0');
    if (length > 0)
        std::vsnprintf(line.data(), line.size() + 1, format, args);
    va_end(args);
    LogLine(line);
}

void HgeSystem::LogLine(const std::string& line)
{
    if (m_logFile.empty())
        return;
    if (std::FILE* file = std::fopen(m_logFile.c_str(), "a")) {
        std::fprintf(file, "%s\n", line.c_str());
        std::fclose(file);
    }
}

void HgeSystem::Fail(const std::string& message)
{
    LogLine(message);
    std::fprintf(stderr, "%s\n", message.c_str());
}

bool HgeSystem::Resource_AttachPack(const char* filename, const char* password)
{
    if (filename == nullptr)
        return false;
    std::string error;
    if (m_archives.Attach(filename, password == nullptr ? "" : password, error))
        return true;
    System_Log("Resource_AttachPack: cannot attach '%s': %s", filename, error.c_str());
    return false;
}

void* HgeSystem::Resource_Load(const char* filename, std::uint32_t* size)
{
    std::uint32_t length = 0;
    void* block = nullptr;
    if (filename != nullptr && *filename != 0) {
        std::string error;
        block = m_archives.Load(filename, length, error);
        if (block == nullptr && !error.empty())
            System_Log("Resource_Load: %s", error.c_str());
        if (block == nullptr)
            block = LoadDiskFile(filename, length);
    }
    if (size != nullptr)
        *size = block == nullptr ? 0 : length;
    return block;
}

void HgeSystem::Resource_Free(void* res)
{
    std::free(res);
}

std::string HgeSystem::Ini_GetString(const char* section, const char* name, const char* defaultValue)
{
    std::string fallback = defaultValue == nullptr ? std::string() : defaultValue;
    if (m_iniFile.empty() || section == nullptr || name == nullptr)
        return fallback;
    return IniFile::Load(m_iniFile).Get(section, name).value_or(fallback);
}

int HgeSystem::Random_Int(int min, int max)
{
    if (min > max)
        std::swap(min, max);
    return std::uniform_int_distribution<int>(min, max)(m_random);
}

float HgeSystem::Timer_GetDelta()
{
    return m_clock.Delta();
}

bool HgeSystem::Input_GetEvent(hgeInputEvent* event)
{
    return event != nullptr && m_input.PopEvent(*event);
}

void HgeSystem::Input_GetMousePos(float* x, float* y)
{
    if (x != nullptr)
        *x = m_input.MouseX();
    if (y != nullptr)
        *y = m_input.MouseY();
}

bool HgeSystem::Input_IsMouseOver()
{
    return m_input.MouseOver();
}

bool HgeSystem::Input_GetKeyState(int key)
{
    return m_input.IsDown(key);
}

bool HgeSystem::Input_KeyDown(int key)
{
    return m_input.WentDown(key);
}

bool HgeSystem::Gfx_BeginScene(HTARGET target)
{
    return m_graphics.BeginScene(target);
}

void HgeSystem::Gfx_EndScene()
{
    m_graphics.EndScene();
}

void HgeSystem::Gfx_Clear(std::uint32_t color)
{
    m_graphics.Clear(color);
}

void HgeSystem::Gfx_RenderQuad(const hgeQuad* quad)
{
    if (quad != nullptr)
        m_graphics.RenderQuad(*quad);
}

void HgeSystem::Gfx_RenderBlits(HTEXTURE tex, const hgeBlit* blits, int count, std::uint32_t colour)
{
    if (blits != nullptr && count > 0)
        m_graphics.RenderBlits(tex, std::span(blits, static_cast<std::size_t>(count)), colour);
}

HTARGET HgeSystem::Target_Create(int width, int height, bool /*zbuffer*/)
{
    return m_graphics.CreateTarget(width, height);
}

void HgeSystem::Target_Free(HTARGET target)
{
    m_graphics.FreeTarget(target);
}

HTEXTURE HgeSystem::Target_GetTexture(HTARGET target)
{
    return m_graphics.TargetTexture(target);
}

HTEXTURE HgeSystem::Texture_Create(int width, int height)
{
    return m_graphics.CreateTexture(width, height);
}

HTEXTURE HgeSystem::Texture_Load(const char* filename, std::uint32_t size, bool /*mipmap*/)
{
    if (filename == nullptr)
        return 0;
    std::string error;
    if (size != 0) {
        HTEXTURE texture = m_graphics.LoadTexture(filename, size, std::string(), error);
        if (texture == 0)
            System_Log("Texture_Load: image in memory: %s", error.c_str());
        return texture;
    }
    std::uint32_t length = 0;
    void* block = Resource_Load(filename, &length);
    if (block == nullptr) {
        System_Log("Texture_Load: cannot find '%s'", filename);
        return 0;
    }
    HTEXTURE texture = m_graphics.LoadTexture(block, length, filename, error);
    Resource_Free(block);
    if (texture == 0)
        System_Log("Texture_Load: '%s': %s", filename, error.c_str());
    return texture;
}

void HgeSystem::Texture_Free(HTEXTURE tex)
{
    m_graphics.FreeTexture(tex);
}

int HgeSystem::Texture_GetWidth(HTEXTURE tex, bool /*original*/)
{
    return m_graphics.TextureWidth(tex);
}

int HgeSystem::Texture_GetHeight(HTEXTURE tex, bool /*original*/)
{
    return m_graphics.TextureHeight(tex);
}

std::uint32_t* HgeSystem::Texture_Lock(HTEXTURE tex, bool readOnly, int left, int top, int width, int height)
{
    return m_graphics.Lock(tex, readOnly, left, top, width, height);
}

void HgeSystem::Texture_Unlock(HTEXTURE tex)
{
    m_graphics.Unlock(tex);
}

void HgeSystem::ApplyIcon()
{
    if (!m_window.IsOpen() || m_icon.empty())
        return;
    std::uint32_t size = 0;
    void* block = Resource_Load(m_icon.c_str(), &size);
    if (block != nullptr && !m_window.SetIcon(block, size))
        System_Log("cannot use '%s' as the window icon", m_icon.c_str());
    Resource_Free(block);
}

HGE* hgeCreate(int version)
{
    return version == HGE_VERSION ? HgeSystem::Acquire() : nullptr;
}

} // namespace Vel
