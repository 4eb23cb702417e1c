#include "saves/Gallery.h"

#include "GalleryTestTools.h"

#include "menus/Menu.h"
#include "saves/ThumbsGallery.h"
#include "scene/RunFunctionAction.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace Vel {
namespace {

using TestTools::RecordingPicture;

// Replayed mouse and keys on a 640 x 480 game. A thumbnail board of one row of four 100 x 100 cells from (0, 0),
// thumbnails of 80 x 60: the first one covers (10, 20) to (90, 80).
class GalleryInputTest : public TestTools::GalleryStage
{
protected:
    void MakeThumbs(ThumbsGallery& gallery, int items, const std::string& prefix = "p")
    {
        AddItems(gallery, items, u"sys_open", prefix);
        gallery.SetPreviewSize(80, 60);
        gallery.SetBoard(0, 0, 400, 100);
        gallery.SetRows(1);
        gallery.SetColumns(4);
        gallery.SetElement(Gallery::Cancel, Part(m_cancel, 600, 0));
        gallery.SetElement(Gallery::CancelHover, Part(m_cancelHover, 600, 0));
        gallery.Build();
        gallery.Show();
    }

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

    RecordingPicture m_cancel;
    RecordingPicture m_cancelHover;
};

TEST_F(GalleryInputTest, AClickedThumbnailFillsTheScreenUntilEscape)
{
    Prepare("1 move 150 50\n2 click 150 50\n6 down escape\n7 up escape\n9 down escape\n", 10);
    ThumbsGallery gallery;
    MakeThumbs(gallery, 3);
    std::string frames;
    Run(gallery, [&] {
        frames += gallery.IsFullView() ? std::to_string(gallery.GetViewedItem()) : "-";
        if (frames.size() == 3)
            Draw(gallery);
    });
    EXPECT_EQ(frames, "-1111-----");
    EXPECT_TRUE(Drawn("p1.bmp")) << "stretched over the screen";
    EXPECT_FALSE(Drawn("p0.bmp")) << "and nothing else";
    EXPECT_EQ(gallery.GetViewedItem(), 0u);
}

TEST_F(GalleryInputTest, ASelectedSaveOpensTheChoiceMenuOnceAndLoadBackHidingOrClosingTheMenuEndsIt)
{
    // Select, click the picture again under the menu, then the menu's button; the click gate allows one per 0.3 s.
    Prepare("2 click 50 50\n25 click 50 50\n46 move 310 310\n48 click 310 310\n", 55);
    Menu& menu = MakeChoiceMenu();
    auto* gallery = static_cast<ThumbsGallery*>(m_systems->galleries.Add(u"saves", std::make_unique<ThumbsGallery>()));
    gallery->SetSaveLoadMode(true);
    gallery->SetChoiceMenu(u"choice");
    MakeThumbs(*gallery, 2, "save/0000000");
    std::vector<std::string> frames;
    std::size_t deepest = 0;
    Run(*gallery, [&] {
        deepest = std::max(deepest, m_systems->menus.GetStack().size());
        frames.push_back(std::string(gallery->IsSelectionMade() ? "S" : "-") +
                         std::to_string(m_systems->menus.GetStack().size()) + (gallery->IsFullView() ? "F" : ""));
        if (frames.size() == 10)
            Draw(*gallery);
    });
    EXPECT_EQ(deepest, 1u) << "opened once, not pushed again every frame";
    EXPECT_EQ(frames[0], "-0");
    EXPECT_EQ(frames[1], "S0") << "selected";
    EXPECT_EQ(frames[2], "S1") << "the menu opens on the next frame";
    EXPECT_EQ(frames[30], "S1") << "the second click went to the menu, and no picture opened";
    EXPECT_EQ(frames[47], "-0") << "load_back deselects and closes the menu";
    EXPECT_EQ(frames[54], "-0");
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

// The picture gallery's cancel button is clicked in the end-to-end demo run.
TEST_F(GalleryInputTest, CancelClosesTheSaveLoadScreen)
{
    Prepare("1 move 610 10\n3 click 610 10\n", 4);
    ThumbsGallery saveLoad;
    saveLoad.SetSaveLoadMode(true);
    MakeThumbs(saveLoad, 1);
    m_systems->scenes.SetSaveLoadGallery(&saveLoad);
    m_systems->scenes.ShowSaveLoad();

    std::string frames;
    Run(saveLoad, [&] { frames += m_systems->scenes.IsSaveLoadShown() ? 'L' : '-'; });
    EXPECT_EQ(frames, "LL--");
}

} // namespace
} // namespace Vel
