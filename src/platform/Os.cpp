#include "platform/Os.h"

#include "platform/PlatformOptions.h"

#include <SDL.h>

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>

namespace Vel {

namespace {

std::string HomeFolder()
{
    const char* home = std::getenv("HOME");
    if (home != nullptr && *home != 0)
        return home;
    const passwd* entry = getpwuid(getuid());
    return entry != nullptr && entry->pw_dir != nullptr ? entry->pw_dir : "/";
}

std::string WithoutTrailingSlash(std::string path)
{
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

// The value of a line XDG_DOCUMENTS_DIR="..." with $HOME expanded; empty when the line says nothing usable.
std::string DocumentsFromLine(const std::string& line, const std::string& home)
{
    const std::string key = "XDG_DOCUMENTS_DIR=";
    std::size_t start = line.find_first_not_of(" \t");
    if (start == std::string::npos || line.compare(start, key.size(), key) != 0)
        return {};
    std::string value = line.substr(start + key.size());
    while (!value.empty() && (value.back() == '\r' || value.back() == ' ' || value.back() == '\t'))
        value.pop_back();
    if (value.size() < 2 || value.front() != '"' || value.back() != '"')
        return {};
    value = value.substr(1, value.size() - 2);
    for (const char* name : {"${HOME}", "$HOME"}) {
        std::string variable = name;
        if (value.compare(0, variable.size(), variable) == 0)
            value = home + value.substr(variable.size());
    }
    return value.empty() || value.front() != '/' ? std::string() : WithoutTrailingSlash(value);
}

std::string UserDirsFile(const std::string& home)
{
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config != nullptr && *config == '/')
        return std::string(config) + "/user-dirs.dirs";
    return home + "/.config/user-dirs.dirs";
}

} // namespace

std::string Os::DocumentsFolder()
{
    std::string home = HomeFolder();
    std::ifstream file(UserDirsFile(home));
    for (std::string line; std::getline(file, line);) {
        std::string folder = DocumentsFromLine(line, home);
        if (!folder.empty())
            return folder;
    }
    return WithoutTrailingSlash(home) + "/Documents";
}

bool Os::DesktopSize(int& w, int& h)
{
    const PlatformOptions& options = GetPlatformOptions();
    if (options.headless) {
        w = options.desktopWidth;
        h = options.desktopHeight;
        return true;
    }
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
        return false;
    SDL_DisplayMode mode;
    bool ok = SDL_GetDesktopDisplayMode(0, &mode) == 0 && mode.w > 0 && mode.h > 0;
    if (ok) {
        w = mode.w;
        h = mode.h;
    }
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    return ok;
}

bool Os::Launch(const std::string& text)
{
    if (text.empty() || text[0] == '-')
        return false;
    // Everything the children need is prepared before fork: after it only async-signal-safe calls are allowed.
    std::string program = "xdg-open";
    char* argv[] = {program.data(), const_cast<char*>(text.c_str()), nullptr};
    // The opener reports a failed exec through this pipe; a successful exec closes it unwritten.
    int report[2];
    if (pipe2(report, O_CLOEXEC) != 0)
        return false;
    pid_t child = fork();
    if (child == 0) {
        // The middle process exits at once, so the opener is adopted by init and never becomes our zombie.
        close(report[0]);
        pid_t opener = fork();
        if (opener == 0) {
            execvp(argv[0], argv);
            int error = errno;
            ssize_t ignored = write(report[1], &error, sizeof error);
            (void)ignored;
            _exit(127);
        }
        _exit(opener < 0 ? 1 : 0);
    }
    close(report[1]);
    int status = -1;
    while (child > 0 && waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    int execError = 0;
    ssize_t got = -1;
    while ((got = read(report[0], &execError, sizeof execError)) < 0 && errno == EINTR) {
    }
    close(report[0]);
    return child > 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0 && got == 0;
}

} // namespace Vel
