#include "DlgShortcuts.h"

#include "lumora/Lang.h"
#include "lumora/Skin.h"
#include "lumora/SkinPalette.h"

#include <QHeaderView>
#include <QKeySequence>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

// lang-ids: 117 1305 1306 1307 1308 1331 1333 1360 1361 1362 1363 1364 1365 1366 1367 1368 1369 1370 1371
// lang-ids: 1372 1373 1374 1375 1376 1377 1378 1379 1380 1384 1385 1386 1387 1388 1389 1396 1397 1398 1399
// lang-ids: 1409 1410 1411 1412
QString Text(unsigned id) { return QString::fromStdWString(Lang::LoadLangString(id)); }

QString Keys(std::initializer_list<QKeySequence> sequences)
{
    QStringList keys;
    for (const QKeySequence& sequence : sequences)
        keys << sequence.toString(QKeySequence::NativeText);
    return keys.join(QStringLiteral(", "));
}

}  // namespace

std::vector<std::pair<QString, QString>> CDlgShortcuts::Rows()
{
    const auto ctrl = [](int key) { return QKeySequence(Qt::CTRL | key); };
    const auto ctrlShift = [](int key) { return QKeySequence(Qt::CTRL | Qt::SHIFT | key); };
    return {
        // The preview.
        {Text(1362), Text(1363)},
        {Keys({ctrl(Qt::Key_Equal)}), Text(1307)},
        {Keys({ctrl(Qt::Key_Minus)}), Text(1308)},
        {Keys({ctrl(Qt::Key_0)}), Text(1305)},
        {Keys({ctrl(Qt::Key_1)}), Text(1306)},
        {Text(1364), Text(1365)},
        {Text(1366), Text(1367)},
        {Text(1368), Text(1369)},
        {Text(1370), Text(1371)},
        {Keys({ctrl(Qt::Key_A)}), Text(1331)},
        {Keys({QKeySequence(Qt::Key_Escape)}), Text(1372)},
        {Text(1373), Text(1374)},
        {Text(1375), Text(1376)},
        {Text(1377), Text(1378)},
        {Text(1379), Text(1380)},
        {Keys({QKeySequence(Qt::Key_Delete)}), Text(1386)},
        {Text(1384), Text(1385)},
        // The layer list.
        {Text(1409), Text(1410)},
        {Text(1411), Text(1412)},
        // The set and the window.
        {Keys({ctrl(Qt::Key_N)}), Text(1387)},
        {Keys({ctrl(Qt::Key_O)}), Text(1388)},
        {Keys({ctrl(Qt::Key_S)}), Text(1389)},
        {Keys({ctrlShift(Qt::Key_S)}), Text(1396)},
        {Keys({ctrl(Qt::Key_Z)}), Text(1397)},
        {Keys({ctrlShift(Qt::Key_Z), ctrl(Qt::Key_Y)}), Text(1398)},
        {Keys({ctrl(Qt::Key_Tab), ctrlShift(Qt::Key_Tab)}), Text(1399)},
    };
}

CDlgShortcuts::CDlgShortcuts(QWidget* parent) : CMyPopDialog(0, 128, 0, parent, 1)
{
    setWindowTitle(Text(1333));
    QWidget* client = ClientWidget();
    auto* layout = new QVBoxLayout(client);
    layout->setContentsMargins(16, 12, 16, 12);
    const std::vector<std::pair<QString, QString>> rows = Rows();
    m_table = new QTableWidget(static_cast<int>(rows.size()), 2, client);
    m_table->setAccessibleName(Text(1333));
    m_table->setHorizontalHeaderLabels({Text(1360), Text(1361)});
    m_table->verticalHeader()->hide();
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setWordWrap(false);
    QPalette palette = lumora::SkinPalette(COLOR_LISTBK);
    palette.setColor(QPalette::Base, lumora::SkinColor(COLOR_LISTBK));
    palette.setColor(QPalette::Text, lumora::SkinColor(COLOR_LISTTEXT));
    m_table->setPalette(palette);
    for (int row = 0; row < static_cast<int>(rows.size()); ++row) {
        m_table->setItem(row, 0, new QTableWidgetItem(rows[static_cast<size_t>(row)].first));
        m_table->setItem(row, 1, new QTableWidgetItem(rows[static_cast<size_t>(row)].second));
    }
    m_table->resizeColumnToContents(0);
    m_table->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(m_table, 1);
    auto* ok = new QPushButton(Text(117), client);
    ok->setDefault(true);
    QObject::connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    layout->addWidget(ok, 0, Qt::AlignRight);
    resize(760, 680);
    m_table->setFocus();
}
