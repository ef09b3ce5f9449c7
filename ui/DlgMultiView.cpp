#include "DlgMultiView.h"

#include "formats/MultiViewTemplates.h"
#include "lumora/ControlId.h"
#include "ui/DialogTexts.h"
#include "ui/MultiViewPictures.h"

#include <QAbstractButton>
#include <QGridLayout>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr int kEmptyButtonId = 1494;
constexpr int kTemplateButtonIds[kMultiViewTemplateCount] = {1626, 1483, 1484, 1485, 1486, 1487,
                                                             1488, 1489, 1490, 1491, 1492, 1493};
constexpr QSize kPictureSize(96, 54);

// One template: its picture, framed when hovered or chosen.
class CTemplateButton : public QAbstractButton {
public:
    CTemplateButton(int templateIndex, QWidget* parent) : QAbstractButton(parent), m_index(templateIndex)
    {
        setCheckable(true);
        setFixedSize(kPictureSize + QSize(8, 8));
        setCursor(Qt::PointingHandCursor);
        setAttribute(Qt::WA_Hover);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const QPixmap picture = DrawMultiViewPicture(m_index, kPictureSize, devicePixelRatioF());
        painter.drawPixmap(4, 4, picture);
        const bool hovered = underMouse();
        if (isChecked() || hovered) {
            QPen pen(isChecked() ? QColor(0xff, 0x40, 0x00) : QColor(0xc0, 0xc0, 0xc0), isChecked() ? 2.0 : 1.0);
            if (!isChecked())
                pen.setStyle(Qt::DashLine);
            painter.setPen(pen);
            painter.setBrush(Qt::NoBrush);
            painter.drawRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), 4, 4);
        }
        if (hasFocus()) {
            painter.setPen(QPen(QColor(0x3d, 0x8b, 0xfd), 1.0, Qt::DotLine));
            painter.drawRoundedRect(QRectF(rect()).adjusted(2.5, 2.5, -2.5, -2.5), 3, 3);
        }
    }

private:
    int m_index;
};

}  // namespace

CDlgMultiView::CDlgMultiView(int selected, QWidget* parent) : CMyDialog(1111, parent), m_selected(selected)
{
    setWindowFlags(Qt::Popup | Qt::FramelessWindowHint);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 10, 10, 10);
    layout->setSpacing(8);

    auto* empty = new QPushButton(this);
    lumora::SetControlId(empty, kEmptyButtonId);
    empty->setCheckable(true);
    empty->setMinimumHeight(30);
    m_buttons[0] = empty;
    layout->addWidget(empty);

    auto* grid = new QGridLayout;
    grid->setSpacing(6);
    for (int i = 0; i < kMultiViewTemplateCount; ++i) {
        auto* button = new CTemplateButton(i, this);
        lumora::SetControlId(button, kTemplateButtonIds[i]);
        button->setAccessibleName(QStringLiteral("Template %1").arg(i + 1));
        button->setToolTip(button->accessibleName());
        m_buttons[i + 1] = button;
        grid->addWidget(button, i / 4, i % 4);
    }
    layout->addLayout(grid);
    for (int i = -1; i < kMultiViewTemplateCount; ++i)
        QObject::connect(m_buttons[i + 1], &QAbstractButton::clicked, this, [this, i] { Choose(i); });

    ApplyDialogTexts(this, 1111);
    empty->setAccessibleName(empty->text());
    if (QAbstractButton* current = ButtonFor(m_selected < 0 ? -1 : m_selected))
        current->setChecked(true);
    else
        m_buttons[0]->setChecked(true);
    adjustSize();
}

QAbstractButton* CDlgMultiView::ButtonFor(int index) const
{
    return index >= -1 && index < kMultiViewTemplateCount ? m_buttons[index + 1] : nullptr;
}

void CDlgMultiView::MoveTo(const QRect& screenRect) { move(screenRect.topLeft()); }

void CDlgMultiView::OnOK()
{
    int chosen = m_selected;
    for (int i = -1; i < kMultiViewTemplateCount; ++i) {
        if (ButtonFor(i)->hasFocus())
            chosen = i;
    }
    Choose(chosen);
}

void CDlgMultiView::OnCancel() { reject(); }

void CDlgMultiView::Choose(int index)
{
    m_selected = index;
    for (int i = -1; i < kMultiViewTemplateCount; ++i)
        ButtonFor(i)->setChecked(i == index);
    accept();
}
