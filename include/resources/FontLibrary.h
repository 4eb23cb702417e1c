#pragma once

// The TrueType faces of the game, shared by every style that names the same file, and the one text shaper that
// turns styles' text into their glyphs. Owned by the ResourceManager, which creates it at start-up; faces live until
// it is destroyed.

#include <map>
#include <memory>
#include <set>
#include <string>

namespace Vel {

class FontFace;
class TextShaper;

class FontLibrary
{
public:
    FontLibrary();  // initialises FreeType; IsReady() tells whether that worked
    ~FontLibrary(); // deletes every face, then shuts FreeType down
    FontLibrary(const FontLibrary&) = delete;
    FontLibrary& operator=(const FontLibrary&) = delete;

    [[nodiscard]] bool IsReady() const { return m_library != nullptr; }
    // The face of a TrueType file on disk (UTF-8 path), opened on first request; nullptr when the file is missing,
    // not scalable or has no character map (nothing is cached then, so a later request tries again).
    [[nodiscard]] FontFace* GetFace(const std::string& path);
    // Made at the first TrueType text: a game that draws with bitmap fonts only never loads ICU's break rules.
    [[nodiscard]] TextShaper& GetShaper();
    // True only the first time a font file is named missing: every style that names it asks, one of them logs it.
    [[nodiscard]] bool FirstReportOfMissing(const std::string& path) { return m_reportedMissing.insert(path).second; }

private:
    void* m_library = nullptr; // FreeType's library handle, kept opaque outside the font classes
    std::map<std::string, std::unique_ptr<FontFace>> m_faces;
    std::unique_ptr<TextShaper> m_shaper;
    std::set<std::string> m_reportedMissing;
};

} // namespace Vel
