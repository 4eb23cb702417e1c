#pragma once

// The script check's list of everything the game's statements name: scenes, interfaces, menus and clear targets,
// picture, sound and font files, gallery pictures and speakers, with the texts players read and the lines that go on
// a speech without meaning to. "velloria check" attaches one to the parser
// (ParseManager::SetLinter) before the first script is read; the statement handlers note what they name through
// ParseManager::Note, which passes it on only while a linter is attached. A name is judged only in Finish, after every
// script was read, because a statement may name a scene, menu or interface defined further down.

#include "script/ParseManager.h"
#include "script/ShownTexts.h"

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace Vel {

class Style;

enum class LintKind
{
    Scene,          // goto: a story scene
    Interface,      // interface: an interface scene
    Menu,           // menu: a menu or a menu switch
    ClearTarget,    // clear: a placed node, an interface, "layer:N" or one of the clear words
    PictureFile,    // object file=, frame: an image file
    SoundFile,      // music, sfx, voice, playlist file: a sound file
    Font,           // style font=: fonts/NAME.fnt, or the TrueType face fonts/NAME.ttf
    FallbackFont,   // style fallback=: each name's TrueType face fonts/NAME.ttf
    GalleryPicture, // pic, none, nosavegames: a sprite given a file by object, or else the file itself
    NoticePicture,  // gamesaved: a sprite that some statement gave a file
    Speaker,        // say: a character with a dialog
    Script,         // include: a script that cannot be found (noted only then)
    Statement,      // a keyword that no statement has: the engine skips it, so it is most likely a typing error
    SpacedSpeech,   // an unknown keyword followed by '=': a speech line with a blank before its '='
    SpeechKeyword,  // a statement's keyword and '(' on a line that goes on a speech (noted at that line)
    SpeechSpeaker,  // "NAME=" on a line that goes on a speech (noted at that line)
    Text,           // a text the player reads, which its style's faces or the game's code page must show
};

class ScriptLinter
{
public:
    // where is the parser's position (nullptr outside a file); an empty file, sound or font name is no file and is
    // not noted.
    void Note(LintKind kind, std::u16string name, const SourcePosition* where);
    // object(sprite, file=...): the sprite has a picture file, and the file is noted as one.
    void NoteObjectFile(const std::u16string& sprite, std::u16string file, const SourcePosition* where);
    // A text the player reads in the style (null for none): a TrueType style's faces must have its characters, a
    // bitmap style's code page must.
    void NoteText(std::u16string text, const Style* style, const SourcePosition* where);
    // A node name that some scene, interface or menu places, which "clear" may remove.
    void NotePlacedNode(const std::u16string& name);

    // The texts players read, for the translation template and the translations' check.
    [[nodiscard]] ShownTexts& Texts() { return m_texts; }

    // The warnings, "FILE:N: TEXT", in reading order, a speaker once, at its first line. FILE is the script
    // the author wrote, not its compiled twin, whose lines are the same. Targets are judged against the scenes,
    // interfaces, menus and characters registered now; files against the game folder (the working folder) and the
    // archives mounted in the 2D library, when it exists. The translations' stale entries come last.
    [[nodiscard]] std::vector<std::string> Finish() const;

private:
    struct Entry
    {
        LintKind kind = LintKind::Scene;
        std::u16string name;
        std::u16string file; // empty: outside any file
        std::int32_t line = 0;
        const Style* style = nullptr; // a text's style, borrowed from the resource manager
    };

    [[nodiscard]] static Entry MakeEntry(LintKind kind, std::u16string name, const SourcePosition* where);
    [[nodiscard]] std::string Judge(const Entry& entry, std::map<std::string, bool>& found) const;
    [[nodiscard]] bool IsClearable(const std::u16string& target) const;
    [[nodiscard]] bool NoticeHasPicture(const std::u16string& name) const;
    [[nodiscard]] bool IsCharacter(const std::u16string& name) const;

    std::vector<Entry> m_entries;
    std::set<std::u16string> m_placedNodes;
    std::set<std::u16string> m_spritesWithFile; // named by object(name, file=...)
    std::set<std::u16string> m_notedSpeakers;
    ShownTexts m_texts;
};

} // namespace Vel
