#include "core/UserFiles.h"

#include "core/TextCodec.h"
#include "platform/Os.h"

#include <Poco/File.h>
#include <Poco/Glob.h>
#include <Poco/NumberFormatter.h>
#include <Poco/Path.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <set>

namespace Vel {

namespace {

std::string& UserFolderOverride()
{
    static std::string s_folder;
    return s_folder;
}

std::string& GameId()
{
    static std::string s_id;
    return s_id;
}

constexpr std::size_t kLongestId = 255; // the longest file name most file systems take

bool IsIdCharacter(char16_t c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'-' || c == u'_' ||
           c == u'.';
}

// Before every game had a folder of its own, all games kept their files in "<documents>/Velloria/" itself. A game's
// first run with a folder of its own takes a copy of those, so the player keeps the saves and remembered values they
// had; the originals stay for the other games that shared them.
void AdoptSharedFiles(const std::filesystem::path& shared, const std::filesystem::path& own)
{
    std::error_code error;
    if (std::filesystem::exists(own, error) || !std::filesystem::create_directories(own, error))
        return;
    for (const char* name : {"sys0.dfn", "sys1.dfn", "save"})
        if (std::filesystem::exists(shared / name, error))
            std::filesystem::copy(shared / name, own / name, std::filesystem::copy_options::recursive, error);
}

std::string WithSlash(std::string folder)
{
    if (!folder.empty() && folder.back() != '/')
        folder += '/';
    return folder;
}

// The decimal value of an all-digit base name; -1 for anything else (empty, signs, letters, overflow).
std::int64_t NumberOf(const std::string& baseName)
{
    if (baseName.empty() || baseName.size() > 18)
        return -1;
    std::int64_t value = 0;
    for (char c : baseName) {
        if (c < '0' || c > '9')
            return -1;
        value = value * 10 + (c - '0');
    }
    return value;
}

void CreateFolder(const std::u16string& folder)
{
    try {
        Poco::File(TextCodec::WideToUtf8(folder)).createDirectory();
    } catch (...) {
        // A folder that cannot be made shows up as a failed save or screenshot, which is reported there.
    }
}

} // namespace

void UserFiles::SetUserFolderOverride(const std::string& folder)
{
    UserFolderOverride() = folder.empty() ? std::string() : WithSlash(folder);
}

void UserFiles::SetGameId(const std::string& id)
{
    GameId() = id;
}

bool UserFiles::IsGameId(std::u16string_view id)
{
    if (id.empty() || id.size() > kLongestId || id.find_first_not_of(u'.') == std::u16string_view::npos)
        return false;
    return std::all_of(id.begin(), id.end(), IsIdCharacter);
}

std::string UserFiles::GameIdOfFolder(const std::string& folderName)
{
    std::u16string id = TextCodec::Utf8ToWide(folderName);
    // A character outside the basic plane is two units and becomes one '_'.
    std::erase_if(id, [](char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; });
    for (char16_t& c : id)
        c = IsIdCharacter(c) ? c : u'_';
    if (id.size() > kLongestId)
        id.resize(kLongestId);
    return IsGameId(id) ? TextCodec::WideToUtf8(id) : "game";
}

std::u16string UserFiles::GetUserFolder()
{
    if (!UserFolderOverride().empty())
        return TextCodec::Utf8ToWide(UserFolderOverride());
    return TextCodec::Utf8ToWide(WithSlash(Os::DocumentsFolder()) + "Velloria/" +
                                 (GameId().empty() ? std::string() : GameId() + "/"));
}

std::u16string UserFiles::GetSaveFolder()
{
    return GetUserFolder() + u"save/";
}

std::u16string UserFiles::GetScreenshotFolder()
{
    return GetUserFolder() + u"screenshots/";
}

void UserFiles::CreateFolders()
{
    if (UserFolderOverride().empty() && !GameId().empty()) {
        const std::filesystem::path shared = WithSlash(Os::DocumentsFolder()) + "Velloria";
        AdoptSharedFiles(shared, shared / GameId());
    }
    // Both a named folder and the documents folder may be missing more than one level: a fresh account often has
    // no Documents folder, and the persistent values would then be lost at every exit.
    try {
        Poco::File(TextCodec::WideToUtf8(GetUserFolder())).createDirectories();
    } catch (...) {
    }
    CreateFolder(GetSaveFolder());
    CreateFolder(GetScreenshotFolder());
}

std::vector<std::string> UserFiles::ListFiles(const std::string& pattern)
{
    std::set<std::string> matches;
    try {
        Poco::Glob::glob(pattern, matches);
    } catch (...) {
        return {};
    }
    return {matches.begin(), matches.end()};
}

std::string UserFiles::NextNumberedFile(const std::string& folder, const std::string& extension)
{
    const std::string directory = WithSlash(folder);
    std::int64_t highest = 0;
    for (const std::string& name : ListFiles(directory + "*" + extension)) {
        const Poco::Path path(name);
        highest = std::max(highest, NumberOf(path.getBaseName()));
    }
    return directory + Poco::NumberFormatter::format0(static_cast<Poco::Int64>(highest + 1), 8) + extension;
}

} // namespace Vel
