#pragma once

// The registry of every named picture of the game and the cache of the textures they draw with. The script's
// graphics statements create and fill sprites and animations through the get-or-create operations; scene nodes,
// commands and menus then look resources up by name and draw them. Start-up creates the one instance once the 2D
// library interface exists and destroys it at shutdown; it owns every resource and the TrueType face library.
//
// Textures load lazily, the first time a picture is measured or drawn, and are shared through the cache by file
// name. A file that fails to load stays cached as texture 0, is not tried again until its entry is released, and
// is written to the log once per run with its name.

#include "core/VelSingleton.h"
#include "platform/Hge.h"

#include <map>
#include <memory>
#include <set>
#include <string>

namespace Vel {

class Animation;
class Character;
class FontFace;
class FontLibrary;
class NineSlice;
class Playlist;
class Resource;
class Sprite;
class Style;
class TextButtonLook;

class ResourceManager : public Singleton<ResourceManager>
{
public:
    // Takes a reference on the process's 2D library interface for its own lifetime, so the textures it frees
    // at destruction are freed on a live interface whatever order the managers go in.
    ResourceManager();
    virtual ~ResourceManager();

    // The cached texture of an image file, loaded on first request; 0 when it cannot be loaded (or the name is
    // empty). The file is looked for in the attached archives, then on disk.
    [[nodiscard]] HTEXTURE GetTexture(const std::u16string& file);
    // Frees the file's texture and forgets it, also a cached failure; nothing when the file is not cached.
    void ReleaseTexture(const std::u16string& file);

    // Get-or-create: never null. Pointers stay valid until the manager is destroyed.
    [[nodiscard]] Sprite* GetSprite(const std::u16string& name);
    [[nodiscard]] Animation* GetAnimation(const std::u16string& name);
    [[nodiscard]] Character* GetCharacter(const std::u16string& name);
    [[nodiscard]] NineSlice* GetNineSlice(const std::u16string& name);
    // The looks of the text buttons that scenes place, kept here so that a saved scene finds them by name again.
    [[nodiscard]] TextButtonLook* GetButtonLook(const std::u16string& name);
    // Every character made so far, by name.
    [[nodiscard]] const std::map<std::u16string, std::unique_ptr<Character>>& GetCharacters() const
    {
        return m_characters;
    }
    // Sprites first, then animations, characters, nine-slice pictures and button looks; null when no picture has the
    // name. Creates nothing.
    [[nodiscard]] Resource* FindResource(const std::u16string& name) const;
    // FindResource on the one manager; null without a manager, and for an empty name, which names no picture.
    [[nodiscard]] static Resource* FindPicture(const std::u16string& name);

    // Unloads every sprite, then every animation (each in name order), then frees the whole texture cache.
    // Characters draw through sprites and animations and have nothing of their own to unload.
    void UnloadAll();
    // Hides the name and text boxes of every character's dialog.
    void HideAllDialogs();

    // Get-or-create; null for an empty name (no style). Valid until the manager is destroyed.
    [[nodiscard]] Style* GetStyle(const std::u16string& name);
    // Creates none: null when no style of the name was made.
    [[nodiscard]] Style* FindStyle(const std::u16string& name) const;
    // The name the style was made under; empty for null or a style of no manager's.
    [[nodiscard]] std::u16string StyleName(const Style* style) const;

    // Get-or-create: never null; a new playlist is empty. Valid until the manager is destroyed.
    [[nodiscard]] Playlist* GetPlaylist(const std::u16string& name);

    // The TrueType face of a font file on disk, shared by every style naming it; null when it cannot be opened.
    [[nodiscard]] FontFace* GetFontFace(const std::u16string& file);
    [[nodiscard]] FontLibrary& GetFontLibrary() const { return *m_fontLibrary; }

    [[nodiscard]] HGE* GetHge() const { return m_hge; }

private:
    void FreeAllTextures();

    HGE* m_hge = nullptr; // one reference from hgeCreate, released by the destructor
    std::map<std::u16string, HTEXTURE> m_textures;
    std::map<std::u16string, std::unique_ptr<Sprite>> m_sprites;
    std::map<std::u16string, std::unique_ptr<Animation>> m_animations;
    std::map<std::u16string, std::unique_ptr<Character>> m_characters;
    std::map<std::u16string, std::unique_ptr<NineSlice>> m_nineSlices;
    std::map<std::u16string, std::unique_ptr<TextButtonLook>> m_buttonLooks;
    std::map<std::u16string, std::unique_ptr<Style>> m_styles;
    std::map<std::u16string, std::unique_ptr<Playlist>> m_playlists;
    std::unique_ptr<FontLibrary> m_fontLibrary;
    std::set<std::u16string> m_reportedFailures; // files already named in the log
};

} // namespace Vel
