#include "ui/screens/CWelcomeDlg.h"

#include "model/CycleDatabase.h"
#include "model/CycleLimits.h"
#include "platform/MessageBox.h"
#include "platform/gui/CheckedDateEdit.h"
#include "platform/gui/UpDownButtons.h"
#include "platform/gui/UpDownEdit.h"
#include "resources/ResourceIds.h"
#include "settings/AppSettings.h"
#include "settings/SettingsAccess.h"
#include "ui/screens/CSettingsDlg.h"
#include "ui/screens/CTodayDlg.h"
#include "ui/screens/PasswordProtectionSwitch.h"
#include "ui/toolkit/ImageCache.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QDir>
#include <QLabel>
#include <QPushButton>

namespace {
// The widest the controls are laid out, in dialog units: a large window keeps them together.
constexpr int kMaximumLayoutWidth = 300;
} // namespace

CWelcomeDlg::CWelcomeDlg(QWidget* parent) : CSizeableDialog(kIddWelcome, parent)
{
}

CWelcomeDlg::~CWelcomeDlg() = default;

QDate CWelcomeDlg::FirstDate()
{
    // The day editor's first day: predictions are made from then on.
    return CTodayDlg::FirstDate();
}

void CWelcomeDlg::SetImportFlow(ImportFlow flow)
{
    m_importFlow = std::move(flow);
}

bool CWelcomeDlg::UsesOrientationTemplates() const
{
    return true;
}

int CWelcomeDlg::GetLayoutTemplateId() const
{
    return ScreenOrientation() < 0 ? kIddWelcomeLandscape : kIddWelcome;
}

bool CWelcomeDlg::OnInitDialog()
{
    if (!CSizeableDialog::OnInitDialog())
        return false;
    m_lastCycle = ControlAs<CheckedDateEdit>(kIdcWelcomeLastCycle);
    m_cycleLength = ControlAs<UpDownEdit>(kIdcWelcomeCycleLen);
    m_dontShow = ControlAs<QCheckBox>(kIdcWelcomeDontShow);
    auto* thanks = ControlAs<QLabel>(kIdcWelcomeThanks);
    auto* protection = ControlAs<QCheckBox>(kIdcWelcomePassword);
    auto* setPassword = ControlAs<QPushButton>(kIdcWelcomeSetPassword);
    auto* import = ControlAs<QPushButton>(kIdcWelcomeImport);
    if (!m_lastCycle || !m_cycleLength || !m_dontShow || !thanks || !protection || !setPassword || !import)
        return false;

    // The title stays centred over the fields, which widen with the page.
    SetAnchor(kIdcWelcomeThanks, kAnchorWiden);
    SetAnchor(kIdcWelcomeGroup, kAnchorWiden);
    SetAnchor(kIdcWelcomeLastCycle, kAnchorWiden);
    SetAnchor(kIdcWelcomeCycleLen, kAnchorWiden);
    SetAnchor(kIdcWelcomeCycleLenSpin, kAnchorRight);
    SetAnchor(kIdcWelcomeExplanation, kAnchorWiden);
    SetAnchor(kIdcWelcomeSetPassword, kAnchorRight);
    SetMaximumLayoutWidth(Units().MapX(kMaximumLayoutWidth));
    CreateMenuBar(kMenuWelcome);
    thanks->setFont(TheImageCache().BigFont());

    // No date until she ticks the box; then today, and only days from 2008 to today, since
    // an older start predicts nothing and a later one has not happened.
    const QDate today = ToQDate(Today());
    QDateEdit* picker = m_lastCycle->DateEdit();
    picker->setDateRange(FirstDate(), today.isValid() ? today : FirstDate());
    m_lastCycle->SetDate(today);
    m_lastCycle->SetHasDate(false);
    m_lastCycle->CheckBox()->setToolTip(QStringLiteral("Tick to enter the day your last period started"));

    // The length starts from the stored setting, which need not be 28 after an erase.
    m_cycleLength->setText(QString::number(TheCycleDatabase().InitialCycleLen()));
    if (auto* arrows = ControlAs<UpDownButtons>(kIdcWelcomeCycleLenSpin)) {
        arrows->SetBuddy(m_cycleLength);
        arrows->SetRange(kShortestCycleSetting, kLongestCycleSetting);
    }
    m_cycleLength->setToolTip(
        QStringLiteral("Accepted: %1 to %2 days.").arg(kShortestCycleSetting).arg(kLongestCycleSetting));

    m_protection = new PasswordProtectionSwitch(protection, setPassword);

    import->setToolTip(QStringLiteral("Read the days from a file exported by Velumina"));
    import->setVisible(static_cast<bool>(m_importFlow));
    m_dontShow->setChecked(TheAppSettings().IsWelcomeDismissed());
    return true;
}

void CWelcomeDlg::OnSize(int type, int cx, int cy)
{
    // After a turn the controls first go where the new orientation's template puts them.
    if (IsCreated() && OrientationChangedSinceNoted())
        ApplyLayoutTemplate(GetLayoutTemplateId());
    CSizeableDialog::OnSize(type, cx, cy);
}

void CWelcomeDlg::OnCommand(int id)
{
    if (id == kIdcWelcomeImport) {
        RunImport();
        return;
    }
    CSizeableDialog::OnCommand(id);
}

void CWelcomeDlg::RunImport()
{
    if (!m_importFlow)
        return;
    // Imported days answer every question of this screen.
    if (m_importFlow() && !TheCycleDatabase().Records().empty()) {
        StoreDismissal();
        done(QDialog::Accepted);
    }
}

void CWelcomeDlg::OnOK()
{
    if (!CSettingsDlg::AcceptsCycleLength(m_cycleLength, QStringLiteral("average cycle length")))
        return;
    // Protection before the first day, so that the day is saved sealed.
    if (!m_protection->Apply())
        return;
    const int length = m_cycleLength->ReadNumber();
    CycleDatabase& database = TheCycleDatabase();
    // A date typed and not yet taken counts.
    m_lastCycle->DateEdit()->interpretText();
    const QDate picked = m_lastCycle->Date();
    {
        // The day and the length each recalculate: the reminders are registered once.
        AppSettings::RescheduleBatch batch(TheAppSettings());
        // Only a day record writes the data file. Without one nothing is saved: an empty save
        // would replace a data file that could not be read at this start.
        if (picked.isValid()) {
            DayRecord record;
            record.date = ToCalDate(picked);
            SetLevel(record, Heavy);
            record.chance = -1;
            // A failed store has said why; she may try again or skip, and the length waits
            // with the day, so that a skip keeps the settings as they were.
            if (!database.SetDay(record))
                return;
        }
        const int failures = SettingsWriteFailureCount();
        database.SetInitialCycleLen(length);
        if (SettingsWriteFailureCount() != failures) {
            ShowMessage(QStringLiteral("The cycle length could not be saved to %1. It applies until Velumina ends.")
                            .arg(QDir::toNativeSeparators(SettingsFilePath())),
                        MessageButtons::Ok, MessageIcon::Warning);
        }
    }
    StoreDismissal();
    done(QDialog::Accepted);
}

void CWelcomeDlg::OnCancel()
{
    StoreDismissal();
    done(QDialog::Rejected);
}

void CWelcomeDlg::StoreDismissal()
{
    AppSettings& settings = TheAppSettings();
    const bool dismissed = m_dontShow && m_dontShow->isChecked();
    if (dismissed == settings.IsWelcomeDismissed())
        return;
    if (!settings.SetWelcomeDismissed(dismissed)) {
        ShowMessage(QStringLiteral("Your choice about the welcome screen could not be saved to %1.")
                        .arg(QDir::toNativeSeparators(SettingsFilePath())),
                    MessageButtons::Ok, MessageIcon::Warning);
    }
}
