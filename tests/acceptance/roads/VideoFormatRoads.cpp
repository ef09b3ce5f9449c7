// Changing the project's video format from the frame menu while a set is
// open with an edit not yet saved: the set, its places and the edit stay,
// the engine's canvas changes, and the next start keeps the format.
#include "EditorRoad.h"
#include "Waiting.h"

#include <QColor>
#include <QImage>
#include <QJsonArray>
#include <fstream>
#include <sstream>

using namespace acceptance;

class VideoFormatRoad : public EditorRoad {
protected:
    // Frame menu → Video Format: the submenu opens.
    bool OpenVideoFormatMenu()
    {
        OpenFrameMenu();
        const Accessible submenu = Find({"menu item", "Video Format"});
        if (!submenu)
            return false;
        Input().MoveTo(submenu.Center());
        Click(submenu);
        return true;
    }

    bool ChooseVideoFormat(const std::string& name) { return OpenVideoFormatMenu() && ChooseMenuItem(name); }

    // Whether the format is the checked one in the submenu; the menu closes again.
    bool FormatIsChecked(const std::string& name)
    {
        if (!OpenVideoFormatMenu())
            return false;
        const Accessible item = Find({"menu item", name});
        const bool checked = item && item.Checked();
        Key("Escape");
        Key("Escape");
        WaitGone(item);
        return checked;
    }

    std::string SettingsFile() const
    {
        std::ifstream in(DataFolder() + "/Setting.xml", std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
};

TEST_F(VideoFormatRoad, AChangeKeepsTheOpenSetAndItsUnsavedEditAndTheNextStartKeepsIt)
{
    ASSERT_TRUE(StartEditor());
    ASSERT_TRUE(OpenRecentSet());
    ASSERT_TRUE(ShowPage("Layers")) << DumpWindows();
    Click(Find({"table cell", "Desk"}));
    const Accessible x = Find({"text", "X"});
    ASSERT_TRUE(x) << DumpWindows();
    TypeInto(x, "0.25");
    Key("Return");
    ASSERT_TRUE(WaitUntil([&] { return x.Text() == "0.250"; }, 5s)) << "the row shows " << x.Text();
    const std::string title = MainTitle();

    ASSERT_TRUE(ChooseVideoFormat("UHD 2160p50")) << DumpWindows();
    ASSERT_TRUE(WaitUntil([&] { return EditorLog().find("base resolution:   3840x2160") != std::string::npos; }, 20s))
        << "the engine's canvas did not change";
    EXPECT_EQ(MainTitle(), title) << "the open set stays";
    EXPECT_NE(SettingsFile().find("<Width>3840</Width>"), std::string::npos) << SettingsFile();
    EXPECT_NE(SettingsFile().find("<FrameRate>50.00</FrameRate>"), std::string::npos);
    EXPECT_NE(SettingsFile().find("<Name>UHD 2160p50</Name>"), std::string::npos);
    Screenshot("uhd");

    // The preview fits the new canvas: the screen's warm picture is where it
    // was (a preview still scaled for the old canvas shows the set's dark
    // upper left corner there).
    const Accessible preview = Find({"", "Preview"});
    ASSERT_TRUE(preview) << DumpWindows();
    const QRect place = PlaceOf(preview);
    const QPoint onTheScreen(place.x() + place.width() * 70 / 100, place.y() + place.height() * 38 / 100);
    int shot = 0;
    QColor seen;
    EXPECT_TRUE(WaitUntil(
        [&] {
            seen = QImage(QString::fromStdString(Screenshot("fitted-" + std::to_string(++shot)))).pixelColor(onTheScreen);
            return seen.red() > 150 && seen.red() > seen.blue() + 40;
        },
        10s))
        << "the screen's place on the preview shows " << seen.name().toStdString();

    // The edit typed before the change is what Save writes, at its place.
    Key("ctrl+s");
    const Accessible saved = Find({"label", "Save Success"}, 20s);
    ASSERT_TRUE(saved) << DumpWindows();
    Key("Return");
    ASSERT_TRUE(WaitGone(saved));
    const QJsonArray layers = SetInfo(SetsFolder() + "/Sample Studio")["layers"].toArray();
    EXPECT_EQ(layers[1].toObject()["name"].toString(), "Desk");
    EXPECT_NEAR(layers[1].toObject()["x"].toDouble(-99.0), 0.25, 1e-6);
    EXPECT_NEAR(layers[0].toObject()["x"].toDouble(-99.0), 0.0, 1e-6) << "the other layers keep their places";

    // The next start comes up in the chosen format.
    Input().Click(TitleButtonCenter(MainWindow(), TitleButton::Close));
    ASSERT_EQ(WaitForEditorExit(), 0) << EditorLog();
    const size_t firstRun = EditorLog().size();
    ASSERT_TRUE(StartEditor());
    const auto secondRun = [&] { return EditorLog().substr(firstRun); };
    ASSERT_TRUE(WaitUntil([&] { return secondRun().find("base resolution:   3840x2160") != std::string::npos; }, 20s))
        << secondRun();
    EXPECT_TRUE(FormatIsChecked("UHD 2160p50"));
}
