#include "script/CommandLine.h"

#include "core/TextCodec.h"
#include "script/ScriptError.h"

#include <string>

namespace Vel {

namespace {

constexpr std::u16string_view kThen = u" then ";
constexpr std::u16string_view kElse = u" else ";

} // namespace

std::vector<std::u16string> CommandLine::Split(std::u16string_view text, std::u16string_view separators)
{
    std::vector<std::u16string> pieces;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = text.find_first_of(separators, start);
        if (end == std::u16string_view::npos) {
            pieces.emplace_back(text.substr(start));
            return pieces;
        }
        pieces.emplace_back(text.substr(start, end - start));
        start = text.find_first_not_of(separators, end);
        if (start == std::u16string_view::npos) {
            pieces.emplace_back();
            return pieces;
        }
    }
}

bool CommandLine::AddLine(std::u16string_view line)
{
    if (!m_continued)
        return StartStatement(line);
    if (m_speech) {
        // Lines arrive trimmed, so a speech broken over lines joins its words without a blank.
        if (line.empty()) {
            m_continued = false;
            return true;
        }
        m_arguments.back() += line;
        return false;
    }
    m_text += line;
    return CheckParentheses(line);
}

void CommandLine::EndOfInput() const
{
    if (m_continued && !m_speech)
        throw ScriptError("Statement not closed: " + StatementName() + " has more '(' than ')'");
}

std::u16string CommandLine::GetArgument(std::size_t index) const
{
    return index < m_arguments.size() ? m_arguments[index] : std::u16string();
}

std::u16string CommandLine::GetAttribute(const std::u16string& key) const
{
    const auto found = m_attributes.find(key);
    return found != m_attributes.end() ? found->second : std::u16string();
}

void CommandLine::Reset()
{
    m_keyword.clear();
    m_text.clear();
    m_arguments.clear();
    m_attributes.clear();
    m_continued = false;
    m_speech = false;
    m_unclosed = 0;
}

bool CommandLine::StartStatement(std::u16string_view line)
{
    Reset();
    if (line.empty())
        return true;
    const std::u16string_view firstWord = line.substr(0, line.find_first_of(u" ("));
    if (firstWord.find(u'=') != std::u16string_view::npos) {
        StartSpeech(line);
        return !m_continued;
    }
    if (firstWord == u"if") {
        StartConditional(line);
        return true;
    }
    m_keyword = firstWord;
    if (firstWord == u"begin") {
        // "begin scene(x)" is another spelling of "beginscene(x)".
        const std::vector<std::u16string> words = Split(line, u" (");
        const std::u16string block = words.size() > 1 ? TrimBlanks(words[1]) : std::u16string();
        if (block.empty())
            throw ScriptError("begin without a block name");
        m_keyword += block;
    }
    m_text = line;
    return CheckParentheses(line);
}

void CommandLine::StartSpeech(std::u16string_view line)
{
    // The pieces of the line split at '=': the speaker before the first, the text up to the next one after that
    // run of '='.
    const std::size_t equals = line.find(u'=');
    const std::size_t textStart = line.find_first_not_of(u'=', equals);
    const std::u16string_view text = textStart == std::u16string_view::npos
                                         ? std::u16string_view()
                                         : line.substr(textStart, line.find(u'=', textStart) - textStart);
    const std::u16string_view speaker = TrimBlanksView(line.substr(0, equals));
    m_text = line;
    if (speaker == u"voice") {
        m_keyword = u"voice";
        m_arguments.emplace_back(TrimBlanksView(text));
        return;
    }
    // The text stays as written: a blank after '=' belongs to the speech.
    m_keyword = u"say";
    m_arguments.emplace_back(speaker);
    m_arguments.emplace_back(text);
    m_continued = true;
    m_speech = true;
}

void CommandLine::StartConditional(std::u16string_view line)
{
    m_keyword = u"if";
    m_text = line;
    // The condition starts after "if " or, in "if(...)", right after "if".
    const std::size_t start = line.size() > 2 && line[2] == u' ' ? 3 : 2;
    const std::size_t then = line.find(kThen, start);
    if (then == std::u16string_view::npos)
        throw ScriptError("if without then");
    const std::size_t thenStart = then + kThen.size();
    const std::size_t otherwise = line.find(kElse, thenStart);
    m_arguments.emplace_back(line.substr(start, then - start));
    if (otherwise == std::u16string_view::npos) {
        m_arguments.emplace_back(line.substr(thenStart));
        m_arguments.emplace_back();
    } else {
        m_arguments.emplace_back(line.substr(thenStart, otherwise - thenStart));
        m_arguments.emplace_back(line.substr(otherwise + kElse.size()));
    }
}

bool CommandLine::CheckParentheses(std::u16string_view line)
{
    // Only the new line is counted: counting the whole text again for every line of a statement left open over
    // many lines takes time growing with the square of its length. A ')' that closes nothing would otherwise leave
    // the statement waiting for a '(' and swallow the rest of the file.
    for (const char16_t character : line) {
        if (character == u'(')
            ++m_unclosed;
        else if (character == u')' && --m_unclosed < 0)
            throw ScriptError("Unbalanced parenthesis: " + StatementName() + " has a ')' without its '('");
    }
    if (m_unclosed != 0) {
        m_continued = true;
        return false;
    }
    m_continued = false;
    ParseArgumentList();
    return true;
}

std::string CommandLine::StatementName() const
{
    return m_keyword.empty() ? std::string("the statement") : TextCodec::WideToUtf8(m_keyword);
}

void CommandLine::ParseArgumentList()
{
    const std::size_t open = m_text.find(u'(');
    const std::size_t close = m_text.rfind(u')');
    if (open == std::u16string::npos || close == std::u16string::npos || close < open)
        return;
    const std::u16string inner = TrimBlanks(std::u16string_view(m_text).substr(open + 1, close - open - 1));
    if (inner.empty())
        return;
    const std::vector<std::u16string> pieces = Split(inner, u",");
    for (std::size_t next = 0; next < pieces.size();) {
        const std::u16string piece = TrimBlanks(pieces[next++]);
        if (piece.find(u'=') != std::u16string::npos)
            AddAttribute(piece, pieces, next);
        else if (!piece.empty() && piece.front() == u'"')
            m_arguments.push_back(ReadQuoted(piece, pieces, next));
        else
            m_arguments.push_back(piece);
    }
}

void CommandLine::AddAttribute(const std::u16string& piece, const std::vector<std::u16string>& pieces,
                               std::size_t& next)
{
    // Parts after a second '=' are dropped, even inside quotes.
    const std::vector<std::u16string> parts = Split(piece, u"=");
    const std::u16string key = TrimBlanks(parts[0]);
    std::u16string value = TrimBlanks(parts[1]);
    if (!value.empty() && value.front() == u'"') {
        value = ReadQuoted(std::move(value), pieces, next);
    } else if (value.find(u':') != std::u16string::npos) {
        // "start=1:2" also gives start1 and start2; the parts keep their blanks.
        const std::vector<std::u16string> numbered = Split(value, u":");
        for (std::size_t i = 0; i < numbered.size(); ++i)
            m_attributes[key + TextCodec::Widen(std::to_string(i + 1))] = numbered[i];
    }
    m_attributes[key] = value;
}

std::u16string CommandLine::ReadQuoted(std::u16string value, const std::vector<std::u16string>& pieces,
                                       std::size_t& next)
{
    // The list was split at commas: while only the opening quote is seen, put the comma back (as ", ") and take
    // the next piece as written. Only the piece just taken is searched for the closing quote, so that a long quoted
    // text with many commas is read in time growing with its length.
    std::size_t searchFrom = 1;
    while (true) {
        const std::size_t found = std::u16string_view(value).substr(searchFrom).rfind(u'"');
        if (found != std::u16string_view::npos)
            return value.substr(1, searchFrom + found - 1);
        if (next >= pieces.size())
            throw ScriptError("Ending quote missed");
        value += u", ";
        searchFrom = value.size();
        value += pieces[next++];
    }
}

} // namespace Vel
