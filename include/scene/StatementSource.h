#pragma once

// Where each command of the story was written. The parser names the statement it is reading; every command made
// meanwhile takes that statement as its own, so story coverage can count statements by file and line without each of
// the many statement handlers passing the place along. Commands made outside reading belong to no statement.

#include <cstdint>
#include <string>
#include <vector>

namespace Vel {

class StatementSource
{
public:
    static constexpr std::uint32_t kNone = 0xFFFFFFFFu;

    struct Place
    {
        std::uint32_t file = 0; // index into Files()
        std::int32_t line = 0;
    };

    // The statement being read from here on, until End. file is the script as the author names it.
    static void Begin(const std::u16string& file, std::int32_t line);
    static void End();
    // The statement being read, made known as one that makes commands; kNone outside reading or recording.
    [[nodiscard]] static std::uint32_t Claim();

    [[nodiscard]] static const Place& GetPlace(std::uint32_t statement);
    [[nodiscard]] static const std::vector<std::u16string>& Files();
    // Every statement that made a command, in reading order.
    [[nodiscard]] static const std::vector<Place>& Places();
    // A fresh reading of all scripts starts an empty record.
    static void Clear();
    // Off by default: a run that keeps no coverage keeps no places either (a long story has a great many).
    static void SetRecording(bool recording);
    [[nodiscard]] static bool IsRecording();
};

} // namespace Vel
