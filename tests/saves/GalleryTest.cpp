#include "saves/Gallery.h"

#include "GalleryTestTools.h"

#include "core/TextCodec.h"
#include "dialogue/Textbox.h"
#include "menus/Menu.h"
#include "saves/GalleryManager.h"
#include "saves/SlideGallery.h"
#include "saves/ThumbsGallery.h"
#include "scene/RunFunctionAction.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

namespace Vel {
namespace {

using TestTools::RecordingPicture;
using Drawings = std::vector<RecordingPicture::Drawing>;

class GalleryTest : public TestTools::GalleryStage
{
protected:
    void SetUp() override
    {
        GalleryStage::SetUp();
        Prepare();
    }
};

TEST_F(GalleryTest, TriggerValuesUnlockItemsAndTextThatIsNoNumberKeepsTheirState)
{
    ThumbsGallery gallery;
    m_folder.Write("locked.bmp", TestTools::TinyBmp());
    gallery.SetLockedPicture(u"locked.bmp");
    AddItems(gallery, 1, u"seen_cg01", "cg");
    AddItems(gallery, 1, u"sys_open", "open");
    AddItems(gallery, 1, u"seen_cg02", "other");
    Resource* locked = m_systems->resources.GetSprite(u"locked.bmp");
    gallery.Show();
    EXPECT_EQ(gallery.GetDisplayedPicture(0), locked) << "an unset trigger keeps the item locked";
    EXPECT_TRUE(gallery.IsUnlocked(1)) << "sys_open is always open";

    // The values in turn: any number but 0 unlocks; text that is no number keeps the previous state.
    m_systems->triggers.Set(u"seen_cg02", u"x");
    const std::pair<std::string, bool> values[] = {{"1", true},  {"1x", true}, {"", true},
                                                   {" 1", true}, {"0", false}, {"-3", true}};
    for (const auto& [value, unlocked] : values) {
        m_systems->triggers.Set(u"seen_cg01", std::u16string(value.begin(), value.end()));
        gallery.Show();
        EXPECT_EQ(gallery.GetDisplayedPicture(0), unlocked ? m_systems->resources.GetSprite(u"cg0.bmp") : locked)
            << value;
    }
    EXPECT_FALSE(gallery.IsUnlocked(2)) << "a value that is no number unlocks nothing";
    EXPECT_EQ(gallery.GetDisplayedPicture(7), nullptr) << "out of range";
}

// 200 x 150 pictures on row 100 of a 640-pixel-wide game: previous at -160, current at 220, next at 600.
class SlideTest : public GalleryTest
{
protected:
    void Make(int items)
    {
        AddItems(m_gallery, items);
        m_gallery.SetPreviewSize(200, 150);
        m_gallery.SetPictureRow(100);
        m_gallery.SetFrameOffset(-5, -6);
        m_gallery.SetElement(Gallery::Frame, Part(m_frame, 0, 0));
        m_gallery.SetElement(Gallery::HoverFrame, Part(m_hoverFrame, 0, 0));
        m_gallery.SetCounter(&m_counter, nullptr);
        m_gallery.Build();
        m_gallery.Show();
    }
    // The motion ('-' none, '>' and '<' sliding, '~' settling), the items previous, current and next at their left
    // edges, and the counter.
    [[nodiscard]] std::string State() const
    {
        std::string state(1, "-><~"[static_cast<int>(m_gallery.GetMotion())]);
        for (const SlideGallery::Place& place : {m_gallery.GetPrevious(), m_gallery.GetCurrent(), m_gallery.GetNext()})
            state += " " + std::to_string(place.item) + "@" + std::to_string(std::lround(place.x));
        return state + " " + TextCodec::WideToUtf8(m_counter.GetSourceText());
    }
    // Frames until the row stands still.
    int Slide()
    {
        int frames = 0;
        do {
            m_gallery.Update(0.01f);
        } while (++frames < 500 && m_gallery.GetMotion() != SlideGallery::Motion::None);
        return frames;
    }

    RecordingPicture m_frame;
    RecordingPicture m_hoverFrame;
    Textbox m_counter;
    SlideGallery m_gallery;
};

TEST_F(SlideTest, SlidesShiftOnceAPictureHasLeftSettleInTheMiddleAndWrapBothWays)
{
    Make(3);
    EXPECT_EQ(State(), "- 2@-160 0@220 1@600 1");
    m_gallery.MoveForward();
    m_gallery.Update(0.01f);
    EXPECT_EQ(State(), "> 2@-167 0@213 1@593 2")
        << "7 pixels a frame; the counter names the picture that becomes current";
    m_gallery.MoveBack();
    for (int i = 0; i < 4; ++i)
        m_gallery.Update(0.01f);
    EXPECT_EQ(State(), "> 2@-195 0@185 1@565 2") << "no new slide while one runs; the previous picture still shows";
    m_gallery.Update(0.01f);
    EXPECT_EQ(State(), "~ 0@178 1@558 2@938 2") << "its right edge passed 0";
    Slide();
    EXPECT_EQ(State(), "- 0@-160 1@220 2@600 2");
    for (int i = 0; i < 2; ++i) {
        m_gallery.MoveForward();
        Slide();
    }
    EXPECT_EQ(State(), "- 2@-160 0@220 1@600 1") << "after the last comes the first";
    m_gallery.MoveBack();
    // 240 pixels until the next picture is a preview width past the right edge, 135 on to the middle, 7 a frame.
    EXPECT_NEAR(Slide(), 55, 1);
    EXPECT_EQ(State(), "- 1@-160 2@220 0@600 3");
}

TEST_F(SlideTest, AnEmptyCarouselShowsTheEmptyPictureAndOneItemIsPreviousCurrentAndNext)
{
    m_folder.Write("none.bmp", TestTools::TinyBmp());
    m_gallery.SetEmptyPicture(u"none.bmp", 10, 10);
    Make(0);
    EXPECT_FALSE(m_counter.IsVisible());
    m_gallery.MoveForward();
    EXPECT_EQ(State(), "- 0@-160 0@220 0@600 ") << "nothing to slide";
    Draw(m_gallery);
    EXPECT_TRUE(m_frame.drawings.empty());
    EXPECT_TRUE(Drawn("none.bmp"));

    AddItems(m_gallery, 1);
    m_gallery.Show();
    Draw(m_gallery);
    EXPECT_TRUE(Drawn("p0.bmp"));
    EXPECT_EQ(m_frame.drawings, (Drawings{{-165, 94}, {595, 94}, {215, 94}})) << "previous, next, current";
    EXPECT_EQ(m_hoverFrame.drawings, (Drawings{{215, 94}})) << "the unlocked current picture";
    m_gallery.MoveForward();
    Slide();
    EXPECT_EQ(State(), "- 0@-160 0@220 0@600 1");
}

// A 3 x 4 board of 100 x 100 cells from (0, 0) with 80 x 60 thumbnails: the first one covers (10, 20) to (90, 80).
class ThumbsTest : public GalleryTest
{
protected:
    void Make(ThumbsGallery& gallery, int items, const std::string& prefix = "p")
    {
        AddItems(gallery, items, u"sys_open", prefix);
        gallery.SetPreviewSize(80, 60);
        gallery.SetBoard(0, 0, 400, 300);
        gallery.SetRows(3);
        gallery.SetColumns(4);
        gallery.SetFrameOffset(-2, -3);
        gallery.SetElement(Gallery::Frame, Part(m_frame, 0, 0));
        gallery.SetElement(Gallery::Next, Part(m_next, 500, 400));
        gallery.SetElement(Gallery::NextHover, Part(m_nextHover, 500, 400));
        gallery.SetElement(Gallery::Previous, Part(m_previous, 400, 400));
        gallery.SetElement(Gallery::Cancel, Part(m_cancel, 600, 0));
        gallery.SetCounter(&m_counter, nullptr);
        gallery.Build();
        gallery.Show();
    }
    // How often next, previous and cancel were drawn.
    [[nodiscard]] std::vector<std::size_t> Buttons() const
    {
        return {m_next.drawings.size(), m_previous.drawings.size(), m_cancel.drawings.size()};
    }

    RecordingPicture m_frame, m_next, m_nextHover, m_previous, m_cancel;
    Textbox m_counter;
    ThumbsGallery m_gallery;
};

TEST_F(ThumbsTest, PageButtonsShowOnlyWithASecondPageAndABoardWithoutRowsOrColumnsHasNone)
{
    Make(m_gallery, 12);
    EXPECT_EQ(m_gallery.GetPageCount(), 1);
    Draw(m_gallery);
    EXPECT_EQ(Buttons(), (std::vector<std::size_t>{0, 0, 1}));
    m_gallery.TestMouse(510, 410, false);
    const SceneNode* nextHover = m_gallery.GetElement(Gallery::NextHover);
    EXPECT_FALSE(nextHover->IsVisible()) << "an undrawn button does not light up";

    AddItems(m_gallery, 1, u"sys_open", "q");
    EXPECT_EQ(m_gallery.GetPageCount(), 2);
    const std::vector<ThumbsGallery::Cell>& cells = m_gallery.GetCells();
    EXPECT_EQ((std::vector<float>{cells[0].x1, cells[0].y1, cells[0].x2, cells[0].y2, cells[11].x1, cells[11].y1}),
              (std::vector<float>{10, 20, 90, 80, 310, 220}));
    m_gallery.TestMouse(510, 410, false);
    EXPECT_TRUE(nextHover->IsVisible());
    m_gallery.TestMouse(510, 410, true);
    EXPECT_EQ(m_counter.GetSourceText(), u"2") << "the hover picture carries the next button's action";
    m_frame.drawings.clear();
    Draw(m_gallery);
    EXPECT_EQ(m_frame.drawings, (Drawings{{8, 17}})) << "one thumbnail, in the first cell";
    EXPECT_EQ(Buttons(), (std::vector<std::size_t>{0, 1, 2})) << "the hover picture stands in for next";
    m_gallery.MoveForward();
    EXPECT_EQ(m_gallery.GetPage(), 0) << "after the last page comes the first";
    m_gallery.MoveBack();
    EXPECT_EQ(m_gallery.GetPage(), 1) << "before the first comes the last";

    m_gallery.Clear();
    AddItems(m_gallery, 5, u"sys_open", "r");
    EXPECT_EQ(m_gallery.GetPage(), 0) << "limited to the pages there are";
    m_gallery.SetRows(-4);
    EXPECT_EQ(m_gallery.GetPageCount(), 0);
    m_frame.drawings.clear();
    Draw(m_gallery);
    EXPECT_TRUE(m_frame.drawings.empty());
    m_gallery.SetRows(3);
    m_gallery.SetColumns(0);
    EXPECT_EQ(m_gallery.GetPageCount(), 0);
}

// Replayed mouse and keys on the board; the tests prepare the interface with their replay.
class GalleryInputTest : public ThumbsTest
{
protected:
    void SetUp() override { GalleryStage::SetUp(); }

    // The choice menu "choice": a background and one button at (300, 300, 100 x 50) that runs "load_back".
    Menu& MakeChoiceMenu()
    {
        m_folder.Write("menu.bmp", TestTools::TinyBmp());
        m_systems->resources.GetSprite(u"menuback")->SetFile(u"menu.bmp");
        static_cast<void>(m_systems->resources.GetSprite(u"backlit"));
        Menu* menu = m_systems->menus.CreateMenu(u"choice");
        menu->SetBackground(u"menuback");
        menu->AddButton(
            u"backlit", 300, 300, 100, 50,
            std::make_shared<RunFunctionAction>(Callback<void()>(&m_systems->galleries, &GalleryManager::DeselectAll)));
        return *menu;
    }
};

// The hovered thumbnail's second frame is checked by the end-to-end save run.
TEST_F(GalleryInputTest, AClickedUnlockedThumbnailFillsTheScreenUntilEscape)
{
    // Clicks on the locked thumbnail 2 and just right of thumbnail 1, which open nothing, then on the last pixel of
    // thumbnail 1; escape closes it. The click gate takes one click per 0.3 s.
    Prepare("1 click 250 50\n20 click 190 50\n40 click 189 79\n44 down escape\n45 up escape\n47 down escape\n", 50);
    Make(m_gallery, 2);
    AddItems(m_gallery, 1, u"never", "locked");
    m_gallery.Show();
    std::string frames;
    Run(m_gallery, [&] {
        frames += m_gallery.IsFullView() ? std::to_string(m_gallery.GetViewedItem()) : "-";
        if (m_gallery.IsFullView() && !Drawn("p1.bmp"))
            Draw(m_gallery);
    });
    EXPECT_EQ(frames, std::string(39, '-') + "1111" + std::string(7, '-')) << "open from the click at frame 40";
    EXPECT_TRUE(Drawn("p1.bmp")) << "stretched over the screen";
    EXPECT_FALSE(Drawn("p0.bmp")) << "and nothing else";
    EXPECT_EQ(m_gallery.GetViewedItem(), 0u);
}

TEST_F(GalleryInputTest, ASelectedSaveOpensTheChoiceMenuOnceAndLoadBackHidingOrClosingTheMenuEndsIt)
{
    // Select, click the picture again under the menu, then the menu's button; the click gate allows one per 0.3 s.
    Prepare("2 click 50 50\n25 click 50 50\n46 move 310 310\n48 click 310 310\n", 55);
    Menu& menu = MakeChoiceMenu();
    auto* gallery = static_cast<ThumbsGallery*>(m_systems->galleries.Add(u"saves", std::make_unique<ThumbsGallery>()));
    gallery->SetSaveLoadMode(true);
    gallery->SetChoiceMenu(u"choice");
    Make(*gallery, 2, "save/0000000");
    // Each change of state with its frame: selected, the menu's depth, a picture opened.
    std::string changes, last;
    int frame = 0;
    Run(*gallery, [&] {
        const std::string now = (gallery->IsSelectionMade() ? "S" : "-") +
                                std::to_string(m_systems->menus.GetStack().size()) + (gallery->IsFullView() ? "F" : "");
        changes += now != last ? std::to_string(frame) + now + " " : "";
        last = now;
        if (++frame == 10)
            Draw(*gallery);
    });
    // Selected at frame 1, the menu opens on the next frame, once, and takes the second click, so no picture opens;
    // its load_back deselects and closes it.
    EXPECT_EQ(changes, "0-0 1S0 2S1 47-0 ");
    EXPECT_EQ(m_systems->galleries.GetSelectedSave(), u"save/00000000.sav");
    EXPECT_TRUE(Drawn("menuback")) << "the menu is drawn over the screen";

    // Hidden with the menu open: the selection and the menu end.
    gallery->TestMouse(50, 50, true);
    gallery->Update(kFrame);
    EXPECT_EQ(gallery->GetOpenChoiceMenu(), &menu);
    gallery->Hide();
    EXPECT_FALSE(gallery->IsSelectionMade());
    EXPECT_TRUE(m_systems->menus.GetStack().empty());
    EXPECT_EQ(gallery->GetOpenChoiceMenu(), nullptr);

    // The menu closed some other way ends the selection too, so it is not opened again.
    gallery->Show();
    gallery->TestMouse(50, 50, true);
    gallery->Update(kFrame);
    m_systems->menus.CloseAll();
    EXPECT_FALSE(gallery->IsSelectionMade());
    gallery->Update(kFrame);
    EXPECT_TRUE(m_systems->menus.GetStack().empty());

    // Without the named menu the selection is kept.
    gallery->SetChoiceMenu(u"missing");
    gallery->TestMouse(50, 50, true);
    gallery->Update(kFrame);
    EXPECT_TRUE(gallery->IsSelectionMade());
    EXPECT_TRUE(m_systems->menus.GetStack().empty());
    EXPECT_FALSE(gallery->IsFullView()) << "a save never opens full screen";
    gallery->TestMouse(150, 50, true);
    EXPECT_EQ(m_systems->galleries.GetSelectedSave(), u"save/00000001.sav") << "the latest pick";
}

} // namespace
} // namespace Vel
