#include "scene/StatementSource.h"

namespace Vel {

namespace {

struct Record
{
    std::vector<std::u16string> files;
    std::vector<StatementSource::Place> places;
    StatementSource::Place reading;
    bool isReading = false;
    bool claimed = false; // the statement being read is in places already
};

Record& TheRecord()
{
    static Record record;
    return record;
}

} // namespace

void StatementSource::Begin(const std::u16string& file, std::int32_t line)
{
    Record& record = TheRecord();
    if (record.files.empty() || record.files[record.reading.file] != file) {
        std::uint32_t index = 0;
        while (index < record.files.size() && record.files[index] != file)
            ++index;
        if (index == record.files.size())
            record.files.push_back(file);
        record.reading.file = index;
    }
    record.reading.line = line;
    record.isReading = true;
    record.claimed = false;
}

void StatementSource::End()
{
    TheRecord().isReading = false;
}

std::uint32_t StatementSource::Claim()
{
    Record& record = TheRecord();
    if (!record.isReading)
        return kNone;
    if (!record.claimed) {
        record.places.push_back(record.reading);
        record.claimed = true;
    }
    return static_cast<std::uint32_t>(record.places.size() - 1);
}

const StatementSource::Place& StatementSource::GetPlace(std::uint32_t statement)
{
    return TheRecord().places.at(statement);
}

const std::vector<std::u16string>& StatementSource::Files()
{
    return TheRecord().files;
}

const std::vector<StatementSource::Place>& StatementSource::Places()
{
    return TheRecord().places;
}

void StatementSource::Clear()
{
    TheRecord() = Record();
}

} // namespace Vel
