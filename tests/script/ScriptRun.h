#pragma once

// Shared by the statement tests: scripts written from their lines into numbered files of a temporary folder and read
// each by a fresh parser, as the first error ends a parser's run.

#include "ScriptFile.h"
#include "TempFolder.h"
#include "core/TextCodec.h"
#include "data/Crypter.h"
#include "script/ParseManager.h"

#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace Vel::TestTools {

inline const std::string kBadNumber = "bad lexical cast: ";

class ScriptRun
{
public:
    // The wide name of a new compiled file holding the lines.
    std::u16string Write(std::initializer_list<std::u16string_view> lines) { return WriteAll(lines); }
    template <typename Lines> std::u16string WriteAll(const Lines& lines)
    {
        const std::u16string name = TextCodec::Utf8ToWide(folder.File(std::to_string(++files) + ".cvls"));
        Crypter writer;
        EXPECT_TRUE(writer.OpenWrite(name));
        for (const std::u16string_view line : lines)
            EXPECT_TRUE(writer.WriteLine(line));
        EXPECT_TRUE(writer.CloseWrite());
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
    // The name the next file's scene gets from Scene and InScene.
    [[nodiscard]] std::u16string NextScene() const { return u"s" + TextCodec::Utf8ToWide(std::to_string(files + 1)); }
    // The commands of the scene of the next name in the lines, described; or the error's "Info" part.
    template <typename Describe> std::string Scene(std::initializer_list<std::u16string_view> lines, Describe describe)
    {
        parser.reset();
        const std::u16string scene = NextScene();
        return ParseScene(TextCodec::Utf8ToWide(folder.File(std::to_string(++files) + ".cvls")), lines, scene,
                          describe);
    }
    // The statement alone in a scene block.
    template <typename Describe> std::string InScene(std::u16string_view statement, Describe describe)
    {
        return Scene({u"beginscene(" + NextScene() + u")", statement, u"end"}, describe);
    }

    TempFolder folder;
    std::function<void(ParseManager&)> setup; // handlers the tests add to every parser
    std::unique_ptr<ParseManager> parser;
    int files = 0;
};

} // namespace Vel::TestTools
