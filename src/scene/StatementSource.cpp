#include "scene/StatementSource.h"

namespace Vel {

namespace {

struct Reading
{
    StatementSource::Place place;
    std::uint32_t statement = StatementSource::kNone; // its index in places, once a command claimed it
};

struct Record
{
    std::vector<std::u16string> files;
    std::vector<StatementSource::Place> places;
    // An action's text is read as a statement within the statement that carries it.
    std::vector<Reading> reading;
    bool recording = false;
};

Record& TheRecord()
{
    static Record record;
    return record;
}

std::uint32_t FileIndex(Record& record, const std::u16string& file)
{
    std::uint32_t index = 0;
    while (index < record.files.size() && record.files[index] != file)
        ++index;
    if (index == record.files.size())
        record.files.push_back(file);
    return index;
}

} // namespace

void StatementSource::Begin(const std::u16string& file, std::int32_t line)
{
    Record& record = TheRecord();
    // The same statement again (an action's text within it) shares its place.
    if (!record.reading.empty()) {
        const Reading& outer = record.reading.back();
        if (outer.place.line == line && record.files[outer.place.file] == file) {
            record.reading.push_back(outer);
            return;
        }
    }
    record.reading.push_back({{FileIndex(record, file), line}, kNone});
}

void StatementSource::End()
{
    Record& record = TheRecord();
    if (record.reading.empty())
        return;
    const Reading inner = record.reading.back();
    record.reading.pop_back();
    // What the inner reading claimed is the outer one's too when they are one statement.
    if (!record.reading.empty() && record.reading.back().place.file == inner.place.file &&
        record.reading.back().place.line == inner.place.line)
        record.reading.back().statement = inner.statement;
}

std::uint32_t StatementSource::Claim()
{
    Record& record = TheRecord();
    if (!record.recording || record.reading.empty())
        return kNone;
    Reading& reading = record.reading.back();
    if (reading.statement == kNone) {
        record.places.push_back(reading.place);
        reading.statement = static_cast<std::uint32_t>(record.places.size() - 1);
    }
    return reading.statement;
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
    const bool recording = TheRecord().recording;
    TheRecord() = Record();
    TheRecord().recording = recording;
}

void StatementSource::SetRecording(bool recording)
{
    TheRecord().recording = recording;
}

bool StatementSource::IsRecording()
{
    return TheRecord().recording;
}

} // namespace Vel
