#include "script/GalleryStatements.h"

#include "core/TextCodec.h"
#include "dialogue/DialogManager.h"
#include "resources/ResourceManager.h"
#include "saves/Gallery.h"
#include "saves/GalleryManager.h"
#include "saves/SaveGames.h"
#include "saves/SlideGallery.h"
#include "saves/ThumbsGallery.h"
#include "scene/Poster.h"
#include "scene/SceneNode.h"
#include "script/CommandLine.h"
#include "script/ParseManager.h"
#include "script/RequireManager.h"
#include "script/ScriptError.h"
#include "script/ScriptLinter.h"
#include "script/ScriptValues.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace Vel {

namespace {

Gallery& TopGallery(const ParseManager& parser, std::u16string_view statement)
{
    return parser.TopBlockAs<Gallery>(BlockKind::Gallery, statement);
}

// A name already taken keeps its first gallery; the new one is still filled by its block, it is just never shown.
template <typename Kind> void BeginGallery(ParseManager& parser, const CommandLine& line, std::u16string_view statement)
{
    Gallery* gallery = RequireManager<GalleryManager>(statement).Add(line.GetArgument(0), std::make_unique<Kind>());
    parser.PushBlock(BlockKind::Gallery, gallery);
}

void SaveLoadPictures(ParseManager& parser)
{
    Gallery& gallery = TopGallery(parser, u"saveload_pics");
    gallery.SetSaveLoadMode(true);
    if (const SaveGames* saves = SaveGames::GetSingletonPtr())
        saves->RebuildSaveList(gallery);
}

// pic(file, condition): the condition names a trigger, or is "sys_open" for an item that is always open.
void Picture(ParseManager& parser, const CommandLine& line)
{
    Gallery& gallery = TopGallery(parser, u"pic");
    static_cast<void>(RequireManager<ResourceManager>(u"pic"));
    gallery.AddItem(line.GetArgument(0), line.GetArgument(1), u"");
    parser.Note(LintKind::GalleryPicture, line.GetArgument(0));
}

// counter(textbox=, style=): a counter without a text box draws nowhere, so no nameless box is made for it.
void Counter(ParseManager& parser, const CommandLine& line)
{
    Gallery& gallery = TopGallery(parser, u"counter");
    const std::u16string boxName = line.GetAttribute(u"textbox");
    Textbox* box = boxName.empty() ? nullptr : RequireManager<DialogManager>(u"counter").GetTextbox(boxName);
    gallery.SetCounter(box, RequireManager<ResourceManager>(u"counter").GetStyle(line.GetAttribute(u"style")));
}

// preview(size=w:h, y=n): without a size the item size stays; the picture row belongs to slide galleries only.
void Preview(ParseManager& parser, const CommandLine& line)
{
    Gallery& gallery = TopGallery(parser, u"preview");
    if (!line.GetAttribute(u"size").empty()) {
        float width = 0.0f;
        float height = 0.0f;
        ScriptValues::ReadPair(line, u"size", width, height);
        gallery.SetPreviewSize(width, height);
    }
    const std::u16string row = line.GetAttribute(u"y");
    if (row.empty())
        return;
    const float y = ScriptValues::ToFloat(row, ScriptValues::Attribute(line, u"y"));
    if (auto* slides = dynamic_cast<SlideGallery*>(&gallery))
        slides->SetPictureRow(y);
}

// board(align=x:y, size=w:h, rows=n, cols=n): the grid's rectangle; rows and columns only when written.
void Board(ParseManager& parser, const CommandLine& line)
{
    auto* thumbs = dynamic_cast<ThumbsGallery*>(&TopGallery(parser, u"board"));
    if (thumbs == nullptr)
        throw ScriptError("board needs a thumbnail gallery");
    float x = 0.0f;
    float y = 0.0f;
    float width = 0.0f;
    float height = 0.0f;
    ScriptValues::ReadRectangle(line, x, y, width, height);
    const std::u16string rows = line.GetAttribute(u"rows");
    const std::u16string columns = line.GetAttribute(u"cols");
    const std::int32_t rowCount = rows.empty() ? 0 : ScriptValues::ToInt(rows, ScriptValues::Attribute(line, u"rows"));
    const std::int32_t columnCount =
        columns.empty() ? 0 : ScriptValues::ToInt(columns, ScriptValues::Attribute(line, u"cols"));
    thumbs->SetBoard(x, y, x + width, y + height);
    // Absent counts keep the grid the gallery has, so a later board may move it without repeating them.
    if (!rows.empty())
        thumbs->SetRows(rowCount);
    if (!columns.empty())
        thumbs->SetColumns(columnCount);
}

// nosavegames(picture, align=x:y): the position is read leniently; a value that does not read stays 0.
void NoSaveGames(ParseManager& parser, const CommandLine& line)
{
    Gallery& gallery = TopGallery(parser, u"nosavegames");
    static_cast<void>(RequireManager<ResourceManager>(u"nosavegames"));
    std::int32_t x = 0;
    std::int32_t y = 0;
    ScriptValues::TryParseInt(line.GetAttribute(u"align1"), x);
    ScriptValues::TryParseInt(line.GetAttribute(u"align2"), y);
    gallery.SetEmptyPicture(line.GetArgument(0), static_cast<float>(x), static_cast<float>(y));
    parser.Note(LintKind::GalleryPicture, line.GetArgument(0));
}

// gamesaved(picture, align=x:y): the notice shown for two seconds after each save.
void GameSaved(ParseManager& parser, const CommandLine& line)
{
    Gallery& gallery = TopGallery(parser, u"gamesaved");
    float x = 0.0f;
    float y = 0.0f;
    ScriptValues::ReadPair(line, u"align", x, y);
    constexpr float kNoticeSeconds = 2.0f;
    gallery.SetNotice(std::make_unique<Poster>(line.GetArgument(0), x, y, kNoticeSeconds));
    parser.Note(LintKind::NoticePicture, line.GetArgument(0));
}

struct Part
{
    std::u16string_view keyword;
    Gallery::Slot slot;
};

constexpr Part kParts[] = {
    {u"bg", Gallery::Background},       {u"border", Gallery::Frame},    {u"border2", Gallery::HoverFrame},
    {u"next", Gallery::Next},           {u"next2", Gallery::NextHover}, {u"prev", Gallery::Previous},
    {u"prev2", Gallery::PreviousHover}, {u"cancel", Gallery::Cancel},   {u"cancel2", Gallery::CancelHover},
};

// A part is a node for the named picture in its slot. The frame is drawn at each item, so its align is the offset
// from the item's corner rather than a place on the screen.
void AddPart(ParseManager& parser, const CommandLine& line, const Part& part)
{
    Gallery& gallery = TopGallery(parser, part.keyword);
    const std::u16string name = line.GetArgument(0);
    Resource* picture = RequireManager<ResourceManager>(part.keyword).FindResource(name);
    if (picture == nullptr)
        parser.AddWarning("gallery part " + TextCodec::WideToUtf8(part.keyword) + " names '" +
                          TextCodec::WideToUtf8(name) + "', which is no picture defined so far: it will draw nothing");
    auto node = std::make_unique<SceneNode>();
    node->SetName(name);
    node->SetResource(picture);
    if (!line.GetAttribute(u"align").empty()) {
        float x = 0.0f;
        float y = 0.0f;
        ScriptValues::ReadPair(line, u"align", x, y);
        if (part.slot == Gallery::Frame)
            gallery.SetFrameOffset(x, y);
        else
            node->MoveTo(x, y);
    }
    gallery.SetElement(part.slot, std::move(node));
}

void RegisterGallerySettings(ParseManager& parser)
{
    parser.AddHandler(u"saveload_pics", [&parser](CommandLine&) { SaveLoadPictures(parser); });
    parser.AddHandler(u"choicemenu", [&parser](CommandLine& line) {
        TopGallery(parser, u"choicemenu").SetChoiceMenu(line.GetArgument(0));
    });
    parser.AddHandler(u"pic", [&parser](CommandLine& line) { Picture(parser, line); });
    parser.AddHandler(u"none", [&parser](CommandLine& line) {
        Gallery& gallery = TopGallery(parser, u"none");
        static_cast<void>(RequireManager<ResourceManager>(u"none"));
        gallery.SetLockedPicture(line.GetArgument(0));
        parser.Note(LintKind::GalleryPicture, line.GetArgument(0));
    });
    parser.AddHandler(u"counter", [&parser](CommandLine& line) { Counter(parser, line); });
    parser.AddHandler(u"date", [&parser](CommandLine& line) {
        Gallery& gallery = TopGallery(parser, u"date");
        gallery.SetLabelStyle(RequireManager<ResourceManager>(u"date").GetStyle(line.GetAttribute(u"style")));
    });
    parser.AddHandler(u"preview", [&parser](CommandLine& line) { Preview(parser, line); });
    parser.AddHandler(u"board", [&parser](CommandLine& line) { Board(parser, line); });
    parser.AddHandler(u"nosavegames", [&parser](CommandLine& line) { NoSaveGames(parser, line); });
    parser.AddHandler(u"gamesaved", [&parser](CommandLine& line) { GameSaved(parser, line); });
}

} // namespace

void RegisterGalleryStatements(ParseManager& parser)
{
    parser.AddHandler(u"beginslide",
                      [&parser](CommandLine& line) { BeginGallery<SlideGallery>(parser, line, u"beginslide"); });
    parser.AddHandler(u"beginthumbs",
                      [&parser](CommandLine& line) { BeginGallery<ThumbsGallery>(parser, line, u"beginthumbs"); });
    RegisterGallerySettings(parser);
    for (const Part& part : kParts)
        parser.AddHandler(std::u16string(part.keyword),
                          [&parser, &part](CommandLine& line) { AddPart(parser, line, part); });
}

} // namespace Vel
