#pragma once

#include "model/CalDate.h"
#include "ui/toolkit/CBlackDialog.h"

#include <functional>

class CCalPainter;

/// "Calendar": the endless strip of months filling the screen, with "Go to Date" and "Back".
/// A tapped day opens the day editor on it as a page over the same window; after every
/// editor run the pages are drawn again from the database, and after "Save" the calendar
/// marks the editor's day and shows its month.
class CCalendarDlg : public CBlackDialog
{
    Q_OBJECT

public:
    /// Runs the day editor over `host`, on `preset` (an invalid date: no preset, the editor
    /// opens on today); returns its result and leaves the editor's last date in `date`.
    using DayEditorRun = std::function<int(QWidget* host, const CalDate& preset, CalDate& date)>;

    explicit CCalendarDlg(QWidget* parent = nullptr);
    ~CCalendarDlg() override;

    bool OnInitDialog() override;
    void OnCommand(int id) override;

    CCalPainter* Painter() const
    {
        return m_painter;
    }

    /// Replaces the day editor run (tests); an empty function restores the real editor.
    void SetDayEditor(DayEditorRun run);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void RunDayEditor(const CalDate& preset);
    void PlacePainter();
    static int RunTodayDialog(QWidget* host, const CalDate& preset, CalDate& date);

    CCalPainter* m_painter = nullptr;
    DayEditorRun m_runDayEditor;
    bool m_editorOpen = false;
};
