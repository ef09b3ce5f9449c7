// The numeric rows of the Layers and Shots pages: what a typed or loaded
// value shows, and what the record gets.
#include "ui/SliderChannel.h"

#include "../lumora_widgets/WidgetTestSupport.h"

#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QTest>
#include <QToolButton>
#include <QWheelEvent>

namespace {

// A position row (-2 … 2) and a zoom row (0.002 … 5, four times coarser above 1).
constexpr ChannelSpec kPosition{1103, 1083, 1092, 1093, 1541, -2000, 2000, 0, 0};
constexpr ChannelSpec kZoom{1105, 1239, 1241, 1242, 1543, 2, 2000, 1000, 1000};

class SliderChannelTest : public ::testing::Test {
protected:
    SliderChannelTest() { m_page.resize(400, 120); }

    // Types into the row's edit as a user does and leaves it with Enter.
    void TypeInto(CSliderChannel& row, const QString& text)
    {
        row.Edit()->setFocus();
        row.Edit()->selectAll();
        QTest::keyClicks(row.Edit(), text);
        QTest::keyClick(row.Edit(), Qt::Key_Return);
    }

    // The application comes first: no widget exists without it.
    QApplication& m_app = widgettest::App();
    QWidget m_page;
};

}  // namespace

TEST_F(SliderChannelTest, ATypedValueShowsAndIsStoredAsTyped)
{
    CSliderChannel row(kPosition, &m_page);
    std::vector<float> stored;
    row.SetChangeHandler([&](int) { stored.push_back(row.ModelValue()); });
    TypeInto(row, QStringLiteral("0.7"));
    EXPECT_EQ(row.Edit()->text(), QStringLiteral("0.700"));
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(stored[0], 0.7f);
    // The record's float comes back the same, not cut to 0.699.
    row.SetModelValue(stored[0]);
    EXPECT_EQ(row.Edit()->text(), QStringLiteral("0.700"));
    EXPECT_EQ(row.Slider()->value(), 700);

    TypeInto(row, QStringLiteral("-1,25"));  // a decimal comma is a decimal point
    EXPECT_EQ(row.Edit()->text(), QStringLiteral("-1.250"));
    EXPECT_EQ(stored.back(), -1.25f);
    TypeInto(row, QStringLiteral("9"));  // beyond the row: its end
    EXPECT_EQ(row.Edit()->text(), QStringLiteral("2.000"));
    TypeInto(row, QStringLiteral("abc"));  // no number: the value stays
    EXPECT_EQ(row.Edit()->text(), QStringLiteral("2.000"));
    EXPECT_EQ(stored.size(), 3u);
}

TEST_F(SliderChannelTest, LoadedValuesShowRoundedNotCut)
{
    CSliderChannel row(kPosition, &m_page);
    for (const auto& [model, shown] : {std::pair{-0.7f, "-0.700"}, {-0.4f, "-0.400"}, {1.9f, "1.900"}, {-0.0001f, "0.000"}}) {
        row.SetModelValue(model);
        EXPECT_EQ(row.Edit()->text(), QString::fromLatin1(shown)) << model;
    }
    EXPECT_EQ(ChannelValueFromModel(kPosition, 0.7f), 700);
    EXPECT_EQ(ChannelValueFromModel(kPosition, -0.7f), -700);
}

TEST_F(SliderChannelTest, ZoomRowsKeepTheTypedValueBetweenSliderSteps)
{
    CSliderChannel row(kZoom, &m_page);
    float stored = 0.0f;
    row.SetChangeHandler([&](int) { stored = row.ModelValue(); });
    TypeInto(row, QStringLiteral("1.25"));
    EXPECT_EQ(row.Edit()->text(), QStringLiteral("1.250"));
    EXPECT_EQ(stored, 1.25f);
    // The slider stands at the nearest of its steps (1.252).
    EXPECT_EQ(row.Slider()->value(), 1063);
    row.SetModelValue(1.25f);
    EXPECT_EQ(row.Edit()->text(), QStringLiteral("1.250"));
    // A step of the arrows moves on from the slider's place.
    row.UpButton()->click();
    EXPECT_EQ(row.Edit()->text(), QStringLiteral("1.256"));
    EXPECT_EQ(stored, 1.256f);
    // Below the break point the row is fine-grained.
    TypeInto(row, QStringLiteral("0.5"));
    EXPECT_EQ(stored, 0.5f);
    EXPECT_EQ(row.Slider()->value(), 500);
}

// Screen readers hear the slider in the field's units, named by its caption,
// and a value they set moves the row as the user would.
TEST_F(SliderChannelTest, SliderSpeaksTheFieldsValueAndCaption)
{
    CSliderChannel row(kZoom, &m_page);
    auto* caption = m_page.findChild<QLabel*>();
    ASSERT_NE(caption, nullptr);
    caption->setText(QStringLiteral("&XY"));
    float stored = 0.0f;
    row.SetChangeHandler([&](int) { stored = row.ModelValue(); });
    QAccessibleInterface* access = QAccessible::queryAccessibleInterface(row.Slider());
    ASSERT_NE(access, nullptr);
    EXPECT_EQ(access->role(), QAccessible::Slider);
    EXPECT_EQ(access->text(QAccessible::Name), QStringLiteral("XY"));
    QAccessibleValueInterface* value = access->valueInterface();
    ASSERT_NE(value, nullptr);
    EXPECT_DOUBLE_EQ(value->currentValue().toDouble(), 1.0);
    EXPECT_DOUBLE_EQ(value->minimumValue().toDouble(), 0.002);
    EXPECT_DOUBLE_EQ(value->maximumValue().toDouble(), 5.0);
    TypeInto(row, QStringLiteral("2.5"));
    EXPECT_EQ(access->text(QAccessible::Value), QStringLiteral("2.500"));
    value->setCurrentValue(0.25);
    EXPECT_EQ(row.Edit()->text(), QStringLiteral("0.250"));
    EXPECT_EQ(stored, 0.25f);
}

// A wheel turned over a row the user has not chosen passes on to the page
// under it (which scrolls) and leaves the value; once the slider has the
// focus, the wheel moves it.
TEST_F(SliderChannelTest, TheWheelPassesARowOnUntilItsSliderHasTheFocus)
{
    CSliderChannel row(kPosition, &m_page);
    row.Place(4, 10, 380);
    m_page.show();
    m_page.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&m_page));
    QSlider* slider = row.Slider();
    row.Edit()->setFocus();  // the window gave it to the slider, the first in line
    ASSERT_TRUE(QTest::qWaitFor([&] { return !slider->hasFocus(); }));
    const int before = slider->value();
    auto turn = [&] {
        const QPointF at(slider->width() / 2.0, slider->height() / 2.0);
        QWheelEvent wheel(at, slider->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(slider, &wheel);
        return wheel.isAccepted();
    };
    EXPECT_FALSE(turn()) << "the page under the row takes the wheel";
    EXPECT_EQ(slider->value(), before);

    slider->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return slider->hasFocus(); }));
    EXPECT_TRUE(turn());
    EXPECT_NE(slider->value(), before);
}
