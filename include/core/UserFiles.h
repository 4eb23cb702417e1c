#pragma once

// The per-user folders (saves, screenshots, persistent values, the log of a read-only game) and the numbered
// files kept in them. Every game has its own user folder, "<documents>/Velloria/<game id>/", so that one game's
// saves and remembered values never mix with another's.

#include <string>
#include <string_view>
#include <vector>

namespace Vel {

class UserFiles
{
public:
    // "<documents>/Velloria/<game id>/" unless overridden (the --user-dir option names the folder itself); always
    // ends in '/'.
    static void SetUserFolderOverride(const std::string& folder);
    // The id the user folder is named by; empty leaves "<documents>/Velloria/" itself. Must pass IsGameId.
    static void SetGameId(const std::string& id);
    // 1 to 255 ASCII letters, digits, '-', '_' and '.', and not dots alone (which would name a folder above).
    [[nodiscard]] static bool IsGameId(std::u16string_view id);
    // The id of a game that gives none, from the name of its folder: every character that an id cannot hold becomes
    // '_'; "game" when no name is left.
    [[nodiscard]] static std::string GameIdOfFolder(const std::string& folderName);
    static std::u16string GetUserFolder();
    static std::u16string GetSaveFolder();
    static std::u16string GetScreenshotFolder();
    // Creates the user, save and screenshot folders in that order; failures are left to the later writes.
    static void CreateFolders();

    // Files matching a glob pattern (UTF-8), in ascending byte order of their names.
    static std::vector<std::string> ListFiles(const std::string& pattern);

    // folder + the next 8-digit number + extension: one more than the highest base name of a file in folder with
    // that extension that is a number. Names that are not numbers are skipped, so no existing file is overwritten.
    static std::string NextNumberedFile(const std::string& folder, const std::string& extension);
};

} // namespace Vel
