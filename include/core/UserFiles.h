#pragma once

// The per-user folders (saves, screenshots, persistent values, the log of a read-only game) and the numbered
// files kept in them.

#include <string>
#include <vector>

namespace Vel {

class UserFiles
{
public:
    // "<documents>/Velloria/" unless overridden (the --user-dir option); always ends in '/'.
    static void SetUserFolderOverride(const std::string& folder);
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
