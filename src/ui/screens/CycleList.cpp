#include "ui/screens/CycleList.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {
// Room the column widths leave at the right of the list.
constexpr int kColumnMargin = 10;
} // namespace

CycleList::CycleList(QTreeWidget* list, std::vector<int> thirds)
    : QObject(list), m_list(list), m_thirds(std::move(thirds)), m_emptyText(nullptr)
{
    m_list->setColumnCount(static_cast<int>(m_thirds.size()));
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->header()->setStretchLastSection(false);
    m_list->header()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_list->header()->setSectionResizeMode(QHeaderView::Fixed);
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    auto* copy = new QAction(QStringLiteral("&Copy"), m_list);
    copy->setShortcut(QKeySequence::Copy);
    copy->setShortcutContext(Qt::WidgetShortcut);
    connect(copy, &QAction::triggered, this, &CycleList::CopySelectedRows);
    m_list->addAction(copy);
    m_list->setContextMenuPolicy(Qt::ActionsContextMenu);

    // The note lies over the empty rows, in the list's own colours.
    m_emptyText = new QLabel(m_list->viewport());
    m_emptyText->setAlignment(Qt::AlignCenter);
    m_emptyText->setWordWrap(true);
    m_emptyText->setForegroundRole(QPalette::Text);
    auto* layout = new QVBoxLayout(m_list->viewport());
    layout->addWidget(m_emptyText);
    m_emptyText->hide();

    m_list->installEventFilter(this);
    m_list->viewport()->installEventFilter(this);
    FitColumns();
}

void CycleList::SetEmptyText(const QString& text)
{
    m_emptyText->setText(text);
    UpdateEmptyText();
}

void CycleList::UpdateEmptyText()
{
    m_emptyText->setVisible(m_list->topLevelItemCount() == 0 && !m_emptyText->text().isEmpty());
}

void CycleList::FitColumns()
{
    const int width = m_list->viewport()->width() - kColumnMargin;
    for (size_t column = 0; column < m_thirds.size(); ++column)
        m_list->setColumnWidth(static_cast<int>(column), std::max(0, m_thirds[column] * width / 3));
}

QString CycleList::SelectedRowsText() const
{
    QString text;
    for (int row = 0; row < m_list->topLevelItemCount(); ++row) {
        const QTreeWidgetItem* item = m_list->topLevelItem(row);
        if (!item->isSelected())
            continue;
        for (int column = 0; column < m_list->columnCount(); ++column) {
            if (column > 0)
                text += QLatin1Char('\t');
            text += item->text(column);
        }
        text += QLatin1Char('\n');
    }
    return text;
}

void CycleList::CopySelectedRows() const
{
    const QString text = SelectedRowsText();
    if (!text.isEmpty())
        QGuiApplication::clipboard()->setText(text);
}

bool CycleList::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_list->viewport() && event->type() == QEvent::Resize)
        FitColumns();
    // The list would copy only its current cell; the whole selected rows are meant.
    if (watched == m_list && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->matches(QKeySequence::Copy)) {
        CopySelectedRows();
        return true;
    }
    return QObject::eventFilter(watched, event);
}
