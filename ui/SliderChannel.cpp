#include "SliderChannel.h"

#include "lumora/AccessibleName.h"
#include "lumora/ControlId.h"
#include "ui/ChannelSlider.h"
#include "lumora/GdipButton.h"
#include "lumora/Lang.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QToolButton>
#include <algorithm>
#include <cmath>

namespace {

bool IsZoomRow(const ChannelSpec& spec) { return spec.breakPoint > 0; }

int ClampToRow(const ChannelSpec& spec, double value)
{
    if (!(value > spec.minimum))  // NaN ends here too
        return spec.minimum;
    if (value > spec.maximum)
        return spec.maximum;
    return static_cast<int>(value);
}

constexpr int kCaptionWidth = 26;
constexpr int kEditWidth = 62;
constexpr int kUpDownWidth = 16;
constexpr int kButtonSize = 22;
constexpr int kGap = 6;

}  // namespace

double ChannelDisplayValue(const ChannelSpec& spec, int value)
{
    if (IsZoomRow(spec) && value >= spec.breakPoint)
        return (value - spec.breakPoint) / 1000.0 * 4.0 + 1.0;
    return value / 1000.0;
}

QString ChannelDisplayText(const ChannelSpec& spec, int value)
{
    return QString::asprintf("%.03f", ChannelDisplayValue(spec, value));
}

namespace {

// The row's ends as values.
double LowestNumber(const ChannelSpec& spec) { return ChannelDisplayValue(spec, spec.minimum); }
double HighestNumber(const ChannelSpec& spec) { return ChannelDisplayValue(spec, spec.maximum); }

// To the thousandth, as the row shows it; -0.000 shows as 0.000.
double RoundToShown(double number)
{
    const double rounded = std::round(number * 1000.0) / 1000.0;
    return rounded == 0.0 ? 0.0 : rounded;
}

double ClampNumber(const ChannelSpec& spec, double number)
{
    if (!(number > LowestNumber(spec)))  // NaN ends here too
        return LowestNumber(spec);
    return std::min(number, HighestNumber(spec));
}

int PositionOfNumber(const ChannelSpec& spec, double number)
{
    if (IsZoomRow(spec) && number >= 1.0)
        return ClampToRow(spec, std::round((number - 1.0) / 4.0 * 1000.0 + spec.breakPoint));
    return ClampToRow(spec, std::round(number * 1000.0));
}

}  // namespace

int ChannelValueFromModel(const ChannelSpec& spec, float model) { return PositionOfNumber(spec, model); }

float ChannelModelValue(const ChannelSpec& spec, int value) { return static_cast<float>(ChannelDisplayValue(spec, value)); }

std::optional<double> ChannelNumberFromText(const ChannelSpec& spec, const QString& text)
{
    QString plain = text.trimmed();
    // Either decimal mark is what the user means; a single comma is read as a point.
    plain.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double typed = plain.toDouble(&ok);
    if (!ok || !std::isfinite(typed))
        return std::nullopt;
    return RoundToShown(ClampNumber(spec, typed));
}

std::optional<int> ChannelValueFromText(const ChannelSpec& spec, const QString& text)
{
    const std::optional<double> number = ChannelNumberFromText(spec, text);
    return number ? std::optional<int>(PositionOfNumber(spec, *number)) : std::nullopt;
}

CSliderChannel::CSliderChannel(const ChannelSpec& spec, QWidget* parent)
    : QObject(parent),
      m_spec(spec),
      m_value(std::clamp(spec.defaultValue, spec.minimum, spec.maximum)),
      m_number(ChannelDisplayValue(spec, m_value))
{
    m_caption = new QLabel(parent);
    lumora::SetControlId(m_caption, spec.caption);
    m_caption->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    m_slider = new CChannelSlider(spec, m_caption, parent);
    lumora::SetControlId(m_slider, spec.slider);
    m_slider->setRange(spec.minimum, spec.maximum);
    m_slider->setSingleStep(1);
    m_slider->setPageStep(10);
    m_slider->setFocusPolicy(Qt::StrongFocus);
    QObject::connect(m_slider, &QSlider::valueChanged, this, [this](int value) {
        if (!m_showing)
            ChangeByUser(value);
    });

    m_edit = new QLineEdit(parent);
    lumora::SetControlId(m_edit, spec.edit);
    m_edit->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_edit->setMaxLength(16);
    m_edit->installEventFilter(this);
    QObject::connect(m_edit, &QLineEdit::editingFinished, this, [this] { CommitTypedText(); });
    // The caption names the value's field (for screen readers and keyboard users).
    m_caption->setBuddy(m_edit);

    m_up = new QToolButton(parent);
    m_down = new QToolButton(parent);
    lumora::SetControlId(m_up, spec.upDown);
    for (QToolButton* arrow : {m_up, m_down}) {
        arrow->setArrowType(arrow == m_up ? Qt::UpArrow : Qt::DownArrow);
        arrow->setAutoRepeat(true);
        // Tab passes the arrows by (Up and Down in the field step as they
        // do); a click on one puts the focus in the field.
        arrow->setFocusPolicy(Qt::ClickFocus);
        arrow->setFocusProxy(m_edit);
        QObject::connect(arrow, &QToolButton::clicked, this, [this, arrow] { Step(arrow == m_up ? 1 : -1); });
    }

    m_default = new CGdipButton(parent);
    lumora::SetControlId(m_default, spec.defaultButton);
    m_default->LoadStdImage(155, QStringLiteral("PNG"));
    m_default->SetToolTipText(QString::fromStdWString(Lang::LoadLangString(131)), true);
    QObject::connect(m_default, &QAbstractButton::clicked, this, [this] { ChangeByUser(m_spec.defaultValue); });

    ShowValue();
}

QWidget* CSliderChannel::DefaultButton() const { return m_default; }

void CSliderChannel::SetValue(int value)
{
    m_value = std::clamp(value, m_spec.minimum, m_spec.maximum);
    m_number = ChannelDisplayValue(m_spec, m_value);
    ShowValue();
}

void CSliderChannel::SetModelValue(float model)
{
    m_number = RoundToShown(ClampNumber(m_spec, model));
    m_value = PositionOfNumber(m_spec, m_number);
    ShowValue();
}

void CSliderChannel::ShowValue()
{
    m_showing = true;
    m_slider->setValue(m_value);
    m_edit->setText(QString::asprintf("%.03f", m_number));
    m_up->setEnabled(m_value < m_spec.maximum);
    m_down->setEnabled(m_value > m_spec.minimum);
    NameArrows();
    m_showing = false;
}

// The arrows are named after the row's caption, which the page's texts set
// once the row is made.
void CSliderChannel::NameArrows()
{
    const QString caption = m_caption->text().remove(QLatin1Char('&')).trimmed();
    for (QToolButton* arrow : {m_up, m_down}) {
        const QString step = lumora::AccessibleText(arrow == m_up ? L"Increase" : L"Decrease");
        const QString name = caption.isEmpty() ? step : step + QLatin1Char(' ') + caption;
        if (arrow->accessibleName() != name)
            arrow->setAccessibleName(name);
    }
}

void CSliderChannel::ChangeByUser(int value)
{
    const int clamped = std::clamp(value, m_spec.minimum, m_spec.maximum);
    const double number = ChannelDisplayValue(m_spec, clamped);
    const bool changed = clamped != m_value || number != m_number;
    m_value = clamped;
    m_number = number;
    ShowValue();
    if (changed && m_onChange)
        m_onChange(m_value);
}

// A typed value is kept as typed; the slider goes to the nearest position.
void CSliderChannel::ChangeNumberByUser(double number)
{
    const bool changed = number != m_number;
    m_number = number;
    m_value = PositionOfNumber(m_spec, number);
    ShowValue();
    if (changed && m_onChange)
        m_onChange(m_value);
}

// Text that is no number puts the shown value back.
void CSliderChannel::CommitTypedText()
{
    if (const std::optional<double> typed = ChannelNumberFromText(m_spec, m_edit->text()))
        ChangeNumberByUser(*typed);
    else
        ShowValue();
}

void CSliderChannel::Step(int delta)
{
    if (m_edit->isModified()) {
        CommitTypedText();
        m_edit->setModified(false);
    }
    ChangeByUser(m_value + delta);
}

bool CSliderChannel::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_edit && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        const int steps[] = {key == Qt::Key_Up ? 1 : 0, key == Qt::Key_Down ? -1 : 0,
                             key == Qt::Key_PageUp ? 10 : 0, key == Qt::Key_PageDown ? -10 : 0};
        for (int delta : steps) {
            if (delta != 0) {
                Step(delta);
                return true;
            }
        }
    }
    return QObject::eventFilter(watched, event);
}

void CSliderChannel::Place(int x, int y, int width)
{
    const int h = RowHeight();
    const int sliderWidth = std::max(40, width - kCaptionWidth - kEditWidth - kUpDownWidth - kButtonSize - 4 * kGap);
    int left = x;
    m_caption->setGeometry(left, y, kCaptionWidth, h);
    left += kCaptionWidth + kGap;
    m_slider->setGeometry(left, y + 4, sliderWidth, h - 8);
    left += sliderWidth + kGap;
    m_edit->setGeometry(left, y + 4, kEditWidth, h - 8);
    left += kEditWidth;
    m_up->setGeometry(left + 1, y + 4, kUpDownWidth, (h - 8) / 2);
    m_down->setGeometry(left + 1, y + 4 + (h - 8) / 2, kUpDownWidth, (h - 8) - (h - 8) / 2);
    left += kUpDownWidth + kGap;
    m_default->setGeometry(left, y + (h - kButtonSize) / 2, kButtonSize, kButtonSize);
}

std::array<QWidget*, 6> CSliderChannel::Controls() const
{
    return {m_caption, m_slider, m_edit, m_up, m_down, m_default};
}

void CSliderChannel::SetVisible(bool visible)
{
    for (QWidget* control : Controls())
        control->setVisible(visible);
}

void CSliderChannel::SetEnabled(bool enabled)
{
    for (QWidget* control : Controls())
        control->setEnabled(enabled);
    if (enabled)
        ShowValue();  // the arrows follow the ends of the range
}
