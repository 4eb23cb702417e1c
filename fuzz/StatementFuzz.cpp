// The statement reader: script lines, as the parser trims them, assembled into statements with their keyword,
// arguments and attributes. A line that cannot be a statement is a script error, never a crash or a hang.
#include "core/TextCodec.h"
#include "script/CommandLine.h"

#include <cstddef>
#include <cstdint>
#include <exception>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::u16string text = Vel::TextCodec::Utf8ToWide(std::string_view(reinterpret_cast<const char*>(data), size));
    Vel::CommandLine command;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find(u'\n', start);
        if (end == std::u16string::npos)
            end = text.size();
        const std::u16string line = Vel::TrimBlanks(std::u16string_view(text).substr(start, end - start));
        start = end + 1;
        try {
            if (!command.AddLine(line))
                continue;
            // What a handler reads of a statement.
            (void)command.GetArgument(0);
            (void)command.GetArgument(7);
            (void)command.GetAttribute(u"align");
            (void)Vel::CommandLine::Split(command.Text(), u":, ");
        } catch (const std::exception&) {
            // A script error: the parser reports it and reads no further.
        }
        command.Reset();
    }
    try {
        command.EndOfInput();
    } catch (const std::exception&) {
        // A statement left open at the end of the file: the parser reports it.
    }
    return 0;
}
