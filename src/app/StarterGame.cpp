#include "app/StarterGame.h"

#include "app/StarterPictures.h"
#include "core/TextCodec.h"
#include "core/TextFile.h"
#include "resources/FontGenerator.h"

#include <stdlib.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <map>
#include <vector>

namespace Vel {
namespace {

namespace fs = std::filesystem;

// Debian's fonts-dejavu-core, which the engine's setup installs.
constexpr const char* kFaceFolder = "/usr/share/fonts/truetype/dejavu";
constexpr const char* kFaceLicence = "/usr/share/doc/fonts-dejavu-core/copyright";
constexpr int kErrorFontSize = 18;
// Debian's fonts-droid-fallback: Chinese, Japanese and Korean letters, which DejaVu Sans lacks.
constexpr const char* kFallbackFace = "/usr/share/fonts/truetype/droid/DroidSansFallbackFull.ttf";
constexpr const char* kFallbackLicence = "/usr/share/doc/fonts-droid-fallback/copyright";

constexpr const char* kSystem = R"(# {TITLE}: the display and the special menus. The engine reads this file first, then script.vls.
graphics_init(resolution={W}:{H}, fullscreen=0)
# id names the player's folder of saves and settings: ~/Documents/Velloria/{ID}/.
game_init(title="{TITLE}", saveload=saves, id={ID})
# main: opened by the right-click menu's "Title"; rightclick: the right button or Escape over the story;
# options: opened by every "Options" button.
menus(main=titlemenu, rightclick=pausemenu, options=optionsmenu)
# The scene the game starts with (story.vls). "velloria GAME_DIR --scene NAME" starts at another one.
start_scene(title)
)";

constexpr const char* kScript = R"(# Everything but the display: pictures and text styles first, then the interface, then the story.
# A name must be defined before a line uses it, so the order of these files matters.
include(pictures.vls)
include(interface.vls)
include(story.vls)
)";

constexpr const char* kPictures = R"(# Pictures and text styles. Every picture is a file of the game folder; replace them with your own, keeping
# their names, or add new ones with object(NAME, file=...).

# Backgrounds: the size of the screen, drawn at 0:0.
object(title_bg, file=pics/title.png)
object(bg_day, file=pics/bg_day.png)
object(bg_river, file=pics/bg_river.png)
object(bg_hill, file=pics/bg_hill.png)

# The text panel at the bottom of the screen, and the mark that asks for a click when a text is complete.
object(panel, file=menus/panel.png)
object(more, file=menus/more.png)

# Styles: fonts/dejavu.ttf drawn at size pixels. Every language's letters are drawn; for Chinese, Japanese or
# Korean add a face with those letters to fonts/ and name it in fallback=.
style(speech, font=dejavu, size=22{FALLBACK}, il=110, speed=40, clickme=more, color=f6efe0)
style(narration, font=dejavu, size=22{FALLBACK}, il=110, speed=40, clickme=more, color=e8d9a8)
style(speaker, font=dejavu, size=22{FALLBACK}, color=f3d34a)
style(choice, font=dejavu, size=22{FALLBACK}, color=f3d34a)

# Text boxes: where texts are typed. Speeches go into main with the speaker's name in name; text() lines into
# narration.
textbox(name, align=44:{NAME_Y}, size=400:30)
textbox(main, align=44:{TEXT_Y}, size={TEXT_W}:104)
textbox(narration, align=44:{TEXT_Y}, size={TEXT_W}:104)

# A character: a picture for each pose, and one shown while its voice plays (speak=).
object(guide, file=pics/guide.png)
object(guide_talk, file=pics/guide_talk.png)
begincharacter(guide)
pose(calm, idle=guide, speak=guide_talk)
dialog(textbox=main, namebox=name, namestyle=speaker, style=speech, name=Guide)
end
)";

constexpr const char* kInterface = R"(# The interface. Menus are text buttons over a background: a label in a style, over a picture stretched to the
# button's size. button.png is a nine-slice picture, whose 12-pixel corners stay sharp at any size; the lit one is
# shown while the mouse or the keyboard's focus is on the button. A text button without action= is a label.
nineslice(button, file=menus/button.png, border=12:12:12:12)
nineslice(button_lit, file=menus/button_lit.png, border=12:12:12:12)
object(dim, file=menus/dim.png)
style(label, font=dejavu, size=22{FALLBACK}, color=f6efe0)
style(label_lit, font=dejavu, size=22{FALLBACK}, color=f3d34a)
style(heading, font=dejavu, size=44{FALLBACK}, color=f6efe0)
style(small, font=dejavu, size=16{FALLBACK}, color=f6efe0)
style(small_lit, font=dejavu, size=16{FALLBACK}, color=f3d34a)

# The title menu. The engine's trigger _cancontinue says whether there is a save to continue from; the switch
# shows the menu with Continue then. The heading is a text button without action: a label.
beginswitch(titlemenu, default=firstmenu)
switch(continuemenu, trigger=_cancontinue, value=yes)
end

beginmenu(firstmenu)
background(title_bg)
textbutton(name, text="{TITLE}", style=heading, align={HEAD_X}:{HEAD_Y}, size={HEAD_W}:70)
textbutton(start, text=Start, style=label, hoverstyle=label_lit, align={MENU_X}:{MENU_Y0}, size=240:44, idle=button, hover=button_lit, action=goto(opening))
textbutton(load, text=Load, style=label, hoverstyle=label_lit, align={MENU_X}:{MENU_Y1}, size=240:44, idle=button, hover=button_lit, action=load)
textbutton(options, text=Options, style=label, hoverstyle=label_lit, align={MENU_X}:{MENU_Y2}, size=240:44, idle=button, hover=button_lit, action=options)
textbutton(quit, text=Quit, style=label, hoverstyle=label_lit, align={MENU_X}:{MENU_Y3}, size=240:44, idle=button, hover=button_lit, action=end)
end

beginmenu(continuemenu)
background(title_bg)
textbutton(name, text="{TITLE}", style=heading, align={HEAD_X}:{HEAD_Y}, size={HEAD_W}:70)
textbutton(start, text=Start, style=label, hoverstyle=label_lit, align={MENU_X}:{MENU_Y0}, size=240:44, idle=button, hover=button_lit, action=goto(opening))
textbutton(continue, text=Continue, style=label, hoverstyle=label_lit, align={MENU_X}:{MENU_Y1}, size=240:44, idle=button, hover=button_lit, action=continue)
textbutton(load, text=Load, style=label, hoverstyle=label_lit, align={MENU_X}:{MENU_Y2}, size=240:44, idle=button, hover=button_lit, action=load)
textbutton(options, text=Options, style=label, hoverstyle=label_lit, align={MENU_X}:{MENU_Y3}, size=240:44, idle=button, hover=button_lit, action=options)
textbutton(quit, text=Quit, style=label, hoverstyle=label_lit, align={MENU_X}:{MENU_Y4}, size=240:44, idle=button, hover=button_lit, action=end)
end

# Options: the four volumes and the two speeds as rows of boxes (0 to 10), the screen mode, and back.
object(slider_box, file=menus/slider_box.png)
object(slider_bg, file=menus/slider_bg.png)

beginmenu(optionsmenu)
background(dim)
textbutton(heading, text=Options, style=heading, align={HEAD_X}:{OPT_HEAD_Y}, size={HEAD_W}:60)
textbutton(music_label, text=Music, style=label, align={LABEL_X}:{ROW_Y0}, size=200:40)
visualslider(music, bind=music, box=slider_box, bg=slider_bg, max=11, spacing=4, align={SLIDER_X}:{SLIDER_Y0})
textbutton(voice_label, text=Voices, style=label, align={LABEL_X}:{ROW_Y1}, size=200:40)
visualslider(voice, bind=voice, box=slider_box, bg=slider_bg, max=11, spacing=4, align={SLIDER_X}:{SLIDER_Y1})
textbutton(sfx_label, text=Sounds, style=label, align={LABEL_X}:{ROW_Y2}, size=200:40)
visualslider(sfx, bind=sfx, box=slider_box, bg=slider_bg, max=11, spacing=4, align={SLIDER_X}:{SLIDER_Y2})
textbutton(general_label, text=All sound, style=label, align={LABEL_X}:{ROW_Y3}, size=200:40)
visualslider(general, bind=general, box=slider_box, bg=slider_bg, max=11, spacing=4, align={SLIDER_X}:{SLIDER_Y3})
textbutton(textspeed_label, text=Text speed, style=label, align={LABEL_X}:{ROW_Y4}, size=200:40)
visualslider(textspeed, bind=textspeed, box=slider_box, bg=slider_bg, max=11, spacing=4, align={SLIDER_X}:{SLIDER_Y4})
textbutton(autospeed_label, text=Auto speed, style=label, align={LABEL_X}:{ROW_Y5}, size=200:40)
visualslider(autospeed, bind=autospeed, box=slider_box, bg=slider_bg, max=11, spacing=4, align={SLIDER_X}:{SLIDER_Y5})
textbutton(window, text=Window, style=label, hoverstyle=label_lit, align={SLIDER_X}:{ROW_Y6}, size=150:44, idle=button, hover=button_lit, action=window)
textbutton(fullscreen, text=Full screen, style=label, hoverstyle=label_lit, align={FULL_X}:{ROW_Y6}, size=150:44, idle=button, hover=button_lit, action=fullscreen)
textbutton(back, text=Back, style=label, hoverstyle=label_lit, align={BACK_X}:{BACK_Y}, size=160:44, idle=button, hover=button_lit, action=back)
end

# The right-click menu of the story; Escape opens and closes it too.
beginmenu(pausemenu)
background(dim)
textbutton(save, text=Save, style=label, hoverstyle=label_lit, align={MENU_X}:{PAUSE_Y0}, size=240:44, idle=button, hover=button_lit, action=save)
textbutton(load, text=Load, style=label, hoverstyle=label_lit, align={MENU_X}:{PAUSE_Y1}, size=240:44, idle=button, hover=button_lit, action=load)
textbutton(options, text=Options, style=label, hoverstyle=label_lit, align={MENU_X}:{PAUSE_Y2}, size=240:44, idle=button, hover=button_lit, action=options)
textbutton(title, text=Title, style=label, hoverstyle=label_lit, align={MENU_X}:{PAUSE_Y3}, size=240:44, idle=button, hover=button_lit, action=main)
textbutton(back, text=Back, style=label, hoverstyle=label_lit, align={MENU_X}:{PAUSE_Y4}, size=240:44, idle=button, hover=button_lit, action=game)
end

# Opened over the save/load screen when a save is picked.
beginmenu(slotchoice)
background(dim)
textbutton(load, text=Load, style=label, hoverstyle=label_lit, align={MENU_X}:{PAUSE_Y1}, size=240:44, idle=button, hover=button_lit, action=load_load)
textbutton(delete, text=Delete, style=label, hoverstyle=label_lit, align={MENU_X}:{PAUSE_Y2}, size=240:44, idle=button, hover=button_lit, action=load_delete)
textbutton(back, text=Back, style=label, hoverstyle=label_lit, align={MENU_X}:{PAUSE_Y3}, size=240:44, idle=button, hover=button_lit, action=load_back)
end

# The save/load screen: the saves' screenshots in pages of 2 rows of 3, each with its date.
object(saves_bg, file=menus/saves_bg.png)
object(frame, file=menus/frame.png)
object(frame_lit, file=menus/frame_lit.png)
object(prev, file=menus/prev.png)
object(prev_lit, file=menus/prev_lit.png)
object(next, file=menus/next.png)
object(next_lit, file=menus/next_lit.png)
object(close, file=menus/close.png)
object(close_lit, file=menus/close_lit.png)
object(saved, file=menus/saved.png)
style(date, font=dejavu, size=16{FALLBACK}, color=f6efe0)

beginthumbs(saves)
saveload_pics
choicemenu(slotchoice)
bg(saves_bg)
board(align=40:90, size={BOARD_W}:{BOARD_H}, rows=2, cols=3)
preview(size={THUMB_W}:{THUMB_H})
border(frame, align=-4:-6)
border2(frame_lit, align=-4:-6)
date(style=date)
gamesaved(saved, align={SAVED_X}:20)
prev(prev, align={PREV_X}:{ARROW_Y})
prev2(prev_lit, align={PREV_X}:{ARROW_Y})
next(next, align={NEXT_X}:{ARROW_Y})
next2(next_lit, align={NEXT_X}:{ARROW_Y})
cancel(close, align={CLOSE_X}:{CLOSE_Y})
cancel2(close_lit, align={CLOSE_X}:{CLOSE_Y})
end

# Over the story: the text panel and the quick menu above it. Each scene of the story shows it with interface(hud).
begininterface(hud)
object(panel, layer=0, align=20:{PANEL_Y})
textbutton(q_history, text=History, style=small, hoverstyle=small_lit, align={QUICK_X0}:{QUICK_Y}, size=84:28, action=history)
textbutton(q_skip, text=Skip, style=small, hoverstyle=small_lit, align={QUICK_X1}:{QUICK_Y}, size=84:28, action=skip)
textbutton(q_auto, text=Auto, style=small, hoverstyle=small_lit, align={QUICK_X2}:{QUICK_Y}, size=84:28, action=auto)
textbutton(q_save, text=Save, style=small, hoverstyle=small_lit, align={QUICK_X3}:{QUICK_Y}, size=84:28, action=save)
textbutton(q_load, text=Load, style=small, hoverstyle=small_lit, align={QUICK_X4}:{QUICK_Y}, size=84:28, action=load)
textbutton(q_options, text=Options, style=small, hoverstyle=small_lit, align={QUICK_X5}:{QUICK_Y}, size=84:28, action=options)
end
)";

constexpr const char* kStory = R"(# The story. A scene runs its lines in order. "name=text" is a speech of a character: it waits for a click, and
# an empty line ends it. text(...) shows a text in a box and waits too.
# While you write, run the game with --dev: saving a script reloads it and restarts the scene you are in.

# The first scene: the title menu. Its Start button goes to "opening".
beginscene(title)
menu(titlemenu)
pause
end

beginscene(opening)
# From here on the right button and Escape open the right-click menu.
rightclick(yes)
object(bg_day, layer=0, align=0:0, opacity=0:100:800)
interface(hud)
text(textbox=narration, style=narration, text="A bright morning at the crossroads. Someone is waiting there.")
character(guide, layer=1, align={GUIDE_X}:{GUIDE_Y}, pose=calm, opacity=0:100:600)
guide=Hello! I am the guide of your new game. Everything you see comes from the files of its folder.

guide=Two roads go on from here. Which one shall we take?

# A choice: the entry picked runs its action.
beginselection
entry(text=Follow the river, style=choice, align=44:{CHOICE_Y0}, size={TEXT_W}:36, action=goto(river))
entry(text=Climb the hill, style=choice, align=44:{CHOICE_Y1}, size={TEXT_W}:36, action=goto(hill))
end
end

beginscene(river)
object(bg_river, layer=0, align=0:0, opacity=0:100:800)
interface(hud)
character(guide, layer=1, align={GUIDE_X}:{GUIDE_Y}, pose=calm)
guide=The river it is. Listen to the water! Your own story goes into story.vls.

text(textbox=narration, style=narration, text="The end by the river. Click to go back to the title.")
goto(title)
end

beginscene(hill)
object(bg_hill, layer=0, align=0:0, opacity=0:100:800)
interface(hud)
character(guide, layer=1, align={GUIDE_X}:{GUIDE_Y}, pose=calm)
guide=What a view from up here. The sun is going down already.

text(textbox=narration, style=narration, text="The end on the hill. Click to go back to the title.")
goto(title)
end
)";

using Values = std::map<std::string, std::string>;

// Every {NAME} of the text replaced by its value.
std::string Fill(std::string text, const Values& values)
{
    for (const auto& [name, value] : values) {
        const std::string token = "{" + name + "}";
        for (std::size_t at = text.find(token); at != std::string::npos; at = text.find(token, at + value.size()))
            text.replace(at, token.size(), value);
    }
    return text;
}

// The places of the menus and the story, worked out for the screen's size (the numbers of an 800 x 600 game are
// the ones the pictures were drawn for; larger screens centre the menus and widen the text panel).
Values Layout(const std::string& title, const std::string& id, int w, int h, bool fallback)
{
    Values v;
    v["FALLBACK"] = fallback ? ", fallback=cjk" : "";
    const auto set = [&](const std::string& name, int value) { v[name] = std::to_string(value); };
    const int cx = w / 2;
    v["TITLE"] = title;
    v["ID"] = id;
    set("W", w);
    set("H", h);
    set("HEAD_X", w / 10);
    set("HEAD_W", w - w / 5);
    set("HEAD_Y", h * 16 / 100);
    set("OPT_HEAD_Y", h * 3 / 100);
    set("MENU_X", cx - 120);
    for (int i = 0; i < 5; ++i) {
        set("MENU_Y" + std::to_string(i), h * 42 / 100 + i * 56);
        set("PAUSE_Y" + std::to_string(i), h * 26 / 100 + i * 56);
    }
    set("LABEL_X", cx - 310);
    set("SLIDER_X", cx - 90);
    set("FULL_X", cx + 70);
    // Seven rows between the heading and the Back button, closer together on a small screen.
    const int rowTop = std::max(h * 12 / 100, 80);
    const int rowStep = std::min(52, (h - 100 - rowTop) / 7);
    for (int row = 0; row < 7; ++row) {
        set("ROW_Y" + std::to_string(row), rowTop + row * rowStep);
        set("SLIDER_Y" + std::to_string(row), rowTop + row * rowStep + 7);
    }
    set("BACK_X", cx - 80);
    set("BACK_Y", h - 80);
    set("PANEL_Y", h - 170);
    set("NAME_Y", h - 162);
    set("TEXT_Y", h - 128);
    set("TEXT_W", w - 88);
    set("CHOICE_Y0", h - 128);
    set("CHOICE_Y1", h - 84);
    set("QUICK_Y", h - 202);
    for (int i = 0; i < 6; ++i)
        set("QUICK_X" + std::to_string(i), w - 20 - (6 - i) * 88);
    set("GUIDE_X", cx - 120);
    set("GUIDE_Y", h - 480);
    const int thumbWidth = (w - 80) / 3 - 64;
    set("BOARD_W", w - 80);
    set("BOARD_H", h - 200);
    set("THUMB_W", thumbWidth);
    set("THUMB_H", thumbWidth * h / w);
    set("SAVED_X", w - 84);
    set("ARROW_Y", h - 66);
    set("PREV_X", cx - 150);
    set("NEXT_X", cx + 86);
    set("CLOSE_X", cx - 24);
    set("CLOSE_Y", h - 64);
    return v;
}

// The player's folder name: the title's letters and digits in lower case, the rest as single hyphens.
std::string IdOf(const std::string& title)
{
    std::string id;
    for (const char c : title) {
        if (std::isalnum(static_cast<unsigned char>(c)) != 0 && static_cast<unsigned char>(c) < 0x80)
            id += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        else if (!id.empty() && id.back() != '-')
            id += '-';
    }
    while (!id.empty() && id.back() == '-')
        id.pop_back();
    return id.empty() ? "new-game" : id;
}

// A title in Chinese, Japanese or Korean brings the face of their letters, so the heading draws and the game's own
// texts in that language do too.
bool NeedsFallback(const std::string& title)
{
    for (std::size_t at = 0; at < title.size();) {
        const TextCodec::Step step = TextCodec::DecodeOne(title.data() + at, title.size() - at);
        at += step.length;
        const char32_t c = step.codePoint;
        if ((c >= 0x1100 && c <= 0x11FF) || (c >= 0x2E80 && c <= 0x9FFF) || (c >= 0xAC00 && c <= 0xD7AF) ||
            (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFF00 && c <= 0xFFEF))
            return true;
    }
    return false;
}

bool CopyFaces(const fs::path& fonts, bool fallback, std::string& error)
{
    struct Face
    {
        fs::path from;
        const char* to;
        const char* package;
    };
    std::vector<Face> files = {
        {fs::path(kFaceFolder) / "DejaVuSans.ttf", "dejavu.ttf", "fonts-dejavu-core"},
        {fs::path(kFaceFolder) / "DejaVuSans-Bold.ttf", "dejavubd.ttf", "fonts-dejavu-core"},
        {kFaceLicence, "LICENSE-dejavu.txt", "fonts-dejavu-core"},
    };
    if (fallback) {
        files.push_back({kFallbackFace, "cjk.ttf", "fonts-droid-fallback"});
        files.push_back({kFallbackLicence, "LICENSE-droid.txt", "fonts-droid-fallback"});
    }
    std::error_code failure;
    fs::create_directories(fonts, failure);
    for (const Face& file : files) {
        if (!fs::copy_file(file.from, fonts / file.to, failure)) {
            error = "cannot copy " + file.from.string() + " (" + failure.message() +
                    "); the engine's setup installs it with the Debian package " + file.package;
            return false;
        }
    }
    return true;
}

bool WriteAll(const fs::path& folder, const StarterOptions& options, const std::string& title, std::string& error)
{
    const bool fallback = NeedsFallback(title);
    const Values values = Layout(title, IdOf(title), options.width, options.height, fallback);
    const std::vector<std::pair<const char*, const char*>> scripts = {
        {"system.vls", kSystem}, {"script.vls", kScript},       {"pictures.vls", kPictures},
        {"interface.vls", kInterface}, {"story.vls", kStory},
    };
    for (const auto& [name, text] : scripts) {
        if (!WriteTextFile((folder / name).string(), Fill(text, values), error))
            return false;
    }
    return CopyFaces(folder / "fonts", fallback, error) &&
           FontGenerator::Generate((folder / "fonts" / "dejavu.ttf").string(), kErrorFontSize, "CP1252",
                                   (folder / "font1.fnt").string(), error) &&
           StarterPictures::Write(folder.string(), options.width, options.height, error);
}

} // namespace

bool StarterGame::IsUsableTitle(const std::string& title)
{
    for (std::size_t at = 0; at < title.size();) {
        const TextCodec::Step step = TextCodec::DecodeOne(title.data() + at, title.size() - at);
        if (step.result != TextCodec::StepResult::Valid || step.codePoint == U'"' || step.codePoint < 0x20 ||
            step.codePoint == 0x7F)
            return false;
        at += step.length;
    }
    return true;
}

bool StarterGame::Write(const StarterOptions& options, std::string& error)
{
    // 1. The folder is new or empty.
    const fs::path target = fs::absolute(options.folder).lexically_normal();
    std::error_code failure;
    if (fs::exists(target, failure) && (!fs::is_directory(target, failure) || !fs::is_empty(target, failure))) {
        error = target.string() + " is not an empty folder; nothing was written";
        return false;
    }
    // 2. Everything goes into a folder beside it first.
    const fs::path parent = target.has_filename() ? target.parent_path() : target.parent_path().parent_path();
    fs::create_directories(parent, failure);
    std::string pattern = (parent / ".velloria-new-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        error = "cannot make a folder in " + parent.string();
        return false;
    }
    const fs::path staging(pattern);
    std::string title = options.title.empty() ? target.filename().string() : options.title;
    // 3. Written whole, it takes the target's place (an empty folder there is replaced).
    if (!WriteAll(staging, options, title, error) || (fs::rename(staging, target, failure), failure)) {
        if (error.empty())
            error = "cannot move the game to " + target.string() + ": " + failure.message();
        fs::remove_all(staging, failure);
        return false;
    }
    return true;
}

} // namespace Vel
