#pragma once

// Shared by the script tests: compiled scripts written from their lines into numbered files of a temporary folder and
// read each by a fresh parser, as the first error ends a parser's run; and the table files of tests/script/data that
// list scripts with what they give.

#include "TempFolder.h"
#include "core/TextCodec.h"
#include "data/Crypter.h"
#include "scene/Command.h"
#include "scene/Scene.h"
#include "scene/ScenesManager.h"
#include "script/ParseManager.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace Vel::TestTools {

// A row of a table file: a script's lines, joined by " | ", then " => " and what the script gives.
struct Row
{
    std::vector<std::u16string> lines;
    std::string expected;
    std::string where; // "table:line", for the failure message
};

// The rows of tests/script/data/<name>; empty lines and lines starting with '#' are notes.
inline std::vector<Row> ReadTable(const std::string& name)
{
    std::ifstream in(std::string(VEL_TEST_DATA) + "/" + name);
    std::vector<Row> rows;
    int number = 0;
    for (std::string text; std::getline(in, text);) {
        const std::string where = name + ":" + std::to_string(++number);
        const std::size_t arrow = text.find(" =>");
        if (text.empty() || text[0] == '#' || arrow == std::string::npos) {
            EXPECT_TRUE(text.empty() || text[0] == '#') << where << ": a row needs \" => \"";
            continue;
        }
        Row row{{}, text.substr(std::min(arrow + 4, text.size())), where};
        for (std::size_t from = 0, bar = 0; bar != arrow; from = bar + 3) {
            bar = std::min(text.find(" | ", from), arrow);
            row.lines.push_back(TextCodec::Utf8ToWide(text.substr(from, bar - from)));
        }
        rows.push_back(std::move(row));
    }
    EXPECT_FALSE(rows.empty()) << name;
    return rows;
}

// Writes the lines as a compiled script.
template <typename Lines> void WriteCompiled(const std::u16string& file, const Lines& lines)
{
    Crypter writer;
    EXPECT_TRUE(writer.OpenWrite(file));
    for (const std::u16string_view line : lines)
        EXPECT_TRUE(writer.WriteLine(line));
    EXPECT_TRUE(writer.CloseWrite());
}

// The "Info" part of an error report; empty when the report is, that is when the script ran through.
inline std::string ErrorInfo(const std::u16string& report)
{
    const std::string text = TextCodec::WideToUtf8(report);
    return text.empty() ? text : text.substr(text.find("Info: ") + 6);
}

// A command by its description alone.
inline std::string Description(const Command* command)
{
    return TextCodec::WideToUtf8(command->GetDescription());
}

class ScriptRun
{
public:
    // The wide name of a new compiled file holding the lines.
    std::u16string Write(std::initializer_list<std::u16string_view> lines) { return WriteAll(lines); }
    template <typename Lines> std::u16string WriteAll(const Lines& lines)
    {
        const std::u16string name = TextCodec::Utf8ToWide(folder.File(std::to_string(++files) + ".cvls"));
        WriteCompiled(name, lines);
        return name;
    }
    // The "Info" part of the error report, empty when the lines ran through; the parser stays for a look.
    std::string Run(std::initializer_list<std::u16string_view> lines) { return RunFile(Write(lines)); }
    std::string Run(const std::vector<std::u16string>& lines) { return RunFile(WriteAll(lines)); }
    std::string RunFile(const std::u16string& file)
    {
        parser.reset(); // one parser at a time
        parser = std::make_unique<ParseManager>();
        if (setup)
            setup(*parser);
        parser->Parse(file);
        return ErrorInfo(parser->ErrorReport());
    }
    // A scene name no earlier file used.
    [[nodiscard]] std::u16string NextScene() const { return u"s" + TextCodec::Utf8ToWide(std::to_string(files + 1)); }

    // What the lines give, each '@' in them standing for a new scene name: the error's "Info" part, or else the
    // commands of that scene, described and joined by "; ".
    template <typename Describe> std::string Outcome(std::vector<std::u16string> lines, Describe describe)
    {
        const std::u16string scene = NextScene();
        for (std::u16string& line : lines)
            for (std::size_t at = line.find(u'@'); at != std::u16string::npos; at = line.find(u'@', at))
                line.replace(at, 1, scene);
        std::string text = Run(lines);
        const Scene* found = text.empty() && ScenesManager::GetSingletonPtr() != nullptr
                                 ? ScenesManager::GetSingleton().FindScene(scene)
                                 : nullptr;
        for (const Command* command : found != nullptr ? found->GetCommands() : std::vector<Command*>{})
            text += (text.empty() ? "" : "; ") + describe(command);
        return text;
    }
    // Every row of the table gives what it says.
    template <typename Describe> void CheckTable(const std::string& name, Describe describe)
    {
        for (const Row& row : ReadTable(name))
            EXPECT_EQ(Outcome(row.lines, describe), row.expected) << row.where;
    }
    void CheckTable(const std::string& name) { CheckTable(name, Description); }

    TempFolder folder;
    std::function<void(ParseManager&)> setup; // handlers the tests add to every parser
    std::unique_ptr<ParseManager> parser;
    int files = 0;
};

} // namespace Vel::TestTools
