#include "app/ExploreReport.h"

#include "app/CoverageReport.h"
#include "core/JsonText.h"
#include "core/TextCodec.h"
#include "scene/StoryCoverage.h"

#include <algorithm>

namespace Vel {

namespace {

std::string Utf8(const std::u16string& text)
{
    return TextCodec::WideToUtf8(text);
}

std::string RouteText(const Route& route)
{
    if (route.empty())
        return "(from the start)";
    std::string text;
    for (const std::u16string& step : route)
        text += (text.empty() ? "" : " > ") + Utf8(step);
    return text;
}

std::string PlaceText(const StoryPlace& place)
{
    // A script error while the scripts were read leaves no scene at all.
    if (place.scene.empty())
        return "(no scene runs)";
    std::string text = place.file.empty() ? std::string("?") : Utf8(place.file) + ":" + std::to_string(place.line);
    return text + " (scene " + Utf8(place.scene) + ")";
}

const char* EndingName(RouteEnding::Kind kind)
{
    return kind == RouteEnding::Kind::End ? "end" : "main menu";
}

void AppendStops(std::string& out, const char* heading, const std::vector<RouteStop>& stops)
{
    if (stops.empty())
        return;
    out += heading;
    for (const RouteStop& stop : stops) {
        out += "  " + PlaceText(stop.place) + (stop.reason.empty() ? "" : ": " + stop.reason) + "\n";
        out += "    route: " + RouteText(stop.route) + "\n";
    }
}

void AppendProblems(std::string& out, const char* heading, const std::vector<RouteProblem>& problems)
{
    if (problems.empty())
        return;
    out += heading;
    for (const RouteProblem& problem : problems)
        out += "  " + problem.message + "\n    route: " + RouteText(problem.route) + "\n";
}

void AppendJsonRoute(std::string& out, const Route& route)
{
    out += "\"route\": [";
    for (std::size_t i = 0; i < route.size(); ++i) {
        out += i == 0 ? "" : ", ";
        AppendJsonString(out, Utf8(route[i]));
    }
    out += ']';
}

void AppendJsonTextAndRoute(std::string& out, const char* name, const std::string& text, const Route& route)
{
    out += "\"" + std::string(name) + "\": ";
    AppendJsonString(out, text);
    out += ", ";
    AppendJsonRoute(out, route);
}

void AppendJsonPlace(std::string& out, const StoryPlace& place)
{
    out += "\"scene\": ";
    AppendJsonString(out, Utf8(place.scene));
    out += ", \"file\": ";
    AppendJsonString(out, Utf8(place.file));
    out += ", \"line\": " + std::to_string(place.line) + ", ";
}

// Each element is an object the callback fills (without its braces); items of a list are separated.
template <typename Item, typename Fill>
void AppendJsonList(std::string& out, const char* name, const std::vector<Item>& items, Fill fill)
{
    out += ",\n \"" + std::string(name) + "\": [";
    for (std::size_t i = 0; i < items.size(); ++i) {
        out += i == 0 ? "\n  {" : ",\n  {";
        fill(items[i]);
        out += '}';
    }
    out += ']';
}

} // namespace

ExploreReport::ExploreReport(const ExploreResult& result, const std::vector<std::u16string>& scenes)
    : m_result(result), m_scenes(scenes)
{
}

bool ExploreReport::IsClean() const
{
    return m_result.deadEnds.empty() && m_result.errors.empty() && m_result.missing.empty();
}

std::vector<std::u16string> ExploreReport::UnreachedScenes() const
{
    std::vector<std::u16string> unreached;
    std::copy_if(m_scenes.begin(), m_scenes.end(), std::back_inserter(unreached),
                 [](const std::u16string& scene) { return !StoryCoverage::ReachedScenes().contains(scene); });
    return unreached;
}

std::string ExploreReport::Text() const
{
    std::string out = std::to_string(m_result.endings.size()) + " routes, " + std::to_string(m_result.deadEnds.size()) +
                      " dead ends, " + std::to_string(m_result.errors.size()) + " script errors, " +
                      std::to_string(m_result.missing.size()) + " missing files; " + std::to_string(m_result.states) +
                      " states explored, " + std::to_string(m_result.merged) + " branches joined an explored state\n";
    out += m_result.cut.empty() ? "search: complete\n" : "search: cut by " + m_result.cut + "; routes are missing\n";
    AppendRoutesText(out);
    AppendStops(out, "dead ends:\n", m_result.deadEnds);
    AppendStops(out, "loops:\n", m_result.loops);
    AppendStops(out, "waits for a click on a scene node (not followed):\n", m_result.nodeWaits);
    AppendProblems(out, "script errors:\n", m_result.errors);
    AppendProblems(out, "missing files:\n", m_result.missing);
    AppendCoverageText(out);
    return out;
}

void ExploreReport::AppendRoutesText(std::string& out) const
{
    if (!m_result.endings.empty())
        out += "routes:\n";
    for (std::size_t i = 0; i < m_result.endings.size(); ++i) {
        const RouteEnding& ending = m_result.endings[i];
        const std::string at = ending.place.scene.empty() ? "" : " at " + PlaceText(ending.place);
        out +=
            "  " + std::to_string(i + 1) + ". " + EndingName(ending.kind) + at + ": " + RouteText(ending.route) + "\n";
        for (const auto& [name, value] : ending.persistent)
            out += "     sets " + Utf8(name) + "=" + Utf8(value) + "\n";
    }
}

void ExploreReport::AppendCoverageText(std::string& out) const
{
    const std::vector<std::u16string> unreached = UnreachedScenes();
    if (!unreached.empty()) {
        out += "scenes never reached:";
        for (const std::u16string& scene : unreached)
            out += " " + Utf8(scene);
        out += "\n";
    }
    for (const CoverageFile::Script& file : CoverageReport::Coverage(m_scenes).scripts) {
        std::string lines;
        for (const std::int32_t line : file.statements) {
            if (!file.ran.contains(line))
                lines += (lines.empty() ? "" : ", ") + std::to_string(line);
        }
        if (!lines.empty())
            out += "never run in " + file.file + ": lines " + lines + "\n";
    }
}

void ExploreReport::AppendJsonEndings(std::string& out) const
{
    AppendJsonList(out, "routes", m_result.endings, [&](const RouteEnding& ending) {
        out += "\"ending\": \"" + std::string(EndingName(ending.kind)) + "\", ";
        AppendJsonPlace(out, ending.place);
        AppendJsonRoute(out, ending.route);
        out += ", \"persistent\": {";
        for (std::size_t i = 0; i < ending.persistent.size(); ++i) {
            out += i == 0 ? "" : ", ";
            AppendJsonString(out, Utf8(ending.persistent[i].first));
            out += ": ";
            AppendJsonString(out, Utf8(ending.persistent[i].second));
        }
        out += '}';
    });
}

std::string ExploreReport::Json() const
{
    std::string out =
        "{\"version\": 1, \"complete\": " + std::string(m_result.cut.empty() ? "true" : "false") + ", \"cut\": ";
    AppendJsonString(out, m_result.cut);
    out += ", \"states\": " + std::to_string(m_result.states) + ", \"merged\": " + std::to_string(m_result.merged);
    AppendJsonEndings(out);
    const auto stop = [&](const RouteStop& item) {
        AppendJsonPlace(out, item.place);
        AppendJsonTextAndRoute(out, "reason", item.reason, item.route);
    };
    AppendJsonList(out, "deadEnds", m_result.deadEnds, stop);
    AppendJsonList(out, "loops", m_result.loops, stop);
    AppendJsonList(out, "nodeWaits", m_result.nodeWaits, stop);
    const auto problem = [&](const RouteProblem& item) {
        AppendJsonTextAndRoute(out, "message", item.message, item.route);
    };
    AppendJsonList(out, "errors", m_result.errors, problem);
    AppendJsonList(out, "missing", m_result.missing, problem);
    std::string coverage = CoverageReport::Coverage(m_scenes).Json();
    coverage.pop_back(); // its closing newline
    return out + ",\n \"coverage\": " + coverage + "}\n";
}

} // namespace Vel
