#include "ui/screens/CConceptionProbabilityDlg.h"

#include "model/CycleDatabase.h"
#include "resources/ResourceIds.h"
#include "ui/screens/COvuChartWnd.h"
#include "ui/toolkit/ImageCache.h"

#include <QLabel>

CConceptionProbabilityDlg::CConceptionProbabilityDlg(QWidget* parent) : CSizeableDialog(kIddConception, parent)
{
}

CConceptionProbabilityDlg::~CConceptionProbabilityDlg() = default;

bool CConceptionProbabilityDlg::UsesOrientationTemplates() const
{
    return true;
}

int CConceptionProbabilityDlg::GetLayoutTemplateId() const
{
    const QSize screen = window()->size();
    return screen.height() < screen.width() ? kIddConceptionLandscape : kIddConception;
}

bool CConceptionProbabilityDlg::OnInitDialog()
{
    if (!CSizeableDialog::OnInitDialog())
        return false;
    auto* headline = ControlAs<QLabel>(kIdcConceptionHeadline);
    auto* footnote = ControlAs<QLabel>(kIdcConceptionFootnote);
    m_chart = qobject_cast<COvuChartWnd*>(ReplaceControl(kIdcConceptionChart, new COvuChartWnd));
    if (!headline || !footnote || !m_chart)
        return false;
    m_chart->setObjectName(QStringLiteral("OvuChart"));
    headline->setFont(TheImageCache().CaptionFont());
    headline->setAlignment(Qt::AlignCenter);
    SetAnchor(kIdcConceptionHeadline, kAnchorWiden);
    SetAnchor(kIdcConceptionChart, kAnchorWiden | kAnchorHeighten);
    SetAnchor(kIdcConceptionFootnote, kAnchorWiden | kAnchorBottom);
    CreateMenuBar(kMenuBack);
    UpdateTexts();
    return true;
}

void CConceptionProbabilityDlg::OnSize(int type, int cx, int cy)
{
    // After a turn the controls first go where the new orientation's template puts them.
    if (IsCreated() && OrientationChangedSinceNoted())
        ApplyLayoutTemplate(GetLayoutTemplateId());
    CSizeableDialog::OnSize(type, cx, cy);
}

void CConceptionProbabilityDlg::RelayoutControls()
{
    CSizeableDialog::RelayoutControls();
    UpdateTexts();
}

void CConceptionProbabilityDlg::UpdateTexts()
{
    CycleDatabase& database = TheCycleDatabase();
    if (auto* headline = ControlAs<QLabel>(kIdcConceptionHeadline)) {
        const int chance = database.ChanceToday();
        headline->setText(chance < 0 ? QStringLiteral("No Data")
                                     : QStringLiteral("%1% chance to conceive today").arg(chance));
    }
    if (auto* footnote = ControlAs<QLabel>(kIdcConceptionFootnote)) {
        footnote->setText(QStringLiteral("(assuming the ovulation occurs %1 days before the start of the next cycle)")
                              .arg(database.LutealPhaseLen()));
    }
}

QString CConceptionProbabilityDlg::HeadlineText() const
{
    const auto* headline = ControlAs<QLabel>(kIdcConceptionHeadline);
    return headline ? headline->text() : QString();
}

QString CConceptionProbabilityDlg::FootnoteText() const
{
    const auto* footnote = ControlAs<QLabel>(kIdcConceptionFootnote);
    return footnote ? footnote->text() : QString();
}
