#pragma once

// Shared by the menu tests: a command that records its runs and either reports at once or waits until the test
// lets it finish, and counts its destruction so a command owned twice shows up.

#include "core/Callback.h"
#include "scene/Command.h"

#include <memory>
#include <string>
#include <vector>

namespace Vel::TestTools {

using Log = std::vector<std::string>;

inline Callback<void()> Logger(Log& log, std::string tag)
{
    return Callback<void()>([&log, tag] { log.push_back(tag); });
}

class RecordingCommand : public Command
{
public:
    enum class Ends
    {
        AtOnce,
        WhenFinished
    };

    RecordingCommand(Log& log, std::string tag, int& destroyed, Ends ends = Ends::AtOnce)
        : m_log(log), m_tag(std::move(tag)), m_destroyed(destroyed), m_ends(ends)
    {
    }
    ~RecordingCommand() override { ++m_destroyed; }

    void Execute(Scene&) override
    {
        m_log.push_back(m_tag);
        if (m_ends == Ends::AtOnce)
            Complete();
    }
    // The awaited end of a command that waits.
    void Finish() { Complete(); }

private:
    Log& m_log;
    std::string m_tag;
    int& m_destroyed;
    Ends m_ends;
};

// Adds a new command to the menu, which owns it; returns it.
template <class Menu>
RecordingCommand* AddTo(Menu& menu, Log& log, std::string tag, int& destroyed,
                        RecordingCommand::Ends ends = RecordingCommand::Ends::AtOnce)
{
    auto command = std::make_unique<RecordingCommand>(log, std::move(tag), destroyed, ends);
    RecordingCommand* added = command.get();
    menu.AddCommand(std::move(command));
    return added;
}

} // namespace Vel::TestTools
