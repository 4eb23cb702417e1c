#include "script/ScriptLinter.h"

#include "core/TextCodec.h"
#include "data/LoadFile.h"
#include "menus/MenuManager.h"
#include "resources/AdvancedFont.h"
#include "resources/Character.h"
#include "resources/FontFace.h"
#include "resources/ResourceManager.h"
#include "resources/Style.h"
#include "resources/TextShaper.h"
#include "scene/ScenesManager.h"
#include "script/CommandLine.h"

#include <Poco/NumberParser.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <set>
#include <string_view>

namespace Vel {

namespace {

constexpr std::u16string_view kLayerPrefix = u"layer:";

// The words "clear" understands besides names.
constexpr std::u16string_view kClearWords[] = {u"all",        u"interface", u"characters", u"bg",
                                               u"animations", u"objects",   u"text",       u"playlist"};

std::string Quoted(const std::u16string& name)
{
    return "'" + TextCodec::WideToUtf8(name) + "'";
}

bool IsFileKind(LintKind kind)
{
    return kind == LintKind::PictureFile || kind == LintKind::SoundFile || kind == LintKind::Font ||
           kind == LintKind::FallbackFont || kind == LintKind::GalleryPicture;
}

// "layer:N" with a whole number; anything else after the prefix would clear layer 0.
bool IsLayerTarget(const std::u16string& target)
{
    if (target.compare(0, kLayerPrefix.size(), kLayerPrefix) != 0)
        return false;
    int layer = 0;
    return Poco::NumberParser::tryParse(TextCodec::WideToUtf8(target.substr(kLayerPrefix.size())), layer);
}

bool Exists(const std::string& name, std::map<std::string, bool>& found)
{
    const auto known = found.find(name);
    if (known != found.end())
        return known->second;
    return found[name] = FileExists(name);
}

// The letter picture a font description names ("Bitmap=NAME", beside the description); empty when it names none or
// cannot be read.
std::string FontBitmap(const std::string& description)
{
    const std::optional<std::string> text = LoadFile(description);
    if (!text)
        return {};
    const std::size_t key = text->find("Bitmap");
    const std::size_t equals = key == std::string::npos ? key : text->find('=', key);
    if (equals == std::string::npos)
        return {};
    const std::size_t start = text->find_first_not_of(" \t", equals + 1);
    const std::size_t end = text->find_first_of(" \t\r\n", start);
    if (start == std::string::npos || start == end)
        return {};
    const std::size_t slash = description.find_last_of('/');
    return description.substr(0, slash + 1) + text->substr(start, end - start);
}

bool HasDialog(const std::u16string& speaker)
{
    ResourceManager* resources = ResourceManager::GetSingletonPtr();
    return resources != nullptr && resources->GetCharacter(speaker)->GetDialog() != nullptr;
}

constexpr const char* kSpeechGoesOn = " is read as more text of the speech above, which runs until an empty line; ";

// The characters of the text that the test finds missing, each once, joined by ", "; empty when there is none.
template <typename Missing> std::string ListMissing(std::u16string_view text, Missing missing)
{
    std::string listed;
    std::set<char32_t> seen;
    for (std::size_t position = 0; position < text.size();) {
        const TextCodec::Step step = TextCodec::DecodeOneWide(text.data() + position, text.size() - position);
        const std::u16string_view character = text.substr(position, step.length);
        position += step.length;
        if (!missing(step.codePoint, character) || !seen.insert(step.codePoint).second)
            continue;
        listed += (listed.empty() ? "" : ", ") + TextCodec::WideToUtf8(character);
    }
    return listed;
}

// A bitmap style draws in the game's code page, a character that the code page lacks as '?'. The warning lists each
// such character once; empty when there is none.
std::string UnshownCharacters(std::u16string_view text)
{
    // Every character becomes one byte and only the missing ones become '?': a text of a long story is mostly
    // judged by this one conversion.
    const std::string converted = TextCodec::WideToCodePage(text);
    if (std::count(converted.begin(), converted.end(), '?') == std::count(text.begin(), text.end(), u'?'))
        return {};
    const std::string listed = ListMissing(text, [](char32_t, std::u16string_view character) {
        return character != u"?" && TextCodec::WideToCodePage(character) == "?";
    });
    if (listed.empty())
        return {};
    return "text has characters that the code page " + TextCodec::CodePage() +
           " cannot show, which appear as '?': " + listed;
}

// The characters that no face of a TrueType style has, which are drawn as missing-glyph boxes; empty when there is
// none.
std::string MissingFromFaces(std::u16string_view text, const Style& style)
{
    const std::vector<FontFace*>& faces = style.GetFont()->GetTextFaces();
    const std::string listed = ListMissing(text, [&faces](char32_t code, std::u16string_view) {
        const auto has = [code](const FontFace* face) { return face->HasCharacter(code); };
        return TextShaper::NeedsGlyph(code) && std::none_of(faces.begin(), faces.end(), has);
    });
    if (listed.empty())
        return {};
    const ResourceManager* resources = ResourceManager::GetSingletonPtr();
    const std::u16string name = resources != nullptr ? resources->StyleName(&style) : std::u16string();
    return "text has characters that no font of the style " + Quoted(name) +
           " has, which appear as missing-glyph boxes: " + listed;
}

std::string JudgeText(std::u16string_view text, const Style* style)
{
    return style != nullptr && style->DrawsTrueType() ? MissingFromFaces(text, *style) : UnshownCharacters(text);
}

std::string JudgeTarget(LintKind kind, const std::u16string& name)
{
    const ScenesManager* scenes = ScenesManager::GetSingletonPtr();
    const MenuManager* menus = MenuManager::GetSingletonPtr();
    switch (kind) {
    case LintKind::Scene:
        if (scenes != nullptr && scenes->FindScene(name) != nullptr)
            return {};
        return "goto names " + Quoted(name) + ", which is no scene";
    case LintKind::Interface:
        if (scenes != nullptr && scenes->FindInterfaceScene(name) != nullptr)
            return {};
        return "interface names " + Quoted(name) + ", which is no interface";
    case LintKind::Menu:
        if (menus != nullptr && (menus->FindMenu(name) != nullptr || menus->FindSwitch(name) != nullptr))
            return {};
        return "menu names " + Quoted(name) + ", which is no menu or switch";
    default:
        return {};
    }
}

} // namespace

void ScriptLinter::Note(LintKind kind, std::u16string name, const SourcePosition* where)
{
    if (IsFileKind(kind) && name.empty())
        return;
    if (kind == LintKind::ClearTarget)
        name = TrimBlanks(name);
    // A long story is mostly speech: its texts that the code page shows whole and the lines of a speaker already
    // noted would only make entries that Finish passes over.
    if (kind == LintKind::Text && UnshownCharacters(name).empty())
        return;
    if (kind == LintKind::Speaker && !m_notedSpeakers.insert(name).second)
        return;
    m_entries.push_back(MakeEntry(kind, std::move(name), where));
}

ScriptLinter::Entry ScriptLinter::MakeEntry(LintKind kind, std::u16string name, const SourcePosition* where)
{
    Entry entry{kind, std::move(name), {}, 0};
    if (where != nullptr) {
        entry.file = where->fileName;
        const bool atLine = kind == LintKind::SpeechKeyword || kind == LintKind::SpeechSpeaker;
        entry.line = atLine ? where->line : where->statementLine;
    }
    return entry;
}

void ScriptLinter::NoteText(std::u16string text, const Style* style, const SourcePosition* where)
{
    // As in Note, for a bitmap style; a TrueType style is judged against the faces it has at the end.
    if ((style == nullptr || !style->DrawsTrueType()) && UnshownCharacters(text).empty())
        return;
    Entry entry = MakeEntry(LintKind::Text, std::move(text), where);
    entry.style = style;
    m_entries.push_back(std::move(entry));
}

void ScriptLinter::NoteObjectFile(const std::u16string& sprite, std::u16string file, const SourcePosition* where)
{
    m_spritesWithFile.insert(sprite);
    Note(LintKind::PictureFile, std::move(file), where);
}

void ScriptLinter::NotePlacedNode(const std::u16string& name)
{
    m_placedNodes.insert(name);
}

std::vector<std::string> ScriptLinter::Finish() const
{
    std::map<std::string, bool> found;
    std::vector<std::string> warnings;
    for (const Entry& entry : m_entries) {
        const std::string text = Judge(entry, found);
        if (text.empty())
            continue;
        if (entry.file.empty())
            warnings.push_back(text);
        else
            warnings.push_back(TextCodec::WideToUtf8(ParseManager::SourceName(entry.file)) + ":" +
                               std::to_string(entry.line) + ": " + text);
    }
    for (std::string& warning : m_texts.StaleEntries())
        warnings.push_back(std::move(warning));
    return warnings;
}

// The warning for one entry; empty when the name is fine.
std::string ScriptLinter::Judge(const Entry& entry, std::map<std::string, bool>& found) const
{
    const std::string file = TextCodec::WideToUtf8(entry.name);
    const std::string missing = " is missing from the game folder and the archives";
    switch (entry.kind) {
    case LintKind::ClearTarget:
        if (IsClearable(entry.name))
            return {};
        return "clear names " + Quoted(entry.name) +
               ", which is no placed node, no interface, no layer:N and none of all, interface, characters, bg, "
               "animations, objects, text and playlist";
    case LintKind::PictureFile:
        return Exists(file, found) ? std::string() : "picture file " + Quoted(entry.name) + missing;
    case LintKind::SoundFile:
        return Exists(file, found) ? std::string() : "sound file " + Quoted(entry.name) + missing;
    case LintKind::Font: {
        const std::string description = "fonts/" + file + ".fnt";
        if (!Exists(description, found) && Exists("fonts/" + file + ".ttf", found))
            return {};
        if (!Exists(description, found))
            return "font " + Quoted(entry.name) + ": " + description + missing;
        const std::string bitmap = FontBitmap(description);
        return bitmap.empty() || Exists(bitmap, found)
                   ? std::string()
                   : "font " + Quoted(entry.name) + ": its letter picture " + bitmap + missing;
    }
    case LintKind::FallbackFont:
        return Exists("fonts/" + file + ".ttf", found)
                   ? std::string()
                   : "fallback font " + Quoted(entry.name) + ": fonts/" + file + ".ttf" + missing;
    case LintKind::GalleryPicture:
        if (m_spritesWithFile.count(entry.name) != 0 || Exists(file, found))
            return {};
        return "gallery picture " + Quoted(entry.name) + " is no object with a file, and as a file it" + missing;
    case LintKind::NoticePicture:
        return NoticeHasPicture(entry.name) ? std::string()
                                            : "gamesaved names " + Quoted(entry.name) +
                                                  ", which is no object with a file: the notice will show nothing";
    case LintKind::Script:
        return "include names " + Quoted(entry.name) +
               (Exists(file, found) ? ", which is never compiled: only scripts beside system.vls are"
                                    : ", which is in neither the game folder nor the archives");
    case LintKind::Statement:
        return "unknown statement " + Quoted(entry.name) + "; the engine skips it";
    case LintKind::SpacedSpeech:
        if (!IsCharacter(entry.name))
            return "unknown statement " + Quoted(entry.name) + "; the engine skips it";
        return "unknown statement " + Quoted(entry.name) + "; for " + TextCodec::WideToUtf8(entry.name) +
               " to speak, remove the blank before '='";
    case LintKind::SpeechKeyword:
        return Quoted(entry.name + u"(") + kSpeechGoesOn + "put an empty line before it to make it a statement";
    case LintKind::SpeechSpeaker:
        if (!IsCharacter(entry.name))
            return {};
        return Quoted(entry.name + u"=") + kSpeechGoesOn + "put an empty line before it to start a speech of " +
               TextCodec::WideToUtf8(entry.name);
    case LintKind::Text:
        return JudgeText(entry.name, entry.style);
    case LintKind::Speaker:
        return HasDialog(entry.name) ? std::string()
                                     : Quoted(entry.name) + " speaks but has no dialog; its lines will be skipped";
    default:
        return JudgeTarget(entry.kind, entry.name);
    }
}

bool ScriptLinter::IsClearable(const std::u16string& target) const
{
    for (const std::u16string_view word : kClearWords)
        if (target == word)
            return true;
    if (m_placedNodes.count(target) != 0 || IsLayerTarget(target))
        return true;
    const ScenesManager* scenes = ScenesManager::GetSingletonPtr();
    return scenes != nullptr && scenes->FindInterfaceScene(target) != nullptr;
}

// A character some statement defined or placed, or a speaker of a speech line.
bool ScriptLinter::IsCharacter(const std::u16string& name) const
{
    const Resource* picture = ResourceManager::FindPicture(name);
    if (picture != nullptr && picture->GetType() == ResourceType::Character)
        return true;
    for (const Entry& entry : m_entries)
        if (entry.kind == LintKind::Speaker && entry.name == name)
            return true;
    return false;
}

// A gallery picture that names no object takes its name as its file, and the notice's sprite then has that file too.
bool ScriptLinter::NoticeHasPicture(const std::u16string& name) const
{
    if (m_spritesWithFile.count(name) != 0)
        return true;
    for (const Entry& entry : m_entries)
        if (entry.kind == LintKind::GalleryPicture && entry.name == name)
            return true;
    return false;
}

} // namespace Vel
