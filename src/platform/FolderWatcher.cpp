#include "platform/FolderWatcher.h"

#include <sys/inotify.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>

namespace Vel {

namespace {

constexpr std::uint32_t kFileMask = IN_CLOSE_WRITE | IN_MOVED_TO | IN_CREATE;

} // namespace

FolderWatcher::FolderWatcher(const std::string& folder) : m_root(folder.empty() ? "." : folder)
{
    m_fd = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (m_fd < 0)
        return;
    Watch("");
    std::error_code error;
    for (auto it = std::filesystem::recursive_directory_iterator(m_root, error);
         !error && it != std::filesystem::recursive_directory_iterator(); it.increment(error)) {
        if (it->is_directory(error))
            Watch(std::filesystem::relative(it->path(), m_root, error).string() + "/");
    }
}

FolderWatcher::~FolderWatcher()
{
    if (m_fd >= 0)
        close(m_fd);
}

void FolderWatcher::Watch(const std::string& relative)
{
    const int wd = inotify_add_watch(m_fd, (m_root + "/" + relative).c_str(), kFileMask);
    if (wd < 0)
        return;
    if (static_cast<std::size_t>(wd) >= m_folders.size())
        m_folders.resize(static_cast<std::size_t>(wd) + 1);
    m_folders[static_cast<std::size_t>(wd)] = relative;
}

const std::vector<std::string>& FolderWatcher::TakeChanges()
{
    m_changes.clear();
    if (m_fd < 0)
        return m_changes;
    alignas(inotify_event) char buffer[4096];
    for (;;) {
        const long length = read(m_fd, buffer, sizeof buffer);
        if (length <= 0)
            break; // EAGAIN: nothing more for now
        ReadEvents(buffer, length);
    }
    return m_changes;
}

void FolderWatcher::ReadEvents(const char* buffer, long length)
{
    for (long at = 0; at < length;) {
        const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
        at += static_cast<long>(sizeof(inotify_event) + event->len);
        const auto wd = static_cast<std::size_t>(event->wd);
        if (event->len == 0 || wd >= m_folders.size())
            continue;
        const std::string path = m_folders[wd] + event->name;
        if ((event->mask & IN_ISDIR) != 0) {
            if ((event->mask & (IN_CREATE | IN_MOVED_TO)) != 0)
                Watch(path + "/");
            continue;
        }
        // A new file is only complete once closed after writing, or renamed into place.
        if ((event->mask & IN_CREATE) != 0)
            continue;
        if (std::find(m_changes.begin(), m_changes.end(), path) == m_changes.end())
            m_changes.push_back(path);
    }
}

} // namespace Vel
