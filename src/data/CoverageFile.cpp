#include "data/CoverageFile.h"

#include "core/JsonText.h"

#include <Poco/Dynamic/Var.h>
#include <Poco/Exception.h>
#include <Poco/JSON/Array.h>
#include <Poco/JSON/Object.h>
#include <Poco/JSON/Parser.h>

#include <algorithm>
#include <limits>

namespace Vel {

namespace {

// The format nests four levels; a deeper file is no coverage file, and the parser stops early.
constexpr std::size_t kMaxDepth = 8;

struct Refusal
{
    std::string reason;
};

Poco::JSON::Array::Ptr ArrayOf(const Poco::JSON::Object::Ptr& object, const std::string& key)
{
    if (!object->has(key) || !object->isArray(key))
        throw Refusal{"\"" + key + "\" is not a list"};
    return object->getArray(key);
}

Poco::JSON::Object::Ptr ObjectAt(const Poco::JSON::Array::Ptr& array, unsigned i, const char* what)
{
    if (!array->isObject(i))
        throw Refusal{std::string("an entry of \"") + what + "\" is not an object"};
    return array->getObject(i);
}

std::string TextOf(const Poco::JSON::Object::Ptr& object, const std::string& key)
{
    const Poco::Dynamic::Var value = object->get(key);
    if (!value.isString() || value.extract<std::string>().empty())
        throw Refusal{"\"" + key + "\" is not a text"};
    return value.extract<std::string>();
}

// Script lines are counted from 1; a number of any other kind is damage, not a line.
std::set<std::int32_t> LinesOf(const Poco::JSON::Object::Ptr& object, const std::string& key)
{
    const Poco::JSON::Array::Ptr array = ArrayOf(object, key);
    std::set<std::int32_t> lines;
    for (unsigned i = 0; i < array->size(); ++i) {
        const Poco::Dynamic::Var value = array->get(i);
        if (!value.isInteger())
            throw Refusal{"\"" + key + "\" holds something that is not a line number"};
        const Poco::Int64 line = value.convert<Poco::Int64>();
        if (line < 1 || line > std::numeric_limits<std::int32_t>::max())
            throw Refusal{"\"" + key + "\" holds the line " + std::to_string(line)};
        lines.insert(static_cast<std::int32_t>(line));
    }
    return lines;
}

CoverageFile FromJson(const Poco::JSON::Object::Ptr& root)
{
    const Poco::Dynamic::Var version = root->get("version");
    if (!version.isInteger())
        throw Refusal{"it has no version: not a coverage file"};
    if (version.convert<Poco::Int64>() != CoverageFile::kVersion)
        throw Refusal{"its version " + version.toString() + " is not one this engine reads"};
    // A script or scene named twice (files joined by hand) counts once, as a merge would join them.
    CoverageFile coverage;
    const Poco::JSON::Array::Ptr scripts = ArrayOf(root, "files");
    for (unsigned i = 0; i < scripts->size(); ++i) {
        const Poco::JSON::Object::Ptr entry = ObjectAt(scripts, i, "files");
        CoverageFile one;
        one.scripts.push_back({TextOf(entry, "file"), LinesOf(entry, "statements"), LinesOf(entry, "ran")});
        coverage.Merge(one);
    }
    const Poco::JSON::Array::Ptr scenes = ArrayOf(root, "scenes");
    for (unsigned i = 0; i < scenes->size(); ++i) {
        const Poco::JSON::Object::Ptr entry = ObjectAt(scenes, i, "scenes");
        const Poco::Dynamic::Var reached = entry->get("reached");
        if (!reached.isBoolean())
            throw Refusal{"\"reached\" is not true or false"};
        CoverageFile one;
        one.scenes.push_back({TextOf(entry, "name"), reached.extract<bool>()});
        coverage.Merge(one);
    }
    return coverage;
}

void AppendLines(std::string& out, const std::set<std::int32_t>& lines)
{
    out += '[';
    const char* separator = "";
    for (const std::int32_t line : lines) {
        out += separator + std::to_string(line);
        separator = ", ";
    }
    out += ']';
}

} // namespace

std::optional<CoverageFile> CoverageFile::Read(const std::string& text, const std::string& name, std::string& error)
{
    try {
        Poco::JSON::Parser parser;
        parser.setDepth(kMaxDepth);
        const Poco::Dynamic::Var root = parser.parse(text);
        if (root.type() != typeid(Poco::JSON::Object::Ptr))
            throw Refusal{"not a coverage file"};
        return FromJson(root.extract<Poco::JSON::Object::Ptr>());
    } catch (const Refusal& refusal) {
        error = name + ": " + refusal.reason;
    } catch (const Poco::Exception& exception) {
        error = name + ": not JSON (" + exception.message() + ")";
    } catch (const std::exception& exception) {
        error = name + ": not a coverage file (" + exception.what() + ")";
    }
    return std::nullopt;
}

std::string CoverageFile::Json() const
{
    std::string out = "{\"version\": " + std::to_string(kVersion) + ",\n \"files\": [";
    for (std::size_t i = 0; i < scripts.size(); ++i) {
        out += i == 0 ? "\n  {\"file\": " : ",\n  {\"file\": ";
        AppendJsonString(out, scripts[i].file);
        out += ", \"statements\": ";
        AppendLines(out, scripts[i].statements);
        out += ", \"ran\": ";
        AppendLines(out, scripts[i].ran);
        out += '}';
    }
    out += "],\n \"scenes\": [";
    for (std::size_t i = 0; i < scenes.size(); ++i) {
        out += i == 0 ? "\n  {\"name\": " : ",\n  {\"name\": ";
        AppendJsonString(out, scenes[i].name);
        out += scenes[i].reached ? ", \"reached\": true}" : ", \"reached\": false}";
    }
    return out + "]}\n";
}

void CoverageFile::Merge(const CoverageFile& other)
{
    for (const Script& script : other.scripts) {
        const auto same = std::find_if(scripts.begin(), scripts.end(),
                                       [&](const Script& mine) { return mine.file == script.file; });
        if (same == scripts.end()) {
            scripts.push_back(script);
            continue;
        }
        same->statements.insert(script.statements.begin(), script.statements.end());
        same->ran.insert(script.ran.begin(), script.ran.end());
    }
    for (const Scene& scene : other.scenes) {
        const auto same =
            std::find_if(scenes.begin(), scenes.end(), [&](const Scene& mine) { return mine.name == scene.name; });
        if (same == scenes.end())
            scenes.push_back(scene);
        else
            same->reached = same->reached || scene.reached;
    }
}

} // namespace Vel
