#include "ui/screens/COvulationDlg.h"

#include "model/CycleDatabase.h"
#include "model/OvulationDates.h"
#include "resources/ResourceIds.h"
#include "ui/screens/FertilityDates.h"
#include "ui/toolkit/ImageCache.h"

#include <QLabel>
#include <QLineEdit>

namespace {
constexpr int kDateBoxes[] = {kIdcOvulationLast, kIdcOvulationNext, kIdcOvulationFertile};
} // namespace

COvulationDlg::COvulationDlg(QWidget* parent) : CSizeableDialog(kIddOvulation, parent)
{
}

COvulationDlg::~COvulationDlg() = default;

int COvulationDlg::GetLayoutTemplateId() const
{
    return kIddOvulation;
}

bool COvulationDlg::OnInitDialog()
{
    for (const int id : kDateBoxes)
        SetAnchor(id, kAnchorWiden);
    SetAnchor(kIdcOvulationFootnote, kAnchorWiden);
    if (!CSizeableDialog::OnInitDialog())
        return false;
    // On a wide window the dates stay a column to read, not boxes across the screen.
    SetMaximumLayoutWidth(Units().MapX(kReadableLayoutWidth));
    CreateMenuBar(kMenuBack);
    for (const int id : kDateBoxes) {
        auto* box = ControlAs<QLineEdit>(id);
        if (!box)
            return false;
        box->setFont(TheImageCache().BigFont());
        // Read-only, but Tab stops: read by the keyboard and a screen reader, and copied.
        box->setFocusPolicy(Qt::StrongFocus);
    }
    ShowDates();
    return true;
}

void COvulationDlg::ShowDates()
{
    const CalDate today = Today();
    CycleDatabase& database = TheCycleDatabase();
    OvulationDates estimate;
    QString last = QStringLiteral("No Data");
    QString next = last;
    QString fertile = last;
    if (FindOvulations(database, today, estimate)) {
        last = FormatDateNearToday(estimate.last, today);
        next = FormatDateNearToday(estimate.next, today);
        fertile = QStringLiteral("%1 to %2")
                      .arg(FormatDateNearToday(estimate.fertileFirst, today),
                           FormatDateNearToday(estimate.fertileLast, today));
    }
    ControlAs<QLineEdit>(kIdcOvulationLast)->setText(last);
    ControlAs<QLineEdit>(kIdcOvulationNext)->setText(next);
    ControlAs<QLineEdit>(kIdcOvulationFertile)->setText(fertile);
    for (const int id : kDateBoxes)
        ControlAs<QLineEdit>(id)->setCursorPosition(0);
    if (auto* footnote = ControlAs<QLabel>(kIdcOvulationFootnote)) {
        footnote->setText(QStringLiteral("(assuming the ovulation happens %1 days before the start of the next cycle)")
                              .arg(database.LutealPhaseLen()));
    }
}

QString COvulationDlg::LastText() const
{
    return ControlAs<QLineEdit>(kIdcOvulationLast)->text();
}

QString COvulationDlg::NextText() const
{
    return ControlAs<QLineEdit>(kIdcOvulationNext)->text();
}

QString COvulationDlg::FertileText() const
{
    return ControlAs<QLineEdit>(kIdcOvulationFertile)->text();
}
