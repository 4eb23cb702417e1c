#include "scene/StoryCoverage.h"

#include "scene/StatementSource.h"

namespace Vel {

namespace {

struct Record
{
    bool enabled = false;
    // By name, not by index: the scripts read anew in development keep what ran before.
    std::set<std::pair<std::u16string, std::int32_t>> ran;
    std::set<std::u16string> scenes;
    std::uint64_t commands = 0;
    std::uint64_t starts = 0;
};

Record& TheRecord()
{
    static Record record;
    return record;
}

} // namespace

void StoryCoverage::Enable()
{
    TheRecord().enabled = true;
    StatementSource::SetRecording(true);
}

bool StoryCoverage::IsEnabled()
{
    return TheRecord().enabled;
}

void StoryCoverage::Ran(std::uint32_t statement)
{
    Record& record = TheRecord();
    if (!record.enabled)
        return;
    ++record.commands;
    if (statement == StatementSource::kNone)
        return;
    const StatementSource::Place& place = StatementSource::GetPlace(statement);
    record.ran.emplace(StatementSource::Files()[place.file], place.line);
}

void StoryCoverage::Reached(const std::u16string& scene)
{
    Record& record = TheRecord();
    if (!record.enabled)
        return;
    ++record.starts;
    record.scenes.insert(scene);
}

std::uint64_t StoryCoverage::CommandsStarted()
{
    return TheRecord().commands;
}

std::uint64_t StoryCoverage::ScenesStarted()
{
    return TheRecord().starts;
}

const std::set<std::pair<std::u16string, std::int32_t>>& StoryCoverage::RanStatements()
{
    return TheRecord().ran;
}

const std::set<std::u16string>& StoryCoverage::ReachedScenes()
{
    return TheRecord().scenes;
}

} // namespace Vel
