#include "platform/Graphics.h"

#include "PixelBlend.h"

#include <SDL.h>
#include <SDL_image.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <iterator>
#include <vector>

namespace Vel {

struct Graphics::Device
{
    Device() = default;
    ~Device()
    {
        if (screen != nullptr)
            SDL_DestroyTexture(screen);
        if (white != nullptr)
            SDL_DestroyTexture(white);
        if (renderer != nullptr)
            SDL_DestroyRenderer(renderer);
        if (surface != nullptr)
            SDL_FreeSurface(surface);
    }
    Device(const Device&) = delete;
    Device& operator=(const Device&) = delete;

    SDL_Renderer* renderer = nullptr;
    SDL_Surface* surface = nullptr; // the off-screen picture of a headless renderer
    SDL_Texture* screen = nullptr;  // nullptr while the headless surface is the screen picture
    SDL_Texture* white = nullptr;   // stands in for "no texture", see RenderQuad
    int width = 0;
    int height = 0;
    int maxTextureWidth = 0; // 0: no limit
    int maxTextureHeight = 0;
};

struct Graphics::Texture
{
    explicit Texture(SDL_Texture* device) : texture(device) {}
    ~Texture() { SDL_DestroyTexture(texture); }
    Texture(const Texture&) = delete;
    Texture& operator=(const Texture&) = delete;

    SDL_Texture* texture;
    int width = 0;
    int height = 0;
    bool isTarget = false;
    std::vector<std::uint32_t> pixels; // CPU copy, empty for a render target
    bool locked = false;
    bool lockReadOnly = true;
    SDL_Rect lockRect{};
    bool opaque = false; // every pixel's alpha is full

    void FindOpaque()
    {
        opaque = !pixels.empty() &&
                 std::all_of(pixels.begin(), pixels.end(), [](std::uint32_t pixel) { return pixel >> 24 == 0xFF; });
    }
};

namespace {

constexpr int kWhiteSide = 4;

// Guards the pixel arithmetic of damaged image headers and silly requests.
constexpr int kMaxSide = 16384;

SDL_Color ToColor(std::uint32_t argb)
{
    return SDL_Color{static_cast<Uint8>(argb >> 16), static_cast<Uint8>(argb >> 8), static_cast<Uint8>(argb),
                     static_cast<Uint8>(argb >> 24)};
}

bool EndsWithTga(const std::string& fileName)
{
    if (fileName.size() < 4)
        return false;
    std::string extension = fileName.substr(fileName.size() - 4);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return std::tolower(c); });
    return extension == ".tga";
}

// TGA files have no signature, so SDL_image finds them only when told; anything else it recognises itself.
SDL_Surface* DecodeImage(const void* data, int size, const std::string& fileName)
{
    if (EndsWithTga(fileName))
        return IMG_LoadTyped_RW(SDL_RWFromConstMem(data, size), 1, "TGA");
    SDL_Surface* image = IMG_Load_RW(SDL_RWFromConstMem(data, size), 1);
    if (image == nullptr && fileName.empty())
        image = IMG_LoadTyped_RW(SDL_RWFromConstMem(data, size), 1, "TGA");
    return image;
}

void ClearTexture(SDL_Renderer* renderer, SDL_Texture* texture, std::uint32_t color)
{
    SDL_Texture* previous = SDL_GetRenderTarget(renderer);
    SDL_SetRenderTarget(renderer, texture);
    SDL_Color c = ToColor(color);
    SDL_SetRenderDrawColor(renderer, c.r, c.g, c.b, c.a);
    SDL_RenderClear(renderer);
    SDL_SetRenderTarget(renderer, previous);
}

// Copied over the window as it is, not blended.
SDL_Texture* CreateScreen(SDL_Renderer* renderer, int width, int height)
{
    SDL_Texture* screen =
        SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_TARGET, width, height);
    if (screen == nullptr)
        return nullptr;
    SDL_SetTextureBlendMode(screen, SDL_BLENDMODE_NONE);
    SDL_SetTextureScaleMode(screen, SDL_ScaleModeLinear);
    ClearTexture(renderer, screen, 0xFF000000);
    return screen;
}

void ClearSurface(SDL_Renderer* renderer, SDL_Surface* surface)
{
    SDL_RenderFlush(renderer); // nothing queued may land on the cleared picture
    SDL_FillRect(surface, nullptr, 0xFF000000);
}

SDL_Texture* CreateWhite(SDL_Renderer* renderer)
{
    SDL_Texture* white =
        SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STATIC, kWhiteSide, kWhiteSide);
    std::vector<std::uint32_t> pixels(kWhiteSide * kWhiteSide, 0xFFFFFFFF);
    if (white != nullptr)
        SDL_UpdateTexture(white, nullptr, pixels.data(), kWhiteSide * 4);
    return white;
}

} // namespace

Graphics::Graphics() = default;

Graphics::~Graphics()
{
    Close();
}

bool Graphics::OpenHeadless(int width, int height, std::string& error)
{
    Close();
    if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide) {
        error = "invalid screen size " + std::to_string(width) + "x" + std::to_string(height);
        return false;
    }
    auto device = std::make_unique<Device>();
    device->surface = SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_ARGB8888);
    if (device->surface != nullptr)
        device->renderer = SDL_CreateSoftwareRenderer(device->surface);
    if (device->renderer == nullptr) {
        error = std::string("cannot create the software renderer: ") + SDL_GetError();
        return false;
    }
    device->width = width;
    device->height = height;
    return FinishOpen(std::move(device), error);
}

bool Graphics::OpenWindow(std::uint32_t windowId, int width, int height, bool vsync, Renderer renderer,
                          std::string& error)
{
    Close();
    SDL_Window* window = SDL_GetWindowFromID(windowId);
    if (window == nullptr || width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide) {
        error = "invalid window or screen size " + std::to_string(width) + "x" + std::to_string(height);
        return false;
    }
    auto device = std::make_unique<Device>();
    Uint32 flags = SDL_RENDERER_ACCELERATED | SDL_RENDERER_TARGETTEXTURE | (vsync ? SDL_RENDERER_PRESENTVSYNC : 0);
    if (renderer == Renderer::Any)
        device->renderer = SDL_CreateRenderer(window, -1, flags);
    if (device->renderer == nullptr)
        device->renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE | SDL_RENDERER_TARGETTEXTURE);
    if (device->renderer == nullptr) {
        error = std::string("cannot create a renderer for the window: ") + SDL_GetError();
        return false;
    }
    device->width = width;
    device->height = height;
    return FinishOpen(std::move(device), error);
}

bool Graphics::FinishOpen(std::unique_ptr<Device> device, std::string& error)
{
    SDL_Renderer* renderer = device->renderer;
    SDL_RendererInfo info;
    if (SDL_RenderTargetSupported(renderer) != SDL_TRUE || SDL_GetRendererInfo(renderer, &info) != 0) {
        error = "the renderer cannot draw into textures";
        return false;
    }
    device->maxTextureWidth = info.max_texture_width;
    device->maxTextureHeight = info.max_texture_height;
    if (device->surface != nullptr) {
        ClearSurface(renderer, device->surface);
    } else {
        device->screen = CreateScreen(renderer, device->width, device->height);
        if (device->screen == nullptr) {
            error = std::string("cannot create the screen picture: ") + SDL_GetError();
            return false;
        }
    }
    device->white = CreateWhite(renderer);
    if (device->white == nullptr) {
        error = std::string("cannot create a texture: ") + SDL_GetError();
        return false;
    }
    m_device = std::move(device);
    return true;
}

void Graphics::Close()
{
    // Textures before the renderer: destroying the renderer frees them behind our back.
    m_textures.clear();
    m_targets.clear();
    m_device.reset();
    m_inScene = false;
    m_sceneOnScreen = false;
    m_sceneTexture = 0;
}

bool Graphics::ResizeScreen(int width, int height)
{
    if (m_device == nullptr || m_inScene || width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide)
        return false;
    if (width == m_device->width && height == m_device->height)
        return true;
    // Headless, a picture of the surface's size is the surface again; any other size is a texture.
    SDL_Surface* surface = m_device->surface;
    SDL_Texture* screen = nullptr;
    if (surface != nullptr && width == surface->w && height == surface->h) {
        ClearSurface(m_device->renderer, surface);
    } else {
        screen = CreateScreen(m_device->renderer, width, height);
        if (screen == nullptr)
            return false;
    }
    if (m_device->screen != nullptr)
        SDL_DestroyTexture(m_device->screen);
    m_device->screen = screen;
    m_device->width = width;
    m_device->height = height;
    return true;
}

void Graphics::SetVsync(bool on)
{
    if (m_device != nullptr && m_device->surface == nullptr)
        SDL_RenderSetVSync(m_device->renderer, on ? 1 : 0);
}

bool Graphics::BeginScene(HTARGET target)
{
    if (m_device == nullptr || m_inScene)
        return false;
    SDL_Texture* into = m_device->screen;
    HTEXTURE sceneTexture = 0;
    if (target != 0) {
        sceneTexture = TargetTexture(target);
        Texture* texture = Find(sceneTexture);
        if (texture == nullptr)
            return false;
        into = texture->texture;
    }
    if (SDL_SetRenderTarget(m_device->renderer, into) != 0)
        return false;
    m_inScene = true;
    m_sceneOnScreen = target == 0;
    m_sceneTexture = sceneTexture;
    return true;
}

void Graphics::EndScene()
{
    if (!m_inScene)
        return;
    m_inScene = false;
    m_sceneTexture = 0;
    SDL_SetRenderTarget(m_device->renderer, nullptr);
    if (m_sceneOnScreen)
        Present();
}

void Graphics::Present()
{
    // Headless, nobody looks at the surface: the screen picture itself is the result.
    if (m_device->surface != nullptr)
        return;
    SDL_RenderCopy(m_device->renderer, m_device->screen, nullptr, nullptr);
    SDL_RenderPresent(m_device->renderer);
}

void Graphics::Clear(std::uint32_t color)
{
    if (!m_inScene)
        return;
    SDL_Color c = ToColor(color);
    SDL_SetRenderDrawColor(m_device->renderer, c.r, c.g, c.b, c.a);
    SDL_RenderClear(m_device->renderer);
    // Drawing over a target keeps its alpha where it is full, so a target cleared opaque stays opaque.
    if (Texture* target = Find(m_sceneTexture))
        target->opaque = c.a == SDL_ALPHA_OPAQUE;
}

void Graphics::RenderQuad(const hgeQuad& quad)
{
    if (!m_inScene)
        return;
    Texture* texture = nullptr;
    if (quad.tex != 0) {
        texture = Find(quad.tex);
        if (texture == nullptr || quad.tex == m_sceneTexture)
            return;
    }
    // Colour add of a black vertex colour leaves the texture's colour unchanged, and that is the only way the
    // engine uses it; SDL has no additive texture-plus-vertex colour stage, so it becomes modulation by white
    // with the vertex alpha kept.
    bool colorAdd = texture != nullptr && (quad.blend & BLEND_COLORADD) != 0;
    // A quad without a texture is drawn with a white one spread over it: SDL's software renderer ignores additive
    // blending for untextured triangles (and for a texture mapped to a single point), but not for a mapped one.
    static const SDL_FPoint kCorners[4] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    SDL_Vertex vertices[4];
    for (int i = 0; i < 4; ++i) {
        const hgeVertex& v = quad.v[i];
        SDL_Color color = ToColor(colorAdd ? (v.col | 0x00FFFFFF) : v.col);
        vertices[i] =
            SDL_Vertex{SDL_FPoint{v.x, v.y}, color, texture != nullptr ? SDL_FPoint{v.tx, v.ty} : kCorners[i]};
    }
    SDL_Texture* device = texture != nullptr ? texture->texture : m_device->white;
    // Blending a fully opaque picture at full alpha gives the picture itself; the software renderer still blends
    // every pixel, which makes a full-screen background several times as slow to draw as a plain copy.
    const bool opaque =
        texture != nullptr && texture->opaque &&
        std::all_of(std::begin(quad.v), std::end(quad.v), [](const hgeVertex& v) { return v.col >> 24 == 0xFF; });
    SDL_BlendMode mode = SDL_BLENDMODE_ADD;
    if ((quad.blend & BLEND_ALPHABLEND) != 0)
        mode = opaque ? SDL_BLENDMODE_NONE : SDL_BLENDMODE_BLEND;
    SDL_SetTextureBlendMode(device, mode);
    SDL_SetTextureScaleMode(device, m_textureFilter ? SDL_ScaleModeLinear : SDL_ScaleModeNearest);
    static const int kIndices[6] = {0, 1, 2, 0, 2, 3}; // clockwise from the top left: two triangles
    SDL_RenderGeometry(m_device->renderer, device, vertices, 4, kIndices, 6);
}

void Graphics::RenderBlits(HTEXTURE texture, std::span<const hgeBlit> blits, std::uint32_t colour)
{
    const Texture* found = m_inScene && texture != m_sceneTexture ? Find(texture) : nullptr;
    if (found == nullptr)
        return;
    if (!BlendsItself(found)) {
        for (const hgeBlit& blit : blits)
            BlitAsQuad(texture, *found, blit, colour);
        return;
    }
    SDL_RenderFlush(m_device->renderer); // what SDL still has queued lies under the parts
    for (const hgeBlit& blit : blits)
        BlendOnSurface(*found, blit, colour);
}

bool Graphics::BlendsItself(const Texture* texture) const
{
    return m_sceneOnScreen && m_device->surface != nullptr && m_device->screen == nullptr &&
           !texture->isTarget && !texture->pixels.empty();
}

void Graphics::BlendOnSurface(const Texture& texture, const hgeBlit& blit, std::uint32_t colour)
{
    // 1. The part, cut to the texture and then to the surface, moving both corners together.
    int u = blit.u;
    int v = blit.v;
    int x = blit.x;
    int y = blit.y;
    int width = std::min(blit.width, texture.width - u);
    int height = std::min(blit.height, texture.height - v);
    const auto cutLow = [](int& low, int& other, int& size) {
        if (low < 0) {
            other -= low;
            size += low;
            low = 0;
        }
    };
    cutLow(u, x, width);
    cutLow(v, y, height);
    cutLow(x, u, width);
    cutLow(y, v, height);
    SDL_Surface* surface = m_device->surface;
    width = std::min(width, surface->w - x);
    height = std::min(height, surface->h - y);
    if (width <= 0 || height <= 0)
        return;
    // 2. Row by row; a part that ends three pixels before both rows do lets the blend take whole groups of four.
    const PixelBlend::Reach reach = u + width + 3 <= texture.width && x + width + 3 <= surface->w
                                        ? PixelBlend::Reach::PastEnd
                                        : PixelBlend::Reach::Exact;
    for (int row = 0; row < height; ++row) {
        const std::uint32_t* from = &texture.pixels[static_cast<std::size_t>(v + row) * texture.width + u];
        auto* to = reinterpret_cast<std::uint32_t*>(static_cast<char*>(surface->pixels) +
                                                    static_cast<std::ptrdiff_t>(y + row) * surface->pitch);
        PixelBlend::BlendRow(from, to + x, width, colour, reach);
    }
}

// The quad a sprite of the part's size would draw at the place.
void Graphics::BlitAsQuad(HTEXTURE texture, const Texture& found, const hgeBlit& blit, std::uint32_t colour)
{
    const auto left = static_cast<float>(blit.x);
    const auto top = static_cast<float>(blit.y);
    const float right = left + static_cast<float>(blit.width);
    const float bottom = top + static_cast<float>(blit.height);
    const auto textureWidth = static_cast<float>(found.width);
    const auto textureHeight = static_cast<float>(found.height);
    const float u1 = static_cast<float>(blit.u) / textureWidth;
    const float v1 = static_cast<float>(blit.v) / textureHeight;
    const float u2 = static_cast<float>(blit.u + blit.width) / textureWidth;
    const float v2 = static_cast<float>(blit.v + blit.height) / textureHeight;
    hgeQuad quad;
    quad.tex = texture;
    quad.blend = BLEND_DEFAULT;
    quad.v[0] = hgeVertex{left, top, 0.5f, colour, u1, v1};
    quad.v[1] = hgeVertex{right, top, 0.5f, colour, u2, v1};
    quad.v[2] = hgeVertex{right, bottom, 0.5f, colour, u2, v2};
    quad.v[3] = hgeVertex{left, bottom, 0.5f, colour, u1, v2};
    RenderQuad(quad);
}

bool Graphics::FitsDevice(int width, int height) const
{
    if (m_device == nullptr || width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide)
        return false;
    return (m_device->maxTextureWidth == 0 || width <= m_device->maxTextureWidth) &&
           (m_device->maxTextureHeight == 0 || height <= m_device->maxTextureHeight);
}

HTARGET Graphics::CreateTarget(int width, int height)
{
    if (!FitsDevice(width, height))
        return 0;
    SDL_Texture* device =
        SDL_CreateTexture(m_device->renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_TARGET, width, height);
    if (device == nullptr)
        return 0;
    ClearTexture(m_device->renderer, device, 0);
    auto texture = std::make_unique<Texture>(device);
    texture->width = width;
    texture->height = height;
    texture->isTarget = true;
    HTEXTURE textureHandle = Add(std::move(texture));
    HTARGET target = m_nextHandle++;
    m_targets[target] = textureHandle;
    return target;
}

void Graphics::FreeTarget(HTARGET target)
{
    auto found = m_targets.find(target);
    if (found == m_targets.end())
        return;
    if (m_inScene && m_sceneTexture == found->second)
        EndScene();
    m_textures.erase(found->second);
    m_targets.erase(found);
}

HTEXTURE Graphics::TargetTexture(HTARGET target) const
{
    auto found = m_targets.find(target);
    return found == m_targets.end() ? 0 : found->second;
}

HTEXTURE Graphics::CreateTexture(int width, int height)
{
    if (!FitsDevice(width, height))
        return 0;
    SDL_Texture* device =
        SDL_CreateTexture(m_device->renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STATIC, width, height);
    if (device == nullptr)
        return 0;
    auto texture = std::make_unique<Texture>(device);
    texture->width = width;
    texture->height = height;
    texture->pixels.assign(static_cast<std::size_t>(width) * height, 0);
    SDL_UpdateTexture(device, nullptr, texture->pixels.data(), width * 4);
    return Add(std::move(texture));
}

HTEXTURE Graphics::LoadTexture(const void* data, std::size_t size, const std::string& fileName, std::string& error)
{
    if (m_device == nullptr || data == nullptr || size == 0 || size > INT32_MAX) {
        error = m_device == nullptr ? "no display is open" : "no image data";
        return 0;
    }
    SDL_Surface* image = DecodeImage(data, static_cast<int>(size), fileName);
    SDL_Surface* argb = image == nullptr ? nullptr : SDL_ConvertSurfaceFormat(image, SDL_PIXELFORMAT_ARGB8888, 0);
    if (argb == nullptr)
        error = std::string("cannot decode the image: ") + SDL_GetError();
    SDL_FreeSurface(image);
    if (argb == nullptr)
        return 0;
    HTEXTURE handle = CreateTexture(argb->w, argb->h);
    Texture* texture = Find(handle);
    if (texture == nullptr)
        error = "the image is too large: " + std::to_string(argb->w) + "x" + std::to_string(argb->h);
    for (int row = 0; texture != nullptr && row < argb->h; ++row) {
        std::memcpy(&texture->pixels[static_cast<std::size_t>(row) * argb->w],
                    static_cast<const char*>(argb->pixels) + static_cast<std::size_t>(row) * argb->pitch,
                    static_cast<std::size_t>(argb->w) * 4);
    }
    if (texture != nullptr) {
        SDL_UpdateTexture(texture->texture, nullptr, texture->pixels.data(), texture->width * 4);
        texture->FindOpaque();
    }
    SDL_FreeSurface(argb);
    return handle;
}

void Graphics::FreeTexture(HTEXTURE texture)
{
    Texture* found = Find(texture);
    if (found != nullptr && !found->isTarget)
        m_textures.erase(texture);
}

int Graphics::TextureWidth(HTEXTURE texture) const
{
    Texture* found = Find(texture);
    return found == nullptr ? 0 : found->width;
}

int Graphics::TextureHeight(HTEXTURE texture) const
{
    Texture* found = Find(texture);
    return found == nullptr ? 0 : found->height;
}

std::uint32_t* Graphics::Lock(HTEXTURE texture, bool readOnly, int left, int top, int width, int height)
{
    Texture* found = Find(texture);
    if (found == nullptr || found->isTarget || found->locked)
        return nullptr;
    if (width == 0 || height == 0) {
        left = top = 0;
        width = found->width;
        height = found->height;
    }
    if (left < 0 || top < 0 || width < 0 || height < 0 || width > found->width - left || height > found->height - top)
        return nullptr;
    found->locked = true;
    found->lockReadOnly = readOnly;
    found->lockRect = SDL_Rect{left, top, width, height};
    return &found->pixels[static_cast<std::size_t>(top) * found->width + left];
}

void Graphics::Unlock(HTEXTURE texture)
{
    Texture* found = Find(texture);
    if (found == nullptr || !found->locked)
        return;
    found->locked = false;
    if (found->lockReadOnly)
        return;
    const SDL_Rect& rect = found->lockRect;
    SDL_UpdateTexture(found->texture, &rect, &found->pixels[static_cast<std::size_t>(rect.y) * found->width + rect.x],
                      found->width * 4);
    found->FindOpaque();
}

bool Graphics::SaveScreen(const std::string& fileName, ImageFormat format, std::string& error)
{
    if (m_device == nullptr) {
        error = "no display is open";
        return false;
    }
    SDL_Texture* previous = SDL_GetRenderTarget(m_device->renderer);
    SDL_SetRenderTarget(m_device->renderer, m_device->screen);
    const bool ok = format == ImageFormat::Png ? SavePng(fileName, error) : SaveBmp(fileName, error);
    SDL_SetRenderTarget(m_device->renderer, previous);
    return ok;
}

bool Graphics::SavePng(const std::string& fileName, std::string& error)
{
    SDL_Surface* shot = SDL_CreateRGBSurfaceWithFormat(0, m_device->width, m_device->height, 24, SDL_PIXELFORMAT_RGB24);
    if (shot == nullptr) {
        error = SDL_GetError();
        return false;
    }
    const bool ok =
        SDL_RenderReadPixels(m_device->renderer, nullptr, SDL_PIXELFORMAT_RGB24, shot->pixels, shot->pitch) == 0 &&
        IMG_SavePNG(shot, fileName.c_str()) == 0;
    if (!ok)
        error = SDL_GetError();
    SDL_FreeSurface(shot);
    return ok;
}

// A 24-bit BMP written a band of rows at a time, bottom row first as the format stores them: a save's thumbnail,
// taken as the game ends, needs no copy of the whole screen on top of everything the game holds.
bool Graphics::SaveBmp(const std::string& fileName, std::string& error)
{
    constexpr int kBand = 32;
    const int width = m_device->width;
    const int height = m_device->height;
    const int pitch = (width * 3 + 3) & ~3;
    const std::uint32_t imageBytes = static_cast<std::uint32_t>(pitch) * static_cast<std::uint32_t>(height);
    unsigned char header[54] = {'B', 'M'};
    const auto put = [&header](int at, std::uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i)
            header[at + i] = static_cast<unsigned char>(value >> (8 * i));
    };
    put(2, 54 + imageBytes, 4);
    put(10, 54, 4);
    put(14, 40, 4);
    put(18, static_cast<std::uint32_t>(width), 4);
    put(22, static_cast<std::uint32_t>(height), 4);
    put(26, 1, 2);
    put(28, 24, 2);
    put(34, imageBytes, 4);
    SDL_RWops* out = SDL_RWFromFile(fileName.c_str(), "wb");
    if (out == nullptr) {
        error = SDL_GetError();
        return false;
    }
    std::vector<unsigned char> band(static_cast<std::size_t>(pitch) * kBand, 0);
    bool ok = SDL_RWwrite(out, header, sizeof(header), 1) == 1;
    for (int bottom = height; ok && bottom > 0; bottom -= kBand) {
        const int rows = std::min(kBand, bottom);
        const SDL_Rect rect{0, bottom - rows, width, rows};
        ok = SDL_RenderReadPixels(m_device->renderer, &rect, SDL_PIXELFORMAT_BGR24, band.data(), pitch) == 0;
        for (int row = rows - 1; ok && row >= 0; --row)
            ok = SDL_RWwrite(out, band.data() + static_cast<std::size_t>(row) * pitch, 1, pitch) ==
                 static_cast<std::size_t>(pitch);
    }
    if (!ok)
        error = SDL_GetError();
    if (SDL_RWclose(out) != 0 && ok) {
        error = SDL_GetError();
        ok = false;
    }
    return ok;
}

Graphics::Texture* Graphics::Find(HTEXTURE texture) const
{
    auto found = m_textures.find(texture);
    return found == m_textures.end() ? nullptr : found->second.get();
}

HTEXTURE Graphics::Add(std::unique_ptr<Texture> texture)
{
    HTEXTURE handle = m_nextHandle++;
    m_textures[handle] = std::move(texture);
    return handle;
}

} // namespace Vel
