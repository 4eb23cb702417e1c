#include "resources/hgeFont.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <optional>

namespace Vel {

// One "Char" line: the byte it defines, its rectangle in the bitmap and its shifts.
struct hgeFont::Letter
{
    int byte = 0;
    int x = 0, y = 0, width = 0, height = 0;
    int pre = 0, post = 0;
};

namespace {

constexpr std::string_view kSignature = "[HGEFONT]";
constexpr unsigned char kFallback = '?';

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\v' || c == '\f';
}

bool IsLineEnd(char c)
{
    return c == '\n' || c == '\r';
}

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Walks a line of the description; every read stays inside the view.
class Cursor
{
public:
    explicit Cursor(std::string_view text) : m_text(text) {}

    [[nodiscard]] bool AtEnd() const { return m_text.empty(); }
    [[nodiscard]] char Peek() const { return m_text.empty() ? '\0' : m_text.front(); }
    char Take()
    {
        const char c = m_text.front();
        m_text.remove_prefix(1);
        return c;
    }
    void SkipBlanks()
    {
        while (!m_text.empty() && IsBlank(m_text.front()))
            m_text.remove_prefix(1);
    }
    [[nodiscard]] bool Consume(char c)
    {
        if (Peek() != c || AtEnd())
            return false;
        m_text.remove_prefix(1);
        return true;
    }
    // A decimal integer with an optional sign, as "%d" reads it after blanks; false on overflow or no digits.
    [[nodiscard]] bool ReadInt(int& value)
    {
        SkipBlanks();
        const bool plus = Peek() == '+';
        std::string_view digits = plus ? m_text.substr(1) : m_text;
        if (plus && !digits.empty() && digits.front() == '-')
            return false;
        const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
        if (error != std::errc())
            return false;
        m_text.remove_prefix(static_cast<std::size_t>(end - m_text.data()));
        return true;
    }
    // The next run of non-blank characters.
    [[nodiscard]] std::string_view Word()
    {
        std::size_t length = 0;
        while (length < m_text.size() && !IsBlank(m_text[length]))
            ++length;
        std::string_view word = m_text.substr(0, length);
        m_text.remove_prefix(length);
        return word;
    }

private:
    std::string_view m_text;
};

// The next non-empty line, or nothing at the end of the text.
std::optional<std::string_view> NextLine(std::string_view& text)
{
    while (!text.empty() && IsLineEnd(text.front()))
        text.remove_prefix(1);
    if (text.empty())
        return std::nullopt;
    std::size_t end = 0;
    while (end < text.size() && !IsLineEnd(text[end]))
        ++end;
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end);
    return line;
}

// The byte a "Char" line defines, from the letter between double quotes or from its hexadecimal value; -1 for a
// line without one, 256 for a value beyond a byte.
int ReadLetterByte(Cursor& cursor)
{
    cursor.SkipBlanks();
    if (cursor.Peek() == '"' && !cursor.AtEnd()) {
        cursor.Take();
        if (cursor.AtEnd())
            return -1;
        const int byte = static_cast<unsigned char>(cursor.Take());
        (void)cursor.Consume('"');
        return byte;
    }
    int value = -1;
    while (HexValue(cursor.Peek()) >= 0 && !cursor.AtEnd())
        value = std::min((value < 0 ? 0 : value) * 16 + HexValue(cursor.Take()), 256);
    return value;
}

enum class CharLine
{
    Read,
    Ignored,
    Damaged,
};

CharLine ReadCharLine(std::string_view line, int& byte, int (&numbers)[6])
{
    Cursor cursor(line.substr(line.find('=') + 1));
    byte = ReadLetterByte(cursor);
    if (byte < 0)
        return CharLine::Damaged;
    for (int& number : numbers) {
        cursor.SkipBlanks();
        if (!cursor.Consume(',') || !cursor.ReadInt(number))
            return CharLine::Damaged;
    }
    return byte > 255 ? CharLine::Ignored : CharLine::Read;
}

// Keeps [start, start + length) inside [0, limit); a rectangle entirely outside keeps no pixels.
void ClipSpan(int& start, int& length, int limit)
{
    const std::int64_t from = std::clamp<std::int64_t>(start, 0, limit);
    const std::int64_t to =
        std::clamp<std::int64_t>(static_cast<std::int64_t>(start) + std::max(length, 0), from, limit);
    start = static_cast<int>(from);
    length = static_cast<int>(to - from);
}

float RoundToInt(float value)
{
    return std::round(value);
}

} // namespace

hgeFont::hgeFont(const std::string& fileName, bool mipmap) : m_hge(hgeCreate(HGE_VERSION))
{
    if (m_hge == nullptr)
        return;
    std::uint32_t size = 0;
    void* data = m_hge->Resource_Load(fileName.c_str(), &size);
    if (data == nullptr) {
        // An author who misnames a font sees why its text does not show.
        m_hge->System_Log("Font %s cannot be found.", fileName.c_str());
        return;
    }
    Parse(std::string_view(static_cast<const char*>(data), size), fileName, mipmap);
    m_hge->Resource_Free(data);
}

hgeFont::hgeFont() : m_hge(hgeCreate(HGE_VERSION)) {}

hgeFont::~hgeFont()
{
    for (auto& letter : m_letters)
        letter.reset();
    if (m_hge == nullptr)
        return;
    for (HTEXTURE texture : m_textures)
        m_hge->Texture_Free(texture);
    m_hge->Release();
}

void hgeFont::Parse(std::string_view description, const std::string& fileName, bool mipmap)
{
    std::optional<std::string_view> line = NextLine(description);
    if (!line || *line != kSignature) {
        m_hge->System_Log("Font %s has incorrect format.", fileName.c_str());
        return;
    }
    while ((line = NextLine(description))) {
        if (line->substr(0, 6) == "Bitmap") {
            if (!LoadBitmap(line->substr(6), fileName, mipmap))
                return;
        } else if (line->substr(0, 4) == "Char" && line->find('=') != std::string_view::npos) {
            Letter letter;
            int numbers[6] = {};
            const CharLine read = ReadCharLine(*line, letter.byte, numbers);
            if (read == CharLine::Damaged) {
                m_hge->System_Log("Font %s: damaged letter line \"%.*s\" skipped.", fileName.c_str(),
                                  static_cast<int>(line->size()), line->data());
                continue;
            }
            if (read == CharLine::Ignored)
                continue;
            letter.x = numbers[0];
            letter.y = numbers[1];
            letter.width = numbers[2];
            letter.height = numbers[3];
            letter.pre = numbers[4];
            letter.post = numbers[5];
            AddLetter(letter);
        }
    }
}

// The bitmap's name is relative to the folder of the font file. False when the picture cannot be used.
bool hgeFont::LoadBitmap(std::string_view line, const std::string& fileName, bool mipmap)
{
    Cursor cursor(line);
    cursor.SkipBlanks();
    std::string_view name;
    if (cursor.Consume('=')) {
        cursor.SkipBlanks();
        name = cursor.Word();
    }
    HTEXTURE texture = 0;
    if (!name.empty()) {
        const std::size_t slash = fileName.find_last_of("\\/");
        const std::string folder = slash == std::string::npos ? std::string() : fileName.substr(0, slash + 1);
        texture = m_hge->Texture_Load((folder + std::string(name)).c_str(), 0, mipmap);
    }
    if (texture == 0) {
        m_hge->System_Log("Font %s: cannot load the bitmap \"%.*s\".", fileName.c_str(), static_cast<int>(name.size()),
                          name.data());
        return false;
    }
    m_texture = texture;
    m_textures.push_back(texture);
    return true;
}

void hgeFont::AddLetter(const Letter& read)
{
    Letter letter = read;
    if (m_texture != 0) {
        ClipSpan(letter.x, letter.width, m_hge->Texture_GetWidth(m_texture, true));
        ClipSpan(letter.y, letter.height, m_hge->Texture_GetHeight(m_texture, true));
    } else {
        letter.width = std::max(letter.width, 0);
        letter.height = std::max(letter.height, 0);
    }
    auto sprite = std::make_unique<hgeSprite>(m_texture, static_cast<float>(letter.x), static_cast<float>(letter.y),
                                              static_cast<float>(letter.width), static_cast<float>(letter.height));
    sprite->SetColor(m_colour);
    sprite->SetBlendMode(m_blend);
    m_letters[letter.byte] = std::move(sprite);
    m_pre[letter.byte] = static_cast<float>(letter.pre);
    m_post[letter.byte] = static_cast<float>(letter.post);
    m_height = std::max(m_height, static_cast<float>(letter.height));
}

int hgeFont::LetterFor(unsigned char byte) const
{
    if (m_letters[byte] != nullptr)
        return byte;
    return m_letters[kFallback] != nullptr ? kFallback : -1;
}

void hgeFont::Render(float x, float y, int align, std::string_view text)
{
    align &= HGETEXT_HORZMASK;
    const float step = m_scale * m_proportion;
    float penX = LineStart(x, align, text);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const unsigned char byte = static_cast<unsigned char>(text[i]);
        if (byte == '\n') {
            y += RoundToInt(m_height * m_scale * m_spacing);
            penX = LineStart(x, align, text.substr(i + 1));
            continue;
        }
        // A carriage return has no width when measured, so it draws nothing either.
        const int letter = byte == '\r' ? -1 : LetterFor(byte);
        if (letter < 0)
            continue;
        hgeSprite& sprite = *m_letters[letter];
        penX += m_pre[letter] * step;
        sprite.RenderEx(penX, y, m_rotation, step, m_scale);
        penX += (sprite.GetWidth() + m_post[letter] + m_tracking) * step;
    }
}

float hgeFont::LineStart(float x, int align, std::string_view line) const
{
    if (align == HGETEXT_RIGHT)
        return x - GetStringWidth(line, false);
    if (align == HGETEXT_CENTER)
        return x - RoundToInt(GetStringWidth(line, false) / 2.0f);
    return x;
}

float hgeFont::GetStringWidth(std::string_view text, bool multiline) const
{
    LineMeasure measure;
    // Only the first line counts.
    if (!multiline)
        text =
            text.substr(0, static_cast<std::size_t>(std::find_if(text.begin(), text.end(), IsLineEnd) - text.begin()));
    Measure(measure, text);
    return ScaledWidth(measure);
}

// Adds the text's letters to a running measure; a line end starts a new line.
void hgeFont::Measure(LineMeasure& measure, std::string_view text) const
{
    for (char c : text) {
        if (IsLineEnd(c)) {
            measure.widest = std::max(measure.widest, measure.line);
            measure.line = 0.0f;
            continue;
        }
        const int letter = LetterFor(static_cast<unsigned char>(c));
        if (letter >= 0)
            measure.line += m_pre[letter] + m_post[letter] + m_tracking + m_letters[letter]->GetWidth();
    }
}

float hgeFont::ScaledWidth(const LineMeasure& measure) const
{
    return std::max(measure.widest, measure.line) * m_scale * m_proportion;
}

void hgeFont::printf(float x, float y, int align, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    Format(format, args);
    va_end(args);
    Render(x, y, align, m_buffer);
}

void hgeFont::printfb(float x, float y, float width, float height, int align, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    Format(format, args);
    va_end(args);
    const int lineBreaks = Wrap(width);
    const float textHeight = static_cast<float>(lineBreaks + 1) * m_height * m_scale * m_spacing;
    if ((align & HGETEXT_HORZMASK) == HGETEXT_RIGHT)
        x += width;
    else if ((align & HGETEXT_HORZMASK) == HGETEXT_CENTER)
        x += RoundToInt(width / 2.0f);
    if ((align & HGETEXT_VERTMASK) == HGETEXT_BOTTOM)
        y += height - textHeight;
    else if ((align & HGETEXT_VERTMASK) == HGETEXT_MIDDLE)
        y += RoundToInt((height - textHeight) / 2.0f);
    Render(x, y, align, m_buffer);
}

int hgeFont::CountLines(std::string_view text, float width)
{
    m_buffer.assign(text);
    return Wrap(width) + 1;
}

// Formats into the member buffer, whatever the length; it only grows, so a text drawn again allocates nothing.
void hgeFont::Format(const char* format, va_list args)
{
    if (format == nullptr) {
        m_buffer.clear();
        return;
    }
    va_list measure;
    va_copy(measure, args);
    const int length = std::vsnprintf(nullptr, 0, format, measure);
    va_end(measure);
    if (length <= 0) {
        m_buffer.clear();
        return;
    }
    m_buffer.resize(static_cast<std::size_t>(length));
    std::vsnprintf(m_buffer.data(), m_buffer.size() + 1, format, args);
}

// Breaks the buffer into lines no wider than width where the words allow; a word wider than the box keeps a line
// of its own. Returns the number of line breaks in the wrapped text. The line is measured as it grows, word by word,
// so a long text wraps in one pass.
int hgeFont::Wrap(float width)
{
    std::string& text = m_buffer;
    LineMeasure line; // of the current line up to the word being placed
    bool firstWord = true;
    for (std::size_t wordStart = 0; wordStart <= text.size();) {
        std::size_t wordEnd = wordStart;
        while (wordEnd < text.size() && text[wordEnd] != ' ' && text[wordEnd] != '\n')
            ++wordEnd;
        LineMeasure withWord = line;
        Measure(withWord, std::string_view(text).substr(wordStart, wordEnd - wordStart));
        if (ScaledWidth(withWord) > width) {
            if (firstWord) {
                if (wordEnd < text.size())
                    text[wordEnd] = '\n';
            } else {
                text[wordStart - 1] = '\n';
                withWord = LineMeasure();
                Measure(withWord, std::string_view(text).substr(wordStart, wordEnd - wordStart));
            }
        }
        if (wordEnd < text.size() && text[wordEnd] == '\n') {
            line = LineMeasure();
            firstWord = true;
        } else {
            line = withWord;
            Measure(line, std::string_view(text).substr(wordEnd, 1));
            firstWord = false;
        }
        wordStart = wordEnd + 1;
    }
    return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

void hgeFont::SetColor(std::uint32_t colour)
{
    m_colour = colour;
    for (auto& letter : m_letters) {
        if (letter != nullptr)
            letter->SetColor(colour);
    }
}

void hgeFont::SetBlendMode(int blend)
{
    m_blend = blend;
    for (auto& letter : m_letters) {
        if (letter != nullptr)
            letter->SetBlendMode(blend);
    }
}

} // namespace Vel
