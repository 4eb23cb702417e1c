#pragma once

// The 2D library itself: the one HGE interface of the process, made by hgeCreate and kept alive by its reference
// count. It ties the window, the drawing, the input, the frame clock and the archives together and runs the frame
// loop; automated runs steer it through the platform options (headless drawing, fixed frame time, replayed input,
// snapshots after given frames).

#include "platform/ArchiveSet.h"
#include "platform/FrameActivity.h"
#include "platform/FrameClock.h"
#include "platform/GamePads.h"
#include "platform/Graphics.h"
#include "platform/Hge.h"
#include "platform/InputState.h"
#include "platform/PlatformOptions.h"
#include "platform/Window.h"

#include <memory>
#include <random>
#include <string>

namespace Vel {

class HgeSystem final : public HGE
{
public:
    // The process-wide instance with one more reference, created on first use from the current platform options.
    static HgeSystem* Acquire();

    HgeSystem();
    ~HgeSystem() override;
    HgeSystem(const HgeSystem&) = delete;
    HgeSystem& operator=(const HgeSystem&) = delete;

    void Release() override;

    void System_SetState(hgeBoolState state, bool value) override;
    void System_SetState(hgeFuncState state, hgeCallback value) override;
    void System_SetState(hgeIntState state, int value) override;
    void System_SetState(hgeStringState state, const char* value) override;
    [[nodiscard]] int System_GetState(hgeIntState state) override;

    [[nodiscard]] bool System_Initiate() override;
    void System_Shutdown() override;
    bool System_Start() override;
    bool System_Snapshot(const char* filename) override;
    bool System_Launch(const char* url) override;
    void System_Log(const char* format, ...) override __attribute__((format(printf, 2, 3)));

    [[nodiscard]] bool Resource_AttachPack(const char* filename, const char* password) override;
    [[nodiscard]] void* Resource_Load(const char* filename, std::uint32_t* size = nullptr) override;
    void Resource_Free(void* res) override;

    std::string Ini_GetString(const char* section, const char* name, const char* defaultValue) override;
    int Random_Int(int min, int max) override;
    float Timer_GetDelta() override;

    bool Input_GetEvent(hgeInputEvent* event) override;
    void Input_GetMousePos(float* x, float* y) override;
    bool Input_IsMouseOver() override;
    bool Input_GetKeyState(int key) override;
    bool Input_KeyDown(int key) override;

    bool Gfx_BeginScene(HTARGET target = 0) override;
    void Gfx_EndScene() override;
    void Gfx_Clear(std::uint32_t color) override;
    void Gfx_RenderQuad(const hgeQuad* quad) override;
    void Gfx_RenderBlits(HTEXTURE tex, const hgeBlit* blits, int count, std::uint32_t colour) override;

    [[nodiscard]] HTARGET Target_Create(int width, int height, bool zbuffer) override;
    void Target_Free(HTARGET target) override;
    HTEXTURE Target_GetTexture(HTARGET target) override;

    [[nodiscard]] HTEXTURE Texture_Create(int width, int height) override;
    [[nodiscard]] HTEXTURE Texture_Load(const char* filename, std::uint32_t size = 0, bool mipmap = false) override;
    void Texture_Free(HTEXTURE tex) override;
    int Texture_GetWidth(HTEXTURE tex, bool original = false) override;
    int Texture_GetHeight(HTEXTURE tex, bool original = false) override;
    std::uint32_t* Texture_Lock(HTEXTURE tex, bool readOnly = true, int left = 0, int top = 0, int width = 0,
                                int height = 0) override;
    void Texture_Unlock(HTEXTURE tex) override;

private:
    // The screen size to be, or (once the display is open) the screen picture resized.
    void ResizeScreen(int width, int height);
    // The player gave the window a new size: while windowed the screen picture takes it.
    void FollowWindowSize(int width, int height);
    static std::unique_ptr<HgeSystem> s_instance;

    [[nodiscard]] bool OpenDisplay(std::string& error);
    void Fail(const std::string& message);
    void LogLine(const std::string& line);
    // Input of a new frame from the window and the replay; false when the window is to close.
    [[nodiscard]] bool BeginFrame();
    [[nodiscard]] bool ApplyReplay();
    void WaitForFile(const std::string& path);
    // Whether this frame is drawn: it changed something, or the screen needs its picture again.
    [[nodiscard]] bool ShouldDraw(const FrameActivity::Report& activity);
    void WriteRequestedSnapshots();
    // Keeps the frame-rate cap while something moves; otherwise sleeps until input or the next timer.
    void WaitForNextFrame(const FrameActivity::Report& activity);
    void LimitFrameRate();
    void ApplyIcon();

    PlatformOptions m_options;
    int m_refCount = 0;

    hgeCallback m_frameFunc = nullptr;
    hgeCallback m_renderFunc = nullptr;
    bool m_windowed = true;
    bool m_hideMouse = false;
    int m_screenWidth = 800;
    int m_screenHeight = 600;
    int m_windowWidth = 0; // the windowed size; 0: the screen size
    int m_windowHeight = 0;
    int m_fps = HGEFPS_UNLIMITED;
    std::string m_title = "Velloria";
    std::string m_icon;
    std::string m_iniFile;
    std::string m_logFile;

    Window m_window;
    GamePads m_pads;
    Graphics m_graphics;
    InputState m_input;
    ArchiveSet m_archives;
    FrameClock m_clock;
    std::mt19937 m_random;
    bool m_initiated = false;
    int m_frame = 0;                // frames counted from 1 since the interface was made
    bool m_drawOwed = true;         // a change arrived while the window could not show it (or nothing drawn yet)
    std::size_t m_nextReplayed = 0; // first replayed event not yet applied
};

} // namespace Vel
