#pragma once

// Drawing for the 2D library: the renderer, textures and render targets behind integer handles, and the screen
// picture. Every scene on "the screen" draws into a render target of the screen size, which is copied to the
// window when that scene ends; snapshots read that picture back, so they work at any moment and, headless (SDL's
// software renderer on an off-screen surface), give the same pixels on every machine. Headless, the off-screen
// surface itself is the screen picture while it has the screen's size: its pixels are the engine's, so parts of
// pictures copied unscaled (glyphs) are blended there by the engine, which skips their empty pixels.

#include "platform/Hge.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <unordered_map>

namespace Vel {

enum class ImageFormat
{
    Bmp,
    Png,
};

class Graphics
{
public:
    Graphics();
    ~Graphics();
    Graphics(const Graphics&) = delete;
    Graphics& operator=(const Graphics&) = delete;

    // Software rendering into an off-screen picture of width x height; no window, no video device.
    [[nodiscard]] bool OpenHeadless(int width, int height, std::string& error);
    enum class Renderer
    {
        Any,      // the accelerated one where there is one, else SDL's software renderer
        Software, // SDL's software renderer only
    };
    // A renderer for the window with this Id (see Window), with a screen picture of width x height.
    [[nodiscard]] bool OpenWindow(std::uint32_t windowId, int width, int height, bool vsync, Renderer renderer,
                                  std::string& error);
    // Frees every texture and target; their handles become stale.
    void Close();
    [[nodiscard]] bool IsOpen() const { return m_device != nullptr; }

    // Makes the screen picture width x height, cleared to black; textures and targets stay. False (and the old
    // picture kept) when the size cannot be had.
    [[nodiscard]] bool ResizeScreen(int width, int height);

    void SetVsync(bool on);
    void SetTextureFilter(bool on) { m_textureFilter = on; }

    // target 0 is the screen picture. False when a scene is already open or the target is unknown.
    [[nodiscard]] bool BeginScene(HTARGET target);
    // Ending a scene on the screen shows the picture in the window.
    void EndScene();
    void Clear(std::uint32_t color);
    void RenderQuad(const hgeQuad& quad);
    // Each part as RenderQuad would draw it with the colour on every vertex (multiplied, alpha-blended).
    void RenderBlits(HTEXTURE texture, std::span<const hgeBlit> blits, std::uint32_t colour);

    [[nodiscard]] HTARGET CreateTarget(int width, int height);
    void FreeTarget(HTARGET target);
    [[nodiscard]] HTEXTURE TargetTexture(HTARGET target) const;

    [[nodiscard]] HTEXTURE CreateTexture(int width, int height);
    // Decodes an image file held in memory; fileName (may be empty) only hints at the type. 0 with the cause in
    // error when it cannot be decoded.
    [[nodiscard]] HTEXTURE LoadTexture(const void* data, std::size_t size, const std::string& fileName,
                                       std::string& error);
    // A render target's texture goes with its target, not here.
    void FreeTexture(HTEXTURE texture);
    [[nodiscard]] int TextureWidth(HTEXTURE texture) const;
    [[nodiscard]] int TextureHeight(HTEXTURE texture) const;
    // The CPU copy of the pixels, 0xAARRGGBB rows of TextureWidth entries, starting at (left, top); width or height
    // 0 locks the whole texture. nullptr for an unknown, locked or render-target texture or a rectangle outside.
    [[nodiscard]] std::uint32_t* Lock(HTEXTURE texture, bool readOnly, int left, int top, int width, int height);
    // Uploads what a writable lock changed.
    void Unlock(HTEXTURE texture);

    // Writes the screen picture as it is now.
    [[nodiscard]] bool SaveScreen(const std::string& fileName, ImageFormat format, std::string& error);

private:
    struct Device;
    struct Texture;

    [[nodiscard]] bool FinishOpen(std::unique_ptr<Device> device, std::string& error);
    [[nodiscard]] bool FitsDevice(int width, int height) const;
    [[nodiscard]] Texture* Find(HTEXTURE texture) const;
    HTEXTURE Add(std::unique_ptr<Texture> texture);
    void Present();
    // True when the scene draws on the off-screen surface and the texture's pixels are at hand.
    [[nodiscard]] bool BlendsItself(const Texture* texture) const;
    void BlendOnSurface(const Texture& texture, const hgeBlit& blit, std::uint32_t colour);
    void BlitAsQuad(HTEXTURE texture, const Texture& found, const hgeBlit& blit, std::uint32_t colour);
    // From the screen picture, which is the render target while they run.
    [[nodiscard]] bool SavePng(const std::string& fileName, std::string& error);
    [[nodiscard]] bool SaveBmp(const std::string& fileName, std::string& error);

    std::unique_ptr<Device> m_device;
    std::unordered_map<std::uint32_t, std::unique_ptr<Texture>> m_textures;
    std::unordered_map<HTARGET, HTEXTURE> m_targets;
    std::uint32_t m_nextHandle = 1; // never reused, so a stale handle never finds a newer texture
    bool m_textureFilter = true;
    bool m_inScene = false;
    bool m_sceneOnScreen = false;
    HTEXTURE m_sceneTexture = 0;
};

} // namespace Vel
