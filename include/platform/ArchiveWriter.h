#pragma once

// Writes the game's data archives: the "velloria pack ARCHIVE PATH..." command calls it to put files and whole
// folders into one ZIP archive, AES-256 encrypted with the password the engine attaches its archives with.

#include <string>
#include <vector>

namespace Vel {

class ArchiveWriter
{
public:
    // Writes archiveName anew from paths (files, or folders walked recursively). A relative path inside the current
    // folder keeps its path as the entry name ("images/bg.png"); any other path is named from its last part down
    // ("/tmp/game/images" gives "images/..."). An empty password stores the files unencrypted. False, with the
    // reason in error, on failure; an archive that already existed is then left as it was.
    [[nodiscard]] static bool Pack(const std::string& archiveName, const std::vector<std::string>& paths,
                                   const std::string& password, std::string& error);
};

} // namespace Vel
