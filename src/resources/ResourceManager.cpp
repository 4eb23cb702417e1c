#include "resources/ResourceManager.h"

#include "core/TextCodec.h"
#include "data/Translations.h"
#include "resources/Animation.h"
#include "resources/Character.h"
#include "resources/FontLibrary.h"
#include "resources/NineSlice.h"
#include "resources/Playlist.h"
#include "resources/Sprite.h"
#include "resources/Style.h"
#include "resources/TextButtonLook.h"

#include <cassert>
#include <string>

namespace Vel {

namespace {

// Get-or-create in one of the name maps; a new resource is told its name.
template <typename T>
T* GetOrCreate(std::map<std::u16string, std::unique_ptr<T>>& resources, const std::u16string& name)
{
    auto [entry, created] = resources.try_emplace(name);
    if (created) {
        entry->second = std::make_unique<T>();
        entry->second->SetName(name);
    }
    return entry->second.get();
}

} // namespace

ResourceManager::ResourceManager() : m_hge(hgeCreate(HGE_VERSION)), m_fontLibrary(std::make_unique<FontLibrary>())
{
    assert(m_hge != nullptr);
}

ResourceManager::~ResourceManager()
{
    // Characters only borrow pictures and styles, and styles borrow the library's faces, so they go first.
    m_characters.clear();
    m_styles.clear();
    m_fontLibrary.reset();
    FreeAllTextures();
    // The pictures hold texture handles that are already freed; they are only deleted now, never drawn.
    m_sprites.clear();
    m_animations.clear();
    m_playlists.clear();
    m_hge->Release();
}

HTEXTURE ResourceManager::GetTexture(const std::u16string& file)
{
    if (file.empty())
        return 0;
    const auto cached = m_textures.find(file);
    if (cached != m_textures.end())
        return cached->second;
    const std::string name = Translations::Get().FileName(TextCodec::WideToUtf8(file));
    const HTEXTURE texture = m_hge->Texture_Load(name.c_str(), 0, false);
    // A failure is cached too: a missing picture would otherwise be looked for again on every frame.
    m_textures.emplace(file, texture);
    if (texture == 0 && m_reportedFailures.insert(file).second)
        m_hge->System_Log("Picture '%s' cannot be loaded; it is drawn as nothing", name.c_str());
    return texture;
}

void ResourceManager::ReleaseTexture(const std::u16string& file)
{
    const auto cached = m_textures.find(file);
    if (cached == m_textures.end())
        return;
    if (cached->second != 0)
        m_hge->Texture_Free(cached->second);
    m_textures.erase(cached);
}

Sprite* ResourceManager::GetSprite(const std::u16string& name)
{
    return GetOrCreate(m_sprites, name);
}

Animation* ResourceManager::GetAnimation(const std::u16string& name)
{
    return GetOrCreate(m_animations, name);
}

Character* ResourceManager::GetCharacter(const std::u16string& name)
{
    return GetOrCreate(m_characters, name);
}

NineSlice* ResourceManager::GetNineSlice(const std::u16string& name)
{
    return GetOrCreate(m_nineSlices, name);
}

TextButtonLook* ResourceManager::GetButtonLook(const std::u16string& name)
{
    return GetOrCreate(m_buttonLooks, name);
}

Style* ResourceManager::GetStyle(const std::u16string& name)
{
    if (name.empty())
        return nullptr;
    // A style is not told its name: nothing asks a style for it.
    auto [entry, created] = m_styles.try_emplace(name);
    if (created)
        entry->second = std::make_unique<Style>();
    return entry->second.get();
}

Style* ResourceManager::FindStyle(const std::u16string& name) const
{
    const auto found = m_styles.find(name);
    return found != m_styles.end() ? found->second.get() : nullptr;
}

// A search: only a save asks, once for each line it keeps.
std::u16string ResourceManager::StyleName(const Style* style) const
{
    for (const auto& [name, candidate] : m_styles)
        if (style != nullptr && candidate.get() == style)
            return name;
    return {};
}

Playlist* ResourceManager::GetPlaylist(const std::u16string& name)
{
    auto [entry, created] = m_playlists.try_emplace(name);
    if (created)
        entry->second = std::make_unique<Playlist>();
    return entry->second.get();
}

Resource* ResourceManager::FindResource(const std::u16string& name) const
{
    if (const auto sprite = m_sprites.find(name); sprite != m_sprites.end())
        return sprite->second.get();
    if (const auto animation = m_animations.find(name); animation != m_animations.end())
        return animation->second.get();
    if (const auto character = m_characters.find(name); character != m_characters.end())
        return character->second.get();
    if (const auto nineSlice = m_nineSlices.find(name); nineSlice != m_nineSlices.end())
        return nineSlice->second.get();
    if (const auto look = m_buttonLooks.find(name); look != m_buttonLooks.end())
        return look->second.get();
    return nullptr;
}

Resource* ResourceManager::FindPicture(const std::u16string& name)
{
    const ResourceManager* manager = GetSingletonPtr();
    return manager != nullptr && !name.empty() ? manager->FindResource(name) : nullptr;
}

void ResourceManager::UnloadAll()
{
    for (const auto& [name, sprite] : m_sprites)
        sprite->Unload();
    for (const auto& [name, animation] : m_animations)
        animation->Unload();
    for (const auto& [name, nineSlice] : m_nineSlices)
        nineSlice->Unload();
    FreeAllTextures();
}

void ResourceManager::HideAllDialogs()
{
    for (const auto& [name, character] : m_characters)
        character->HideDialog();
}

FontFace* ResourceManager::GetFontFace(const std::u16string& file)
{
    return m_fontLibrary->GetFace(TextCodec::WideToUtf8(file));
}

void ResourceManager::FreeAllTextures()
{
    for (const auto& [file, texture] : m_textures) {
        if (texture != 0)
            m_hge->Texture_Free(texture);
    }
    m_textures.clear();
}

} // namespace Vel
