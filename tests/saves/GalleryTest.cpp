#include "saves/Gallery.h"

#include "GalleryTestTools.h"

#include "dialogue/Textbox.h"
#include "saves/GalleryManager.h"
#include "saves/SlideGallery.h"
#include "saves/ThumbsGallery.h"

#include <gtest/gtest.h>

#include <memory>
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
    Resource* locked = m_resources->GetSprite(u"locked.bmp");
    Resource* picture = m_resources->GetSprite(u"cg0.bmp");

    gallery.Show();
    EXPECT_FALSE(gallery.IsUnlocked(0)) << "an unset trigger keeps the item locked";
    EXPECT_EQ(gallery.GetDisplayedPicture(0), locked);
    EXPECT_TRUE(gallery.IsUnlocked(1)) << "sys_open is always open";
    EXPECT_EQ(gallery.GetDisplayedPicture(1), m_resources->GetSprite(u"open0.bmp"));

    m_triggers->Set(u"seen_cg01", u"1");
    m_triggers->Set(u"seen_cg02", u"x");
    gallery.Show();
    EXPECT_TRUE(gallery.IsUnlocked(0));
    EXPECT_EQ(gallery.GetDisplayedPicture(0), picture);
    EXPECT_FALSE(gallery.IsUnlocked(2)) << "a value that is no number unlocks nothing";

    for (const char16_t* notANumber : {u"x", u"1x", u"", u" 1"}) {
        m_triggers->Set(u"seen_cg01", notANumber);
        gallery.Show();
        EXPECT_TRUE(gallery.IsUnlocked(0)) << "keeps the previous state";
    }
    m_triggers->Set(u"seen_cg01", u"0");
    gallery.Show();
    EXPECT_FALSE(gallery.IsUnlocked(0));
    EXPECT_EQ(gallery.GetDisplayedPicture(0), locked);
    m_triggers->Set(u"seen_cg01", u"-3");
    gallery.Show();
    EXPECT_TRUE(gallery.IsUnlocked(0)) << "any number but 0 unlocks";

    EXPECT_EQ(gallery.GetPictureFile(0), u"cg0.bmp");
    EXPECT_EQ(gallery.GetPictureFile(7), u"") << "out of range";
    EXPECT_EQ(gallery.GetDisplayedPicture(7), nullptr);
    EXPECT_FALSE(gallery.IsUnlocked(7));
    gallery.Clear();
    EXPECT_EQ(gallery.GetItemCount(), 0u);
}

TEST_F(GalleryTest, AnItemNamedByFileLoadsThatFileAndOneDefinedByTheScriptKeepsItsOwn)
{
    m_folder.Write("defined.bmp", TestTools::TinyBmp());
    m_resources->GetSprite(u"cg_named")->SetFile(u"defined.bmp");
    ThumbsGallery gallery;
    gallery.AddItem(u"cg_named", u"sys_open", u"");
    AddItems(gallery, 1);
    EXPECT_EQ(m_resources->GetSprite(u"cg_named")->GetFile(), u"defined.bmp");
    EXPECT_EQ(m_resources->GetSprite(u"p0.bmp")->GetFile(), u"p0.bmp");
}

TEST_F(GalleryTest, TheManagerKeepsTheFirstGalleryOfANameAndDeselectsEveryGallery)
{
    auto first = std::make_unique<ThumbsGallery>();
    auto second = std::make_unique<SlideGallery>();
    Gallery* firstPtr = m_galleries->Add(u"g", std::move(first));
    Gallery* secondPtr = m_galleries->Add(u"g", std::move(second));
    EXPECT_NE(secondPtr, nullptr) << "kept alive for the block that is being read";
    EXPECT_EQ(m_galleries->Find(u"g"), firstPtr);
    EXPECT_EQ(m_galleries->Find(u"other"), nullptr);

    for (Gallery* gallery : {firstPtr, secondPtr}) {
        gallery->SetSaveLoadMode(true);
        AddItems(*gallery, 1);
        gallery->Build();
        gallery->Show();
    }
    // A click on each one's first item selects its save.
    auto* thumbs = static_cast<ThumbsGallery*>(firstPtr);
    thumbs->SetRows(1);
    thumbs->SetColumns(1);
    thumbs->SetBoard(0, 0, 100, 100);
    firstPtr->SetPreviewSize(100, 100);
    secondPtr->SetPreviewSize(100, 100);
    static_cast<SlideGallery*>(secondPtr)->SetPictureRow(0);
    firstPtr->TestMouse(50, 50, true);
    secondPtr->TestMouse(300, 50, true);
    EXPECT_TRUE(firstPtr->IsSelectionMade());
    EXPECT_TRUE(secondPtr->IsSelectionMade());
    EXPECT_EQ(m_galleries->GetSelectedSave(), u"p0.sav");

    m_galleries->DeselectAll();
    EXPECT_FALSE(firstPtr->IsSelectionMade());
    EXPECT_FALSE(secondPtr->IsSelectionMade());
}

// A carousel of 200 x 150 pictures on row 100 of a 640-pixel-wide game: previous at -160, current at 220, next at
// 600.
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
    [[nodiscard]] std::vector<std::size_t> Items() const
    {
        return {m_gallery.GetPrevious().item, m_gallery.GetCurrent().item, m_gallery.GetNext().item};
    }
    [[nodiscard]] std::vector<float> Xs() const
    {
        return {m_gallery.GetPrevious().x, m_gallery.GetCurrent().x, m_gallery.GetNext().x};
    }
    // Settled where the row started, the current picture exactly in the middle.
    void ExpectAtStart() const
    {
        EXPECT_EQ(m_gallery.GetMotion(), SlideGallery::Motion::None);
        EXPECT_NEAR(m_gallery.GetPrevious().x, -160.0f, 0.01f);
        EXPECT_EQ(m_gallery.GetCurrent().x, 220.0f);
        EXPECT_NEAR(m_gallery.GetNext().x, 600.0f, 0.01f);
    }
    // Frames until the row stands still; at most a few seconds' worth.
    int Slide()
    {
        int frames = 0;
        do {
            m_gallery.Update(0.01f);
            ++frames;
        } while (m_gallery.GetMotion() != SlideGallery::Motion::None && frames < 500);
        return frames;
    }

    RecordingPicture m_frame;
    RecordingPicture m_hoverFrame;
    Textbox m_counter;
    SlideGallery m_gallery;
};

TEST_F(SlideTest, OneItemIsShownAsPreviousCurrentAndNextPicture)
{
    Make(1);
    EXPECT_EQ(Items(), (std::vector<std::size_t>{0, 0, 0}));
    EXPECT_EQ(Xs(), (std::vector<float>{-160, 220, 600}));
    EXPECT_EQ(m_gallery.CentreX(), 220.0f);
    Draw(m_gallery);
    EXPECT_TRUE(Drawn("p0.bmp"));
    EXPECT_EQ(m_frame.drawings, (Drawings{{-165, 94}, {595, 94}, {215, 94}})) << "previous, next, current";
    EXPECT_EQ(m_hoverFrame.drawings, (Drawings{{215, 94}})) << "the unlocked current picture";
    EXPECT_EQ(m_counter.GetSourceText(), u"1");
    EXPECT_TRUE(m_counter.IsVisible());

    m_gallery.MoveForward();
    Slide();
    EXPECT_EQ(Items(), (std::vector<std::size_t>{0, 0, 0}));
    EXPECT_FLOAT_EQ(m_gallery.GetCurrent().x, 220.0f);
}

TEST_F(SlideTest, ForwardSlidesLeftShiftsOnceThePreviousPictureHasLeftAndSettlesInTheMiddle)
{
    Make(3);
    EXPECT_EQ(Items(), (std::vector<std::size_t>{2, 0, 1}));
    m_gallery.MoveForward();
    EXPECT_EQ(m_counter.GetSourceText(), u"2") << "the picture that becomes current";
    EXPECT_EQ(m_gallery.GetMotion(), SlideGallery::Motion::SlidingForward);
    m_gallery.Update(0.01f);
    EXPECT_EQ(Items(), (std::vector<std::size_t>{2, 0, 1})) << "the previous picture still shows 33 pixels";
    EXPECT_FLOAT_EQ(m_gallery.GetPrevious().x, -167.0f);
    EXPECT_FLOAT_EQ(m_gallery.GetNext().x, 593.0f);
    m_gallery.MoveBack();
    EXPECT_EQ(m_gallery.GetMotion(), SlideGallery::Motion::SlidingForward) << "no new slide while one runs";
    for (int i = 0; i < 4; ++i)
        m_gallery.Update(0.01f);
    EXPECT_EQ(Items(), (std::vector<std::size_t>{2, 0, 1}));
    m_gallery.Update(0.01f);
    EXPECT_EQ(Items(), (std::vector<std::size_t>{0, 1, 2})) << "its right edge passed 0";
    EXPECT_EQ(m_gallery.GetMotion(), SlideGallery::Motion::Settling);
    Slide();
    ExpectAtStart();

    m_gallery.MoveForward();
    Slide();
    m_gallery.MoveForward();
    Slide();
    EXPECT_EQ(Items(), (std::vector<std::size_t>{2, 0, 1})) << "round again to the first";
    EXPECT_EQ(m_counter.GetSourceText(), u"1");
}

TEST_F(SlideTest, BackSlidesRightAndWrapsToTheLastItem)
{
    Make(3);
    m_gallery.MoveBack();
    EXPECT_EQ(m_counter.GetSourceText(), u"3");
    const int frames = Slide();
    EXPECT_EQ(Items(), (std::vector<std::size_t>{1, 2, 0}));
    ExpectAtStart();
    // 240 pixels until the next picture is a preview width past the right edge, then 135 on to the middle, at 7
    // pixels a frame.
    EXPECT_NEAR(frames, 55, 1);
}

TEST_F(SlideTest, AnEmptyCarouselNeitherSlidesNorCountsAndShowsTheEmptyPicture)
{
    m_folder.Write("none.bmp", TestTools::TinyBmp());
    m_gallery.SetEmptyPicture(u"none.bmp", 10, 10);
    Make(0);
    EXPECT_FALSE(m_counter.IsVisible()) << "nothing to count";
    m_gallery.MoveForward();
    m_gallery.MoveBack();
    EXPECT_EQ(m_gallery.GetMotion(), SlideGallery::Motion::None);
    m_gallery.TestMouse(300, 150, true);
    EXPECT_FALSE(m_gallery.IsFullView());
    Draw(m_gallery);
    EXPECT_TRUE(m_frame.drawings.empty());
    EXPECT_TRUE(Drawn("none.bmp"));

    // Items that come later are laid out afresh.
    AddItems(m_gallery, 2);
    EXPECT_EQ(Items(), (std::vector<std::size_t>{1, 0, 1}));
}

TEST_F(SlideTest, ALockedCurrentPictureHasNoSecondFrameAndDoesNotOpen)
{
    AddItems(m_gallery, 1, u"never_set", "locked");
    Make(1);
    Draw(m_gallery);
    EXPECT_TRUE(m_hoverFrame.drawings.empty());
    EXPECT_FALSE(Drawn("locked0.bmp")) << "the locked picture stands in for it";
    m_gallery.TestMouse(300, 150, true);
    EXPECT_FALSE(m_gallery.IsFullView());
    m_gallery.MoveForward();
    Slide();
    m_gallery.TestMouse(300, 150, true);
    EXPECT_TRUE(m_gallery.IsFullView()) << "the next item is open";
    EXPECT_FALSE(m_counter.IsVisible());
}

// A 3 x 4 board of 100 x 100 cells from (0, 0) with 80 x 60 thumbnails: the first one at (10, 20).
class ThumbsTest : public GalleryTest
{
protected:
    void Make(int items)
    {
        AddItems(m_gallery, items);
        m_gallery.SetPreviewSize(80, 60);
        m_gallery.SetBoard(0, 0, 400, 300);
        m_gallery.SetRows(3);
        m_gallery.SetColumns(4);
        m_gallery.SetFrameOffset(-2, -3);
        m_gallery.SetElement(Gallery::Frame, Part(m_frame, 0, 0));
        m_gallery.SetElement(Gallery::HoverFrame, Part(m_hoverFrame, 0, 0));
        m_gallery.SetElement(Gallery::Next, Part(m_next, 500, 400));
        m_gallery.SetElement(Gallery::NextHover, Part(m_nextHover, 500, 400));
        m_gallery.SetElement(Gallery::Previous, Part(m_previous, 400, 400));
        m_gallery.SetElement(Gallery::PreviousHover, Part(m_previousHover, 400, 400));
        m_gallery.SetElement(Gallery::Cancel, Part(m_cancel, 600, 0));
        m_gallery.SetCounter(&m_counter, nullptr);
        m_gallery.Build();
        m_gallery.Show();
    }
    // How often each button was drawn: next, previous, cancel.
    [[nodiscard]] std::vector<std::size_t> Buttons() const
    {
        return {m_next.drawings.size(), m_previous.drawings.size(), m_cancel.drawings.size()};
    }

    RecordingPicture m_frame;
    RecordingPicture m_hoverFrame;
    RecordingPicture m_next, m_nextHover, m_previous, m_previousHover, m_cancel;
    Textbox m_counter;
    ThumbsGallery m_gallery;
};

TEST_F(ThumbsTest, ThirteenItemsOnAThreeByFourBoardMakeTwoPagesWithTheSameCells)
{
    Make(13);
    EXPECT_EQ(m_gallery.GetItemsPerPage(), 12);
    EXPECT_EQ(m_gallery.GetPageCount(), 2);
    const ThumbsGallery::Cell& first = m_gallery.GetCells()[0];
    EXPECT_EQ((std::vector<float>{first.x1, first.y1, first.x2, first.y2}), (std::vector<float>{10, 20, 90, 80}));
    const ThumbsGallery::Cell& last = m_gallery.GetCells()[11];
    EXPECT_EQ((std::vector<float>{last.x1, last.y1}), (std::vector<float>{310, 220}));
    const ThumbsGallery::Cell& thirteenth = m_gallery.GetCells()[12];
    EXPECT_EQ((std::vector<float>{thirteenth.x1, thirteenth.y1}), (std::vector<float>{10, 20}));
    EXPECT_EQ(m_counter.GetSourceText(), u"1");

    m_gallery.MoveForward();
    EXPECT_EQ(m_gallery.GetPage(), 1);
    EXPECT_EQ(m_counter.GetSourceText(), u"2");
    Draw(m_gallery);
    EXPECT_EQ(m_frame.drawings, (Drawings{{8, 17}})) << "one thumbnail, in the first cell";
    EXPECT_TRUE(Drawn("p12.bmp"));
    for (int i = 0; i < 12; ++i)
        EXPECT_FALSE(Drawn("p" + std::to_string(i) + ".bmp")) << i;
    EXPECT_EQ(Buttons(), (std::vector<std::size_t>{1, 1, 1}));
    EXPECT_TRUE(m_nextHover.drawings.empty()) << "hover pictures wait for the mouse";

    m_gallery.MoveForward();
    EXPECT_EQ(m_gallery.GetPage(), 0) << "after the last page comes the first";
    m_gallery.MoveBack();
    EXPECT_EQ(m_gallery.GetPage(), 1) << "before the first comes the last";
    EXPECT_EQ(m_counter.GetSourceText(), u"2");
}

TEST_F(ThumbsTest, OnePageDrawsNoPageButtonsAndTheyTakeNoClicks)
{
    Make(12);
    EXPECT_EQ(m_gallery.GetPageCount(), 1);
    Draw(m_gallery);
    EXPECT_EQ(Buttons(), (std::vector<std::size_t>{0, 0, 1}));
    EXPECT_EQ(m_frame.drawings.size(), 12u);
    m_gallery.TestMouse(510, 410, false);
    const SceneNode* nextHover = m_gallery.GetElement(Gallery::NextHover);
    EXPECT_FALSE(nextHover->IsVisible()) << "an undrawn button does not light up";

    // The thirteenth item brings the second page and its buttons.
    AddItems(m_gallery, 13, u"sys_open", "q");
    m_gallery.TestMouse(510, 410, false);
    EXPECT_TRUE(nextHover->IsVisible());
    m_gallery.TestMouse(510, 410, true);
    EXPECT_EQ(m_gallery.GetPage(), 1) << "the hover picture carries the next button's action";
}

TEST_F(ThumbsTest, TheHoveredUnlockedThumbnailGetsTheSecondFrame)
{
    Make(2);
    m_triggers->Set(u"never", u"");
    AddItems(m_gallery, 1, u"never", "locked");
    m_gallery.Show();
    m_gallery.TestMouse(150, 50, false);
    EXPECT_TRUE(m_gallery.GetCells()[1].hover);
    EXPECT_FALSE(m_gallery.GetCells()[0].hover);
    Draw(m_gallery);
    EXPECT_EQ(m_hoverFrame.drawings, (Drawings{{108, 17}}));
    EXPECT_EQ(m_frame.drawings, (Drawings{{8, 17}, {208, 17}}));

    m_frame.drawings.clear();
    m_hoverFrame.drawings.clear();
    m_gallery.TestMouse(250, 50, true);
    EXPECT_FALSE(m_gallery.IsFullView()) << "a locked thumbnail does not open";
    Draw(m_gallery);
    EXPECT_TRUE(m_hoverFrame.drawings.empty()) << "nor does it light up";
    m_gallery.TestMouse(90, 50, true);
    EXPECT_FALSE(m_gallery.IsFullView()) << "the right edge is outside";
    m_gallery.TestMouse(89.5f, 79.5f, true);
    EXPECT_TRUE(m_gallery.IsFullView());
    EXPECT_EQ(m_gallery.GetViewedItem(), 0u);
}

TEST_F(ThumbsTest, BoardsWithoutRowsOrColumnsShowNothingAndThePageFollowsTheItems)
{
    Make(13);
    m_gallery.MoveForward();
    m_gallery.Clear();
    AddItems(m_gallery, 5, u"sys_open", "r");
    EXPECT_EQ(m_gallery.GetPageCount(), 1);
    EXPECT_EQ(m_gallery.GetPage(), 0) << "limited to the pages there are";

    m_gallery.SetRows(0);
    EXPECT_EQ(m_gallery.GetPageCount(), 0);
    m_gallery.MoveForward();
    m_gallery.MoveBack();
    m_gallery.TestMouse(50, 50, true);
    EXPECT_FALSE(m_gallery.IsFullView());
    m_frame.drawings.clear();
    Draw(m_gallery);
    EXPECT_TRUE(m_frame.drawings.empty());
    m_gallery.SetRows(-4);
    EXPECT_EQ(m_gallery.GetRows(), 0);
    m_gallery.SetRows(3);
    m_gallery.SetColumns(0);
    EXPECT_EQ(m_gallery.GetPageCount(), 0);
}

TEST_F(ThumbsTest, ASaveLoadScreenWithoutSavesDrawsTheEmptyListPicture)
{
    m_folder.Write("nosaves.bmp", TestTools::TinyBmp());
    m_gallery.SetEmptyPicture(u"nosaves.bmp", 200, 200);
    m_gallery.SetSaveLoadMode(true);
    Make(1);
    Draw(m_gallery);
    EXPECT_FALSE(Drawn("nosaves.bmp")) << "there is a save";
    m_gallery.Clear();
    m_gallery.Show();
    Draw(m_gallery);
    EXPECT_TRUE(Drawn("nosaves.bmp"));
    EXPECT_EQ(m_frame.drawings.size(), 1u) << "only the save's frame, drawn before it went";
}

} // namespace
} // namespace Vel
