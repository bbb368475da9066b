#include "ui/screens/CTodayDlg.h"

#include "model/CycleDatabase.h"
#include "platform/MessageBox.h"
#include "resources/ResourceIds.h"
#include "ui/screens/CBleedingButton.h"
#include "ui/screens/FertilityDates.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QDateEdit>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QPlainTextEdit>
#include <QShortcut>
#include <QTextCursor>
#include <QTextDocument>
#include <QWheelEvent>

#include <algorithm>

namespace {
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

// The weekday of `date` as quoted fixed text of a display format. A weekday section would make
// typing fail: the field refuses every partly typed year on which the shown weekday does not
// fall, so "2026" could never be typed.
QString FixedWeekday(const QDate& date, const QLocale& locale)
{
    QString name = locale.dayName(date.dayOfWeek(), QLocale::LongFormat);
    name.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QLatin1Char('\'') + name + QLatin1Char('\'');
}

// `date` moved by `steps` in the part of the date field being stepped, carried into the
// larger parts: a day up from 31 January is 1 February, a month up from December is January.
QDate StepDate(const QDate& date, QDateTimeEdit::Section section, int steps)
{
    switch (section) {
    case QDateTimeEdit::YearSection:
        return date.addYears(steps);
    case QDateTimeEdit::MonthSection:
        return date.addMonths(steps);
    default:
        return date.addDays(steps);
    }
}
} // namespace

CTodayDlg::CTodayDlg(QWidget* parent) : CSizeableDialog(kIddToday, parent)
{
}

CTodayDlg::~CTodayDlg() = default;

QDate CTodayDlg::FirstDate()
{
    // Predictions are made from 2008 on: an earlier day would be stored and never shown.
    return QDate(kMapFirstYear, 1, 1);
}

QDate CTodayDlg::LastDate()
{
    return QDate(kLastValidYear, 12, 31);
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
    SetMaximumLayoutWidth(Units().MapX(kReadableLayoutWidth));
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
    m_picker->setDateRange(FirstDate(), LastDate());
    // A typed date counts once she presses Enter or leaves the field; a step of the arrow
    // keys or the wheel counts at once, and so does a date taken from the popup.
    m_picker->setKeyboardTracking(false);
    connect(m_picker, &QDateEdit::dateChanged, this, &CTodayDlg::OnPickerDateChanged);
    m_picker->installEventFilter(this);
    if (QCalendarWidget* calendar = m_picker->calendarWidget()) {
        QWidget* popup = calendar->window();
        // Browsing the popup leaves the field on the day being edited.
        QObject::disconnect(popup, SIGNAL(newDateSelected(QDate)), m_picker, SLOT(setDate(QDate)));
        popup->installEventFilter(this);
    }

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
    const QLocale locale = m_picker->locale();
    // The weekday leads as fixed text; the date itself is typed as in every date field.
    const QString format = FixedWeekday(date, locale) + QStringLiteral(", ") + TypedDateFormat(locale);
    if (format != m_picker->displayFormat()) {
        // The section being stepped stays the same.
        const int section = m_picker->currentSectionIndex();
        m_picker->setDisplayFormat(format);
        if (section >= 0 && section < m_picker->sectionCount())
            m_picker->setCurrentSectionIndex(section);
    }
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
        nameWidth = std::max(nameWidth, m_levelName->fontMetrics().horizontalAdvance(LevelName(level)));
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
    if (ask) {
        const MessageAnswer answer = ShowMessage(QStringLiteral("Save changes?"), MessageButtons::SaveDiscardCancel);
        if (answer == MessageAnswer::Discard)
            return SaveResult::Discarded;
        if (answer != MessageAnswer::Save)
            return SaveResult::Cancelled;
    }
    // Bleeding moves every prediction: a day that has not come yet gets it only when she says so.
    const CalDate today = Today();
    if (m_level != None && storedLevel == None && IsAfter(m_currentDate, today)) {
        const MessageAnswer answer = ShowMessage(QStringLiteral("%1 has not come yet. Record bleeding on it anyway?")
                                                     .arg(FormatDateNearToday(m_currentDate, today)),
                                                 MessageButtons::YesNo, MessageIcon::Question, MessageAnswer::No);
        if (answer != MessageAnswer::Yes)
            return SaveResult::Cancelled;
    }
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
    GoToDate(ToQDate(m_currentDate).addDays(days));
}

void CTodayDlg::GoToDate(const QDate& target)
{
    const QDate shown = ToQDate(m_currentDate);
    if (m_busy || m_ending || !target.isValid() || target == shown || target < FirstDate() || target > LastDate()) {
        SetPickerDate(shown);
        return;
    }
    m_busy = true;
    const SaveResult result = SaveDay(true);
    m_busy = false;
    if (result == SaveResult::Cancelled || result == SaveResult::Failed) {
        SetPickerDate(shown);
        return;
    }
    SetPickerDate(target);
    LoadDay();
}

void CTodayDlg::OnPickerDateChanged(const QDate& date)
{
    if (m_loading || m_ending || !date.isValid())
        return;
    // A date taken from the popup is gone to once the popup has closed.
    if (IsCalendarOpen()) {
        m_pickedDate = date;
        return;
    }
    PickDate(date);
}

void CTodayDlg::PickDate(const QDate& date)
{
    m_pickedDate = date;
    // The field shows the day being edited until the saving road has run; the question is
    // asked once the key, wheel or click that chose the date has been handled.
    SetPickerDate(ToQDate(m_currentDate));
    QMetaObject::invokeMethod(this, &CTodayDlg::CommitPickedDate, Qt::QueuedConnection);
}

void CTodayDlg::StepPickerDate(int steps)
{
    if (steps == 0 || m_busy || m_ending)
        return;
    // A date typed and not yet taken is stepped from.
    m_picker->interpretText();
    const QDate from = m_pickedDate.isValid() ? m_pickedDate : ToQDate(m_currentDate);
    PickDate(StepDate(from, m_picker->currentSection(), steps));
}

void CTodayDlg::CommitPickedDate()
{
    const QDate target = m_pickedDate;
    m_pickedDate = QDate();
    if (target.isValid())
        GoToDate(target);
}

bool CTodayDlg::IsCalendarOpen() const
{
    const QCalendarWidget* calendar = m_picker ? m_picker->calendarWidget() : nullptr;
    return calendar && calendar->window()->isVisible();
}

void CTodayDlg::End(bool ask, int result)
{
    if (m_busy || m_ending)
        return;
    m_busy = true;
    const SaveResult saved = SaveDay(ask);
    m_busy = false;
    if (saved == SaveResult::Cancelled || saved == SaveResult::Failed)
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
    // An empty box blends into the page; one with a note stands out in the theme's second
    // shade, still in the theme's colours (a light edit box with light text would be unreadable
    // in a dark theme).
    QPalette palette = this->palette();
    if (!m_notesEmpty) {
        for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
            palette.setColor(group, QPalette::Base, palette.color(group, QPalette::AlternateBase));
    }
    m_notes->setPalette(palette);
    m_notes->update();
}

bool CTodayDlg::eventFilter(QObject* watched, QEvent* event)
{
    // Enter in the date field commits the typed date; it does not close the editor.
    if (watched == m_picker && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            m_picker->interpretText();
            return true;
        }
        if ((key->key() == Qt::Key_Up || key->key() == Qt::Key_Down) &&
            (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
            StepPickerDate(key->key() == Qt::Key_Up ? 1 : -1);
            return true;
        }
    }
    // The wheel steps like the arrow keys.
    if (watched == m_picker && event->type() == QEvent::Wheel) {
        StepPickerDate(m_wheel.Take(*static_cast<QWheelEvent*>(event)));
        return true;
    }
    // The popup closing after a date was taken from it goes to that date (closed with Esc or
    // by a click elsewhere, it took none).
    if (event->type() == QEvent::Hide && m_picker && m_pickedDate.isValid() && m_picker->calendarWidget() &&
        watched == m_picker->calendarWidget()->window()) {
        SetPickerDate(ToQDate(m_currentDate));
        QMetaObject::invokeMethod(this, &CTodayDlg::CommitPickedDate, Qt::QueuedConnection);
    }
    return CSizeableDialog::eventFilter(watched, event);
}
