#pragma once

// Tells the engine which files of a folder tree were written since it last asked, for an author's reload on save.
// Linux inotify underneath: a file written in place (closed after writing) and a file renamed over another both
// count; folders made later are watched as they appear. Asking costs one non-blocking read when nothing changed.

#include <string>
#include <vector>

namespace Vel {

class FolderWatcher
{
public:
    // Watches the folder and every folder below it; IsWatching() says whether that worked.
    explicit FolderWatcher(const std::string& folder);
    ~FolderWatcher();
    FolderWatcher(const FolderWatcher&) = delete;
    FolderWatcher& operator=(const FolderWatcher&) = delete;

    [[nodiscard]] bool IsWatching() const { return m_fd >= 0; }
    // The files (paths relative to the folder) written since the last call, in the order they were written; the
    // list is reused, so it is valid until the next call.
    [[nodiscard]] const std::vector<std::string>& TakeChanges();

private:
    void Watch(const std::string& relative);
    void ReadEvents(const char* buffer, long length);

    int m_fd = -1;
    std::vector<std::string> m_folders; // by watch descriptor; relative, "" for the top, else ending in '/'
    std::vector<std::string> m_changes;
    std::string m_root;
};

} // namespace Vel
