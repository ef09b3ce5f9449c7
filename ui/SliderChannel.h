#pragma once
// One numeric row of the Layers and Shots pages: caption, slider, value edit,
// up-down arrows and a default button. The slider and the arrows work on an
// integer position in thousandths; the zoom rows are finer below their break
// point (0.002 to 1.000) than above it (1.000 to 5.000, four thousandths a
// step). The row also keeps the value itself, to the thousandth, so a value
// typed or loaded shows and is stored as it is, even between two slider steps.
#include <QObject>
#include <QString>
#include <array>
#include <functional>
#include <optional>

class QLabel;
class QLineEdit;
class QSlider;
class QToolButton;
class QWidget;
class CGdipButton;

// The control ids and range of one row.
struct ChannelSpec {
    int caption;        // label id
    int slider;
    int edit;
    int defaultButton;
    int upDown;
    int minimum;
    int maximum;
    int breakPoint;     // 0: linear row
    int defaultValue;
};

// Value conversions, shared with the tests.
double ChannelDisplayValue(const ChannelSpec& spec, int value);
QString ChannelDisplayText(const ChannelSpec& spec, int value);  // "%.03f"
// A record's float as a row position: the nearest one, clamped into the row's range.
int ChannelValueFromModel(const ChannelSpec& spec, float model);
// What the record stores for a row position (the display value).
float ChannelModelValue(const ChannelSpec& spec, int value);
// Typed text as the value the user means, to the thousandth and clamped into
// the row's range; a decimal comma reads as a point. Nothing for text that
// is not a finite number.
std::optional<double> ChannelNumberFromText(const ChannelSpec& spec, const QString& text);
// The same as a row position.
std::optional<int> ChannelValueFromText(const ChannelSpec& spec, const QString& text);

class CSliderChannel : public QObject {
public:
    CSliderChannel(const ChannelSpec& spec, QWidget* parent);

    const ChannelSpec& Spec() const { return m_spec; }
    // The slider position.
    int Value() const { return m_value; }
    // The value a record stores: what the row shows, to the thousandth.
    float ModelValue() const { return static_cast<float>(m_number); }
    // Sets the position (clamped) and shows it; never calls the change handler.
    void SetValue(int value);
    // Shows a record's value (clamped into the row's range, rounded to the
    // thousandth) with the slider at the nearest position; never calls the
    // change handler.
    void SetModelValue(float model);
    // Called with the new position whenever the user changes the value;
    // ModelValue() then holds the value to store.
    void SetChangeHandler(std::function<void(int)> handler) { m_onChange = std::move(handler); }

    // The row's five controls at y, from x over width.
    void Place(int x, int y, int width);
    void SetVisible(bool visible);
    void SetEnabled(bool enabled);
    static int RowHeight() { return 30; }

    QSlider* Slider() const { return m_slider; }
    QLineEdit* Edit() const { return m_edit; }
    QWidget* DefaultButton() const;
    QToolButton* UpButton() const { return m_up; }
    QToolButton* DownButton() const { return m_down; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::array<QWidget*, 6> Controls() const;
    void ShowValue();
    void NameArrows();
    void ChangeByUser(int value);
    void ChangeNumberByUser(double number);
    void CommitTypedText();
    void Step(int delta);

    ChannelSpec m_spec;
    int m_value;
    double m_number;
    bool m_showing = false;
    std::function<void(int)> m_onChange;
    QLabel* m_caption;
    QSlider* m_slider;
    QLineEdit* m_edit;
    QToolButton* m_up;
    QToolButton* m_down;
    CGdipButton* m_default;
};
