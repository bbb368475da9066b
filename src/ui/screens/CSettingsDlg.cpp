#include "ui/screens/CSettingsDlg.h"

#include "model/CycleDatabase.h"
#include "model/CycleLimits.h"
#include "platform/MessageBox.h"
#include "platform/gui/UpDownButtons.h"
#include "platform/gui/UpDownEdit.h"
#include "resources/DialogTemplates.h"
#include "resources/ResourceIds.h"
#include "settings/AppSettings.h"
#include "settings/CalendarSettings.h"
#include "settings/SettingsAccess.h"
#include "storage/LiveCalendarFile.h"
#include "ui/screens/PasswordProtectionSwitch.h"
#include "ui/toolkit/ImageCache.h"
#include "ui/toolkit/ThemedPalette.h"

#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>
#include <climits>

namespace {
// The arrows of the luteal phase reach further than OK accepts, as they always did.
constexpr int kShortestLutealArrows = 1;
// Dialog units between the reminder note and the row below it.
constexpr int kNoteGap = 4;

QString SettingsFileName()
{
    return QDir::toNativeSeparators(SettingsFilePath());
}
} // namespace

CSettingsDlg::CSettingsDlg(QWidget* parent) : CSizeableDialog(kIddSettings, parent)
{
}

CSettingsDlg::~CSettingsDlg() = default;

bool CSettingsDlg::UsesOrientationTemplates() const
{
    return true;
}

int CSettingsDlg::GetLayoutTemplateId() const
{
    return ScreenOrientation() < 0 ? kIddSettingsLandscape : kIddSettings;
}

bool CSettingsDlg::OnInitDialog()
{
    if (!CSizeableDialog::OnInitDialog())
        return false;
    m_cycleLength = ControlAs<UpDownEdit>(kIdcSettingsCycleLen);
    m_periodLength = ControlAs<UpDownEdit>(kIdcSettingsPeriodLen);
    m_lutealPhase = ControlAs<UpDownEdit>(kIdcSettingsLuteal);
    m_notify = ControlAs<QCheckBox>(kIdcSettingsNotify);
    m_notifyDays = ControlAs<QComboBox>(kIdcSettingsNotifyDays);
    m_reminderNote = ControlAs<QLabel>(kIdcSettingsReminderNote);
    m_theme = ControlAs<QComboBox>(kIdcSettingsTheme);
    auto* protection = ControlAs<QCheckBox>(kIdcSettingsPassword);
    auto* setPassword = ControlAs<QPushButton>(kIdcSettingsSetPassword);
    if (!m_cycleLength || !m_periodLength || !m_lutealPhase || !m_notify || !m_notifyDays || !m_reminderNote ||
        !m_theme || !protection || !setPassword)
        return false;
    CreateMenuBar(kMenuOkCancel);

    // Each number says its range where the pointer rests on it; the luteal phase also what it is.
    struct Number
    {
        UpDownEdit* edit;
        int label;
        int arrows;
        int value;
        int minimum;
        int maximum;
        QString hint;
    };
    CycleDatabase& database = TheCycleDatabase();
    const Number numbers[] = {
        {m_cycleLength, kIdcSettingsCycleLenLabel, kIdcSettingsCycleLenSpin, database.InitialCycleLen(),
         kShortestCycleSetting, kLongestCycleSetting,
         QStringLiteral("The cycle length assumed until enough cycles are recorded.\n"
                        "Accepted: %1 to %2 days.")
             .arg(kShortestCycleSetting)
             .arg(kLongestCycleSetting)},
        {m_periodLength, kIdcSettingsPeriodLenLabel, kIdcSettingsPeriodLenSpin, database.InitialPeriodLen(),
         kShortestPeriodSetting, kLongestPeriodSetting,
         QStringLiteral("The bleeding days assumed for a cycle.\nAccepted: %1 to %2 days.")
             .arg(kShortestPeriodSetting)
             .arg(kLongestPeriodSetting)},
        {m_lutealPhase, kIdcSettingsLutealLabel, kIdcSettingsLutealSpin, database.LutealPhaseLen(),
         kShortestLutealArrows, kLongestStoredLutealPhase,
         QStringLiteral("The luteal phase is the time from ovulation to the start of the next cycle,\n"
                        "usually about 14 days. It places the predicted ovulation and fertile days.\n"
                        "Accepted: %1 to %2 days.")
             .arg(kShortestLutealSetting)
             .arg(kLongestLutealSetting)},
    };
    for (const Number& number : numbers) {
        number.edit->setText(QString::number(number.value));
        if (auto* arrows = ControlAs<UpDownButtons>(number.arrows)) {
            arrows->SetBuddy(number.edit);
            arrows->SetRange(number.minimum, number.maximum);
            arrows->setToolTip(number.hint);
        }
        number.edit->setToolTip(number.hint);
        if (QWidget* label = Control(number.label))
            label->setToolTip(number.hint);
    }

    // Her recorded periods take the setting's place once there are any: the label says so.
    if (const int periods = database.AveragedPeriodCount(); periods > 0) {
        const QString used =
            QStringLiteral("Predicted periods now last %1 days, the mean of your last %2 recorded "
                           "period%3.\nThis value is used only while none is recorded.\nAccepted: 1 to 7 days.")
                .arg(database.PredictedPeriodLength())
                .arg(periods)
                .arg(periods == 1 ? QString() : QStringLiteral("s"));
        m_periodLength->setToolTip(used);
        if (QWidget* label = Control(kIdcSettingsPeriodLenLabel)) {
            label->setToolTip(used);
            if (auto* text = qobject_cast<QLabel*>(label))
                text->setText(QStringLiteral("Period if none recorded:"));
        }
    }

    AppSettings& settings = TheAppSettings();
    m_theme->addItems(TheImageCache().ThemeNames());
    m_theme->setCurrentIndex(settings.selectedTheme);

    m_protection = new PasswordProtectionSwitch(protection, setPassword);

    m_notify->setChecked(settings.alertEnabled);
    m_notifyDays->setCurrentIndex(std::clamp(settings.alertDaysInAdvance, 0, m_notifyDays->count() - 1));
    m_notifyDays->setEnabled(m_notify->isChecked());
    if (auto* discreet = ControlAs<QCheckBox>(kIdcSettingsDiscreet)) {
        discreet->setChecked(settings.discreetReminders);
        discreet->setEnabled(m_notify->isChecked());
        discreet->setToolTip(QStringLiteral("Reminders say only \"Velumina reminder\", with no date and no word of "
                                            "the cycle, for screens others can see."));
    }
    // The switch can be set all the same: the reminders are registered for a later session
    // or another computer that reads the same settings.
    const QString problem = settings.ReminderDeliveryProblem();
    m_reminderNote->setText(problem);
    m_reminderNote->setVisible(!problem.isEmpty());

    m_calendarFile = ControlAs<QCheckBox>(kIdcSettingsCalendarFile);
    m_calendarDiscreet = ControlAs<QCheckBox>(kIdcSettingsCalendarDiscreet);
    m_calendarPath = ControlAs<QLineEdit>(kIdcSettingsCalendarPath);
    if (m_calendarFile && m_calendarDiscreet && m_calendarPath) {
        const CalendarSettings calendar = CalendarSettings::Load();
        m_calendarFile->setChecked(calendar.keepFile);
        m_calendarDiscreet->setChecked(calendar.discreet);
        m_calendarPath->setText(QDir::toNativeSeparators(LiveCalendarFile::Path()));
        m_calendarPath->setAccessibleName(QStringLiteral("Calendar file"));
        m_calendarPath->setCursorPosition(0);
        const QString calendarProblem = LiveCalendarFile::LastError();
        m_calendarPath->setToolTip(
            calendarProblem.isEmpty()
                ? QStringLiteral("%1\nA desktop calendar can subscribe to this file.").arg(m_calendarPath->text())
                : calendarProblem);
        ShowCalendarSwitch(protection->isChecked());
        connect(protection, &QCheckBox::toggled, this, &CSettingsDlg::ShowCalendarSwitch);
    }

    m_ready = true;
    PlaceControls();
    return true;
}

void CSettingsDlg::ShowCalendarSwitch(bool protectionOn)
{
    m_calendarFile->setText(protectionOn ? QStringLiteral("Keep an unencrypted calendar file up to date")
                                         : QStringLiteral("Keep a calendar file up to date"));
    m_calendarFile->setToolTip(protectionOn ? QStringLiteral("Your data are protected, but this calendar file is "
                                                             "not: anyone who can read it sees your predictions.")
                                            : QString());
}

void CSettingsDlg::OnSize(int type, int cx, int cy)
{
    CSizeableDialog::OnSize(type, cx, cy);
    if (m_ready && type != kSizeMinimized)
        PlaceControls();
}

void CSettingsDlg::PlaceControls()
{
    const DialogTemplate* layout = FindDialogTemplate(GetLayoutTemplateId());
    if (!layout)
        return;
    const DialogUnits units = Units();
    // Without a note its row closes up: what lies below it moves up by the row.
    int collapseBelow = INT_MAX;
    int collapse = 0;
    if (m_reminderNote->isHidden()) {
        for (const DialogItemTemplate& item : layout->items) {
            if (item.id == kIdcSettingsReminderNote) {
                collapseBelow = item.y + item.cy;
                collapse = units.MapY(item.cy + kNoteGap);
            }
        }
    }
    const QSize block = units.MapSize(layout->cx, layout->cy) - QSize(0, collapse);
    const QSize client = ClientSize();
    const QPoint origin(std::max(0, (client.width() - block.width()) / 2),
                        std::max(0, (client.height() - block.height()) / 2));
    for (const DialogItemTemplate& item : layout->items) {
        QWidget* control = Control(item.id);
        if (!control)
            continue;
        QRect rect = PlacementRect(control, item, units);
        if (item.y >= collapseBelow)
            rect.translate(0, -collapse);
        control->setGeometry(rect.translated(origin));
    }
}

void CSettingsDlg::OnCommand(int id)
{
    if (id == kIdcSettingsNotify) {
        m_notifyDays->setEnabled(m_notify->isChecked());
        if (QWidget* discreet = Control(kIdcSettingsDiscreet))
            discreet->setEnabled(m_notify->isChecked());
        return;
    }
    if (id == kIdcSettingsCopyPath && m_calendarPath) {
        QGuiApplication::clipboard()->setText(m_calendarPath->text());
        return;
    }
    CSizeableDialog::OnCommand(id);
}

bool CSettingsDlg::AcceptsCycleLength(UpDownEdit* edit, const QString& name)
{
    return edit->AcceptsNumber(
        kShortestCycleSetting, kLongestCycleSetting,
        QStringLiteral("The %1 must be between %2 and %3 days").arg(name, QStringLiteral("%1"), QStringLiteral("%2")));
}

void CSettingsDlg::OnOK()
{
    // The first number out of range is said, in the order of the fields.
    if (!AcceptsCycleLength(m_cycleLength) ||
        !m_periodLength->AcceptsNumber(kShortestPeriodSetting, kLongestPeriodSetting,
                                       QStringLiteral("The average period length must be between %1 and %2 days")) ||
        !m_lutealPhase->AcceptsNumber(kShortestLutealSetting, kLongestLutealSetting,
                                      QStringLiteral("The luteal phase length must be between %1 and %2 days")))
        return;
    if (!IsSettingsWritable()) {
        ShowMessage(QStringLiteral("The settings could not be saved: %1 cannot be written.").arg(SettingsFileName()),
                    MessageButtons::Ok, MessageIcon::Warning);
        return;
    }
    // Protection first: when it fails, nothing else is stored and the screen stays open.
    if (!m_protection->Apply())
        return;
    const int failures = SettingsWriteFailureCount();
    Store();
    if (SettingsWriteFailureCount() != failures) {
        ShowMessage(QStringLiteral("Not every setting could be saved to %1. The new values apply until Velumina ends.")
                        .arg(SettingsFileName()),
                    MessageButtons::Ok, MessageIcon::Warning);
    }
    done(QDialog::Accepted);
}

void CSettingsDlg::Store()
{
    CycleDatabase& database = TheCycleDatabase();
    AppSettings& settings = TheAppSettings();
    {
        // Each length recalculates, and the alert switch reschedules: the reminders are
        // registered once, with the new switch, when all of it is done.
        AppSettings::RescheduleBatch batch(settings);
        database.SetInitialCycleLen(m_cycleLength->ReadNumber());
        database.SetInitialPeriodLen(m_periodLength->ReadNumber());
        database.SetLutealPhaseLen(m_lutealPhase->ReadNumber());
        settings.SetAlert(m_notify->isChecked(), m_notifyDays->currentIndex());
    }
    // Read when a reminder is shown: the registered reminders need no change.
    if (const auto* discreet = ControlAs<QCheckBox>(kIdcSettingsDiscreet))
        settings.discreetReminders = discreet->isChecked();
    const int theme = m_theme->currentIndex();
    const bool themeChanged = theme >= 0 && theme != settings.selectedTheme;
    if (theme >= 0)
        settings.selectedTheme = theme;
    settings.Save();
    if (m_calendarFile && m_calendarDiscreet) {
        CalendarSettings calendar = CalendarSettings::Load();
        calendar.keepFile = m_calendarFile->isChecked();
        calendar.discreet = m_calendarDiscreet->isChecked();
        calendar.Save();
    }
    // The calendar file follows the new cycle parameters and its own switch.
    LiveCalendarFile::Follow();
    // Every painted window shows the new theme now, not at its next repaint.
    if (themeChanged)
        RefreshForThemeChange();
}
