#include "ui/screens/CTodayDlg.h"

#include "model/CycleDatabase.h"
#include "platform/MessageBox.h"
#include "resources/ResourceIds.h"
#include "ui/screens/CBleedingButton.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QDateEdit>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QShortcut>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>

namespace {
// The widest the editor's controls are laid out, in dialog units (two and a half times its
// template's width).
constexpr int kMaximumLayoutWidth = 390;

QDate ToQDate(const CalDate& date)
{
    return QDate(date.year, date.month, date.day);
}

CalDate ToCalDate(const QDate& date)
{
    return CalDate{static_cast<int16_t>(date.month()), static_cast<int16_t>(date.day()),
                   static_cast<int16_t>(date.year())};
}

// The record stored for `date`, if there is one (GetDay would give the derived level instead).
bool FindStoredRecord(const CalDate& date, DayRecord& record)
{
    const CycleDatabase& database = TheCycleDatabase();
    const int index = database.FindIndex(date);
    if (index < 0 || !IsSameDate(database.Records()[static_cast<size_t>(index)].date, date))
        return false;
    record = database.Records()[static_cast<size_t>(index)];
    return true;
}
} // namespace

CTodayDlg::CTodayDlg(QWidget* parent) : CSizeableDialog(kIddToday, parent)
{
}

CTodayDlg::~CTodayDlg() = default;

QDate CTodayDlg::FirstDate()
{
    return QDate(1971, 1, 1);
}

QDate CTodayDlg::LastDate()
{
    return QDate(2099, 12, 31);
}

void CTodayDlg::SetCurrentDate(const CalDate& date)
{
    m_currentDate = date;
}

CalDate CTodayDlg::CurrentDate() const
{
    return m_currentDate;
}

int CTodayDlg::GetLayoutTemplateId() const
{
    return kIddToday;
}

bool CTodayDlg::OnInitDialog()
{
    if (!CSizeableDialog::OnInitDialog())
        return false;
    m_picker = ControlAs<QDateEdit>(kIdcTodayDate);
    m_notes = ControlAs<QPlainTextEdit>(kIdcTodayNotes);
    m_bleeding = qobject_cast<CBleedingButton*>(ReplaceControl(kIdcTodayBleeding, new CBleedingButton));
    if (!m_picker || !m_notes || !m_bleeding)
        return false;

    SetAnchor(kIdcTodayDate, kAnchorWiden);
    SetAnchor(kIdcTodayPrevDay, kAnchorRight);
    SetAnchor(kIdcTodayNextDay, kAnchorRight);
    SetAnchor(kIdcTodayNotes, kAnchorWiden | kAnchorHeighten);
    // On a wide window the editor stays a readable column instead of spreading over it.
    SetMaximumLayoutWidth(Units().MapX(kMaximumLayoutWidth));
    CreateMenuBar(kMenuToday);

    m_levelName = new QLabel(this);
    m_levelName->setObjectName(QStringLiteral("BleedingLevel"));
    m_levelName->show();
    m_bleeding->SetNameLabel(m_levelName);
    connect(m_bleeding, &CBleedingButton::levelPicked, this, [this](int level) { m_level = level; });
    PlaceBleedingRow();
    if (QWidget* previousDay = Control(kIdcTodayPrevDay))
        previousDay->setToolTip(QStringLiteral("Previous day (Alt+Left)"));
    if (QWidget* nextDay = Control(kIdcTodayNextDay))
        nextDay->setToolTip(QStringLiteral("Next day (Alt+Right)"));

    m_picker->setCalendarPopup(true);
    m_picker->setDisplayFormat(QLocale().dateFormat(QLocale::LongFormat));
    m_picker->setDateRange(FirstDate(), LastDate());
    // Typing, stepping and browsing the popup only choose; the day changes when the user
    // commits: Enter, leaving the field, or a date taken from the popup.
    m_picker->setKeyboardTracking(false);
    connect(m_picker, &QDateEdit::editingFinished, this, &CTodayDlg::OnDateCommitted);
    m_picker->installEventFilter(this);
    if (QCalendarWidget* calendar = m_picker->calendarWidget())
        calendar->window()->installEventFilter(this);

    QTextDocument* document = m_notes->document();
    connect(document, &QTextDocument::contentsChange, this,
            [this](int position, int, int added) { OnNotesEdited(position, added); });
    connect(m_notes, &QPlainTextEdit::textChanged, this, &CTodayDlg::OnNotesChanged);

    auto* previous = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_Left), this);
    previous->setContext(Qt::WidgetWithChildrenShortcut);
    connect(previous, &QShortcut::activated, this, [this] { MoveDays(-1); });
    auto* next = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_Right), this);
    next->setContext(Qt::WidgetWithChildrenShortcut);
    connect(next, &QShortcut::activated, this, [this] { MoveDays(1); });
    auto* save = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_S), this);
    save->setContext(Qt::WidgetWithChildrenShortcut);
    connect(save, &QShortcut::activated, this, [this] { OnCommand(kCmdTodaySave); });

    QDate first = IsValidDate(m_currentDate) ? ToQDate(m_currentDate) : QDate();
    if (!first.isValid())
        first = ToQDate(Today());
    SetPickerDate(first);
    LoadDay();
    return true;
}

void CTodayDlg::SetPickerDate(const QDate& date)
{
    const QSignalBlocker blocker(m_picker);
    m_picker->setDate(date);
}

void CTodayDlg::LoadDay()
{
    m_loading = true;
    m_currentDate = ToCalDate(m_picker->date());
    DayRecord stored;
    const bool hasRecord = FindStoredRecord(m_currentDate, stored);
    m_level = hasRecord ? LevelOf(stored) : None;
    m_bleeding->SetLevel(m_level);
    // What derivation expects for a day without a record shows as a hint only.
    m_bleeding->SetHintLevel(hasRecord ? None : LevelOf(TheCycleDatabase().GetDay(m_currentDate)));
    m_storedNote = hasRecord ? stored.note : QString();
    m_notes->setPlainText(NoteForDisplay(m_storedNote));
    m_shownNote = m_notes->toPlainText();
    m_loading = false;
    OnNotesChanged();
    UpdateArrows();
}

void CTodayDlg::UpdateArrows()
{
    const QDate shown = ToQDate(m_currentDate);
    if (QWidget* previous = Control(kIdcTodayPrevDay))
        previous->setEnabled(shown > FirstDate());
    if (QWidget* next = Control(kIdcTodayNextDay))
        next->setEnabled(shown < LastDate());
}

void CTodayDlg::RelayoutControls()
{
    CSizeableDialog::RelayoutControls();
    PlaceBleedingRow();
}

void CTodayDlg::PlaceBleedingRow()
{
    auto* label = ControlAs<QLabel>(kIdcTodayBleedingLabel);
    if (!label || !m_bleeding || !m_levelName)
        return;
    const int gap = Units().MapX(4);
    QRect bar = m_bleeding->geometry();
    bar.moveLeft(label->x() + label->fontMetrics().horizontalAdvance(label->text()) + gap);
    m_bleeding->setGeometry(bar);
    // Both texts stand level with the middle of the drops.
    const int middle = bar.y() + bar.height() / 2;
    label->move(label->x(), middle - label->height() / 2);
    int nameWidth = 0;
    for (int level = None; level <= Heavy; ++level) {
        nameWidth =
            std::max(nameWidth, m_levelName->fontMetrics().horizontalAdvance(CBleedingButton::LevelTitle(level)));
    }
    m_levelName->setGeometry(bar.x() + bar.width() + gap, middle - label->height() / 2, nameWidth + gap,
                             label->height());
}

void CTodayDlg::AdvanceLevel()
{
    m_level = (m_level + 1) % (Heavy + 1);
    m_bleeding->SetLevel(m_level);
}

CTodayDlg::SaveResult CTodayDlg::SaveDay(bool ask)
{
    if (!IsValidDate(m_currentDate))
        return SaveResult::Unchanged;
    DayRecord record;
    const bool hasRecord = FindStoredRecord(m_currentDate, record);
    const QString shown = m_notes->toPlainText();
    const bool noteTouched = shown != m_shownNote;
    const int storedLevel = hasRecord ? LevelOf(record) : None;
    if (m_level == storedLevel && !noteTouched)
        return SaveResult::Unchanged;
    if (ask && ShowMessage(QStringLiteral("Save changes?"), MessageButtons::YesNo) != MessageAnswer::Yes)
        return SaveResult::Declined;
    if (!hasRecord) {
        record = DayRecord();
        record.date = m_currentDate;
    }
    record.flags &= ~kNoRecordFlag;
    record.chance = -1;
    SetLevel(record, m_level);
    // An untouched note is stored exactly as it was.
    SetNote(record, noteTouched ? NoteForStorage(shown) : record.note);
    if (!TheCycleDatabase().SetDay(record))
        return SaveResult::Failed;
    m_storedNote = record.note;
    m_shownNote = shown;
    return SaveResult::Stored;
}

void CTodayDlg::MoveDays(int days)
{
    if (m_busy || m_ending)
        return;
    const QDate target = ToQDate(m_currentDate).addDays(days);
    if (!target.isValid() || target < FirstDate() || target > LastDate())
        return;
    m_busy = true;
    const SaveResult result = SaveDay(true);
    m_busy = false;
    if (result == SaveResult::Failed) {
        SetPickerDate(ToQDate(m_currentDate));
        return;
    }
    SetPickerDate(target);
    LoadDay();
}

void CTodayDlg::OnDateCommitted()
{
    if (m_busy || m_ending || m_loading || !m_picker)
        return;
    const QDate picked = m_picker->date();
    if (picked == ToQDate(m_currentDate))
        return;
    m_busy = true;
    const SaveResult result = SaveDay(true);
    m_busy = false;
    if (result == SaveResult::Failed) {
        SetPickerDate(ToQDate(m_currentDate));
        return;
    }
    // The answer may have taken a while; load what the picker holds now.
    LoadDay();
}

void CTodayDlg::End(bool ask, int result)
{
    if (m_busy || m_ending)
        return;
    m_busy = true;
    const SaveResult saved = SaveDay(ask);
    m_busy = false;
    if (saved == SaveResult::Failed)
        return;
    m_ending = true;
    done(result);
}

void CTodayDlg::OnCommand(int id)
{
    switch (id) {
    case kIdcTodayBleeding:
        AdvanceLevel();
        break;
    case kIdcTodayPrevDay:
        MoveDays(-1);
        break;
    case kIdcTodayNextDay:
        MoveDays(1);
        break;
    case kCmdTodaySave:
        End(false, QDialog::Accepted);
        break;
    case kCmdTodayBack:
        End(true, QDialog::Rejected);
        break;
    default:
        CSizeableDialog::OnCommand(id);
        break;
    }
}

void CTodayDlg::OnOK()
{
    End(true, QDialog::Accepted);
}

void CTodayDlg::OnCancel()
{
    End(true, QDialog::Rejected);
}

QString CTodayDlg::NoteForDisplay(const QString& stored)
{
    QString shown = stored;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return shown;
}

QString CTodayDlg::NoteForStorage(const QString& shown)
{
    QString stored = NoteForDisplay(shown);
    stored.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return stored;
}

int CTodayDlg::StoredLength(const QString& shown)
{
    return static_cast<int>(NoteForStorage(shown).size());
}

void CTodayDlg::OnNotesEdited(int position, int added)
{
    m_editPosition = position;
    m_editAdded = added;
}

void CTodayDlg::OnNotesChanged()
{
    if (!m_notes)
        return;
    if (!m_loading) {
        // Refuse what goes beyond the limit: cut the end of what was just typed or pasted,
        // never between the two halves of a surrogate pair. A note that was already longer
        // when loaded is left as it is.
        const QString text = m_notes->toPlainText();
        int excess = StoredLength(text) - kMaxNoteLength;
        if (excess > 0) {
            const int size = static_cast<int>(text.size());
            const int begin = std::clamp(m_editPosition, 0, size);
            const int end = std::clamp(m_editPosition + m_editAdded, begin, size);
            int cut = end;
            while (cut > begin && excess > 0) {
                --cut;
                excess -= text[cut] == QLatin1Char('\n') ? 2 : 1;
            }
            if (cut > 0 && cut < size && text[cut - 1].isHighSurrogate() && text[cut].isLowSurrogate())
                --cut;
            if (cut < end) {
                QTextCursor cursor(m_notes->document());
                cursor.joinPreviousEditBlock();
                cursor.setPosition(cut);
                cursor.setPosition(end, QTextCursor::KeepAnchor);
                cursor.removeSelectedText();
                cursor.endEditBlock();
                QApplication::beep();
                return; // the removal reports its own change
            }
        }
    }
    const bool empty = m_notes->document()->isEmpty();
    if (empty != m_notesEmpty) {
        m_notesEmpty = empty;
        UpdateNotesColours();
    }
}

void CTodayDlg::UpdateNotesColours()
{
    // An empty box blends into the dialog; one with a note takes the desktop's edit colours.
    if (m_notesEmpty) {
        m_notes->setPalette(QPalette());
    } else {
        // Every role set explicitly, so that the dialog's themed palette does not show through.
        QPalette palette = QApplication::palette(m_notes);
        for (int group = 0; group < QPalette::NColorGroups; ++group) {
            for (int role = 0; role < QPalette::NColorRoles; ++role) {
                const auto g = static_cast<QPalette::ColorGroup>(group);
                const auto r = static_cast<QPalette::ColorRole>(role);
                palette.setBrush(g, r, palette.brush(g, r));
            }
        }
        m_notes->setPalette(palette);
    }
    m_notes->update();
}

bool CTodayDlg::eventFilter(QObject* watched, QEvent* event)
{
    // Enter in the date field commits the typed date; it does not close the editor.
    if (watched == m_picker && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            m_picker->interpretText();
            OnDateCommitted();
            return true;
        }
    }
    // The popup closing with a chosen date commits it (closed with Esc, it has put the old
    // date back already, so nothing moves).
    if (event->type() == QEvent::Hide && m_picker && m_picker->calendarWidget() &&
        watched == m_picker->calendarWidget()->window()) {
        QMetaObject::invokeMethod(this, &CTodayDlg::OnDateCommitted, Qt::QueuedConnection);
    }
    return CSizeableDialog::eventFilter(watched, event);
}
