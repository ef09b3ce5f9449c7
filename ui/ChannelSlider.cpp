#include "ChannelSlider.h"

#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QAccessibleWidget>
#include <QLabel>
#include <QWheelEvent>

namespace {

class CChannelSliderAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit CChannelSliderAccessible(CChannelSlider* slider) : QAccessibleWidget(slider, QAccessible::Slider) {}

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QString text(QAccessible::Text kind) const override
    {
        if (kind == QAccessible::Name && Slider()->accessibleName().isEmpty())
            return Slider()->CaptionText();
        if (kind == QAccessible::Value)
            return QString::asprintf("%.03f", Slider()->Number());
        return QAccessibleWidget::text(kind);
    }

    QVariant currentValue() const override { return Slider()->Number(); }
    void setCurrentValue(const QVariant& value) override
    {
        bool ok = false;
        const double number = value.toDouble(&ok);
        if (ok && Slider()->isEnabled())
            Slider()->SetNumber(number);
    }
    QVariant maximumValue() const override { return Slider()->NumberAt(Slider()->maximum()); }
    QVariant minimumValue() const override { return Slider()->NumberAt(Slider()->minimum()); }
    // The finest step the row shows.
    QVariant minimumStepSize() const override { return 0.001; }

private:
    CChannelSlider* Slider() const { return static_cast<CChannelSlider*>(widget()); }
};

QAccessibleInterface* ChannelSliderFactory(const QString&, QObject* object)
{
    if (auto* slider = dynamic_cast<CChannelSlider*>(object))
        return new CChannelSliderAccessible(slider);
    return nullptr;
}

}  // namespace

CChannelSlider::CChannelSlider(const ChannelSpec& spec, QLabel* caption, QWidget* parent)
    : QSlider(Qt::Horizontal, parent), m_spec(spec), m_caption(caption)
{
    static const bool installed = [] {
        QAccessible::installFactory(ChannelSliderFactory);
        return true;
    }();
    (void)installed;
}

double CChannelSlider::Number() const { return NumberAt(value()); }

void CChannelSlider::wheelEvent(QWheelEvent* event)
{
    if (hasFocus())
        QSlider::wheelEvent(event);
    else
        event->ignore();  // the page under it scrolls instead
}

double CChannelSlider::NumberAt(int position) const { return ChannelDisplayValue(m_spec, position); }

void CChannelSlider::SetNumber(double number)
{
    setValue(ChannelValueFromModel(m_spec, static_cast<float>(number)));
}

QString CChannelSlider::CaptionText() const
{
    if (!m_caption)
        return QString();
    QString text = m_caption->text();
    text.remove(QLatin1Char('&'));
    return text.trimmed();
}
