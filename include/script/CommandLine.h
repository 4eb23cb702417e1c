#pragma once

// One script statement under assembly. The parser feeds it the trimmed lines of a file one by one; when AddLine
// reports a complete statement the parser hands the record to the statement's handler and resets it. Handlers read
// the positional arguments and the named attributes; an attribute written as "key=" has an empty value, which
// handlers treat as absent.

#include <cstddef>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace Vel {

class CommandLine
{
public:
    CommandLine() = default;
    virtual ~CommandLine() = default;

    // Feeds one trimmed line; true when a complete statement is ready. Throws ScriptError for a line that cannot be
    // a statement (an unclosed quoted value, a ')' without its '(', a lone "begin", an "if" without "then").
    [[nodiscard]] bool AddLine(std::u16string_view line);
    // No more lines will come: a statement still waiting for a ')' is the ScriptError "Statement not closed". An
    // open speech is left as it is; the caller drops it.
    void EndOfInput() const;
    // The positional argument at the zero-based index, or empty text when there are not that many.
    [[nodiscard]] std::u16string GetArgument(std::size_t index) const;
    // The attribute's value, or empty text when the key is absent.
    [[nodiscard]] std::u16string GetAttribute(const std::u16string& key) const;
    void Reset();

    [[nodiscard]] const std::u16string& Keyword() const { return m_keyword; }
    // The raw statement: the line, or the lines joined while parentheses were open.
    [[nodiscard]] const std::u16string& Text() const { return m_text; }
    [[nodiscard]] const std::vector<std::u16string>& Arguments() const { return m_arguments; }
    [[nodiscard]] const std::map<std::u16string, std::u16string>& Attributes() const { return m_attributes; }
    // True while the statement waits for further lines (an open parenthesis or an open speech).
    [[nodiscard]] bool IsContinued() const { return m_continued; }
    // True while a "Name=text" speech waits for the empty line that ends it.
    [[nodiscard]] bool IsSpeechOpen() const { return m_continued && m_speech; }

    // Splits at any of the separators; a run of separators counts as one, so only leading and trailing runs give
    // empty pieces.
    [[nodiscard]] static std::vector<std::u16string> Split(std::u16string_view text, std::u16string_view separators);

private:
    bool StartStatement(std::u16string_view line);
    void StartSpeech(std::u16string_view line);
    void StartConditional(std::u16string_view line);
    bool CheckParentheses(std::u16string_view line);
    [[nodiscard]] std::string StatementName() const;
    void ParseArgumentList();
    void AddAttribute(const std::u16string& piece, const std::vector<std::u16string>& pieces, std::size_t& next);
    static std::u16string ReadQuoted(std::u16string value, const std::vector<std::u16string>& pieces,
                                     std::size_t& next);

    std::u16string m_keyword;
    std::u16string m_text;
    std::vector<std::u16string> m_arguments;
    std::map<std::u16string, std::u16string> m_attributes; // a later duplicate key overwrites the earlier value
    bool m_continued = false;
    bool m_speech = false;         // the "Name=text" form, which runs until an empty line; "say(...)" does not
    std::ptrdiff_t m_unclosed = 0; // '(' minus ')' in the text so far
};

} // namespace Vel
