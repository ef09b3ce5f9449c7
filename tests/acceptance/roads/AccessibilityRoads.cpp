// The editor as a screen reader meets it, over the accessibility bus: with
// the sample open, on every page and in every kind of the library, each
// control a user can work shows a meaningful name and each button takes the
// focus; the screen reader's "press" does what a click does.
#include "EditorRoad.h"
#include "RoadPictures.h"
#include "Waiting.h"

#include <cctype>
#include <set>
#include <string>

using namespace acceptance;

namespace {

// Roles a user works rather than reads.
const std::set<std::string> kInteractiveRoles = {
    "push button", "toggle button", "check box", "radio button", "text", "password text",
    "spin button", "slider", "combo box", "page tab", "link",
};

// Containers whose rows are read by their texts; their rows are data, not
// controls of their own. A spin button's text is its own editing part.
const std::set<std::string> kRowContainers = {"table", "tree table", "list", "tree", "list box", "spin button"};

// A name a user can understand: two letters or digits at least (a mark such
// as "V", "..", "+" says nothing on a button), or a word of ideographs. A
// field's caption may be one letter: X, Y and Z name coordinates.
bool Meaningful(const std::string& name, const std::string& role)
{
    const bool field = role == "text" || role == "slider" || role == "spin button";
    int letters = 0;
    for (const unsigned char c : name) {
        if (c >= 0x80)
            return true;
        letters += std::isalnum(c) ? 1 : 0;
    }
    return letters >= (field ? 1 : 2);
}

void Collect(const Accessible& object, std::vector<Accessible>& controls, int depth = 0)
{
    if (depth > 30 || !object.Showing())
        return;
    const std::string role = object.Role();
    if (kInteractiveRoles.count(role))
        controls.push_back(object);
    if (kRowContainers.count(role))
        return;
    for (const Accessible& child : object.Children())
        Collect(child, controls, depth + 1);
}

bool HasPress(const Accessible& object)
{
    for (const std::string& action : object.Actions()) {
        if (action == "Press" || action == "press")
            return true;
    }
    return false;
}

}  // namespace

class AccessibilityRoad : public EditorRoad {
protected:
    // Every shown control of the main window; the failures as lines.
    std::string CheckWindow(const std::string& where)
    {
        std::vector<Accessible> controls;
        Collect(MainWindow(), controls);
        std::string failures;
        if (controls.size() < 10)
            failures += where + ": only " + std::to_string(controls.size()) + " controls found\n";
        for (const Accessible& control : controls) {
            const std::string role = control.Role();
            if (!Meaningful(control.Name(), role))
                failures += where + ": " + control.Describe() + " has no meaningful name\n";
            if ((role == "push button" || role == "toggle button" || role == "link") && !control.Focusable())
                failures += where + ": " + control.Describe() + " cannot take the focus\n";
            if ((role == "push button" || role == "link") && control.Enabled() && !HasPress(control))
                failures += where + ": " + control.Describe() + " has no press action\n";
        }
        return failures;
    }

    std::string Press(const std::string& role, const std::string& name)
    {
        const Accessible control = Find({role, name});
        if (!control)
            return role + " '" + name + "' not found\n" + DumpWindows();
        if (!control.DoAction("Press") && !control.DoAction("press"))
            return control.Describe() + ": press failed";
        return {};
    }
};

TEST_F(AccessibilityRoad, EveryControlOnEveryPageIsNamedAndEveryButtonTakesTheFocus)
{
    ASSERT_TRUE(StartEditor());
    ASSERT_TRUE(OpenRecentSet()) << DumpWindows();
    std::string failures;
    for (const char* page : {"General", "Layers", "Shots"}) {
        ASSERT_TRUE(ShowPage(page)) << DumpWindows();
        failures += CheckWindow(page);
    }
    // The library's kinds, and which one shows is read as selected.
    for (const char* kind : {"vMix", "Tolvenar", "Recent"}) {
        const Accessible tab = Find({"page tab", kind});
        ASSERT_TRUE(tab) << DumpWindows();
        Click(tab);
        ASSERT_TRUE(WaitUntil([&] { return tab.Selected(); }, 5s)) << kind << " is not read as selected";
        failures += CheckWindow(std::string("library ") + kind);
    }
    EXPECT_TRUE(failures.empty()) << failures;
    const Accessible shots = Find({"page tab", "Shots"});
    EXPECT_TRUE(shots.Selected()) << "the page shown is read as selected";
    EXPECT_FALSE(Find({"page tab", "General"}).Selected());
}

TEST_F(AccessibilityRoad, PressOnNewAddAndKeepRatioDoesWhatAClickDoes)
{
    ASSERT_TRUE(StartEditor());
    // New: the template chooser, as a click shows it.
    ASSERT_EQ(Press("push button", "New"), "");
    const Accessible chooser = Find({"check box", "Template 2"});
    ASSERT_TRUE(chooser) << DumpWindows();
    Key("Escape");
    ASSERT_TRUE(WaitGone(chooser));

    ASSERT_TRUE(OpenRecentSet()) << DumpWindows();
    ASSERT_TRUE(ShowPage("Layers")) << DumpWindows();
    // Keep ratio: its on/off state turns, and back.
    const Accessible keep = Find({"", "Keep aspect ratio when scaling"});
    ASSERT_TRUE(keep) << DumpWindows();
    const bool wasOn = keep.Checked();
    ASSERT_EQ(Press(keep.Role(), "Keep aspect ratio when scaling"), "");
    EXPECT_TRUE(WaitUntil([&] { return keep.Checked() != wasOn; }, 5s)) << "press did not turn Keep ratio";
    ASSERT_EQ(Press(keep.Role(), "Keep aspect ratio when scaling"), "");
    EXPECT_TRUE(WaitUntil([&] { return keep.Checked() == wasOn; }, 5s)) << "press did not turn Keep ratio back";

    // Add: the file chooser, and the chosen picture becomes a layer.
    const std::string picture = WritePicture(WorkFolder() + "/Logo Card.png");
    ASSERT_EQ(Press("push button", "Add"), "");
    ASSERT_TRUE(AnswerChooser(picture)) << DumpWindows();
    EXPECT_TRUE(Find({"table cell", "Logo Card"}, 10s)) << DumpWindows();
}
