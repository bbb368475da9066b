#pragma once

#include <QObject>
#include <QString>

#include <vector>

class QLabel;
class QTreeWidget;

/// What the history and statistics screens add to their report list: columns that share the
/// list's client width less 10 pixels (column i gets thirds[i] thirds of it) whenever that
/// width changes, rows that can be selected together and copied as tab-separated text
/// (Ctrl+C or the context menu), and a note in the list's place while it has no rows.
class CycleList : public QObject
{
    Q_OBJECT

public:
    /// Attaches to `list`, which owns the new object.
    CycleList(QTreeWidget* list, std::vector<int> thirds);

    /// The text shown in the empty list.
    void SetEmptyText(const QString& text);
    /// Shows the empty text when the list has no rows, and hides it otherwise.
    void UpdateEmptyText();
    /// Sizes the columns for the list's present client width.
    void FitColumns();

    /// The selected rows, in list order, one line each ending in a line feed, their cells
    /// separated by tabs.
    QString SelectedRowsText() const;
    /// Puts SelectedRowsText() on the clipboard; nothing happens without a selection.
    void CopySelectedRows() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QTreeWidget* m_list;
    std::vector<int> m_thirds;
    QLabel* m_emptyText;
};
