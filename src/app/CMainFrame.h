#pragma once

#include <QString>
#include <QWidget>

class CSummaryPanel;
class SoftKeyBar;

/// The program's only top-level window: the summary panel fills it above the soft-key bar
/// with "Today" and "Menu". Every other screen is a page the frame opens over itself for a
/// command; while a page is open the frame ignores commands.
class CMainFrame : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kDefaultWidth = 480;
    static constexpr int kDefaultHeight = 640;

    explicit CMainFrame(QWidget* parent = nullptr);
    ~CMainFrame() override;

    /// Runs a command of the menu, a soft key or a summary row.
    virtual void OnCommand(int command);
    /// Whether the menu offers `command` now (greyed otherwise).
    virtual bool IsCommandEnabled(int command) const;

    CSummaryPanel* SummaryPanel() const;
    SoftKeyBar* CommandBar() const;

    /// Brings the window to the front (a second start asked for it).
    void ShowAndRaise();

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    void EraseAllData();
    void ExportData();
    void ExportForSpreadsheets();
    /// True when the days of the file were stored.
    bool ImportData();
    void SaveGeometry();
    void RestoreGeometry();
    void PlaceOnScreen();

    CSummaryPanel* m_summary;
    SoftKeyBar* m_commandBar;
    bool m_altPressedAlone;
};
