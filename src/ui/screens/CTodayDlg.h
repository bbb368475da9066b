#pragma once

#include "model/CalDate.h"
#include "model/DayRecord.h"
#include "platform/gui/WheelNotches.h"
#include "ui/toolkit/CSizeableDialog.h"

#include <QDate>
#include <QString>

class QDateEdit;
class QLabel;
class QPlainTextEdit;
class CBleedingButton;

/// "How Do I Feel Today?": the bleeding level and the note of one day. The level starts from
/// what is stored for the day, so nothing is recorded that the user did not pick; every road
/// that leaves a day (the arrows, any change of the date field, "Save", "Back", Esc, closing)
/// runs the saving routine first. Cancel in its question, or a failed store, keeps the day and
/// its edits on screen; the date field never shows another day than the one being edited.
class CTodayDlg : public CSizeableDialog
{
    Q_OBJECT

public:
    /// The dates the picker offers: those the data file and the calendar can hold.
    static QDate FirstDate();
    static QDate LastDate();

    explicit CTodayDlg(QWidget* parent = nullptr);
    ~CTodayDlg() override;

    /// The day to open on (set before running); an invalid date opens on today.
    void SetCurrentDate(const CalDate& date);
    /// The day last loaded.
    CalDate CurrentDate() const;

    /// The level being edited.
    int Level() const
    {
        return m_level;
    }

    bool OnInitDialog() override;
    /// The template gives the size the anchors are measured from.
    int GetLayoutTemplateId() const override;
    void OnCommand(int id) override;
    /// Enter: save after asking, end with OK.
    void OnOK() override;

    /// What the saving routine did.
    enum class SaveResult {
        Unchanged, ///< nothing to store (or no valid day)
        Discarded, ///< the user chose to drop the edits
        Cancelled, ///< the user chose to stay on the day with its edits
        Stored,
        Failed, ///< storing failed; the message was shown
    };
    /// Stores the day's edits when they differ from what is stored, asking first when `ask`
    /// (Save, Discard or Cancel). Bleeding on a day after today is stored only when she
    /// confirms it (Yes; No keeps her on the day with its edits).
    SaveResult SaveDay(bool ask);

    /// A stored note as the note box shows it: "\r\n" (and a lone "\r") become one break.
    static QString NoteForDisplay(const QString& stored);
    /// Text of the note box as it is stored: every line break becomes "\r\n".
    static QString NoteForStorage(const QString& shown);
    /// The UTF-16 code units `shown` takes once stored (a line break counts two).
    static int StoredLength(const QString& shown);

    /// The anchors, then the bleeding row: the drops beside their label, their name beside them.
    void RelayoutControls() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void LoadDay();
    void AdvanceLevel();
    void MoveDays(int days);
    void GoToDate(const QDate& target);
    void OnPickerDateChanged(const QDate& date);
    void PickDate(const QDate& date);
    void StepPickerDate(int steps);
    void CommitPickedDate();
    bool IsCalendarOpen() const;
    void SetPickerDate(const QDate& date);
    void OnNotesEdited(int position, int added);
    void OnNotesChanged();
    void UpdateNotesColours();
    void UpdateArrows();
    void PlaceBleedingRow();
    void End(bool ask, int result);

    CalDate m_currentDate{0, 0, 0};
    int m_level = None;
    bool m_notesEmpty = true;
    QDateEdit* m_picker = nullptr;
    QPlainTextEdit* m_notes = nullptr;
    CBleedingButton* m_bleeding = nullptr;
    QLabel* m_levelName = nullptr;
    // The note as stored and as the box showed it after loading: an untouched box stores the
    // note exactly as it was.
    QString m_storedNote;
    QString m_shownNote;
    // A date chosen in the field, waiting to be gone to once the event that chose it is over.
    QDate m_pickedDate;
    WheelNotches m_wheel;
    bool m_loading = false;
    bool m_busy = false;
    bool m_ending = false;
    // The stretch of the note box the last edit inserted, for keeping the note within bounds.
    int m_editPosition = 0;
    int m_editAdded = 0;
};
