#include "ui/screens/CStatisticsDlg.h"

#include "model/CycleDatabase.h"
#include "resources/ResourceIds.h"
#include "ui/screens/CycleList.h"

#include <QLabel>
#include <QTreeWidget>

CStatisticsDlg::CStatisticsDlg(QWidget* parent) : CBlackDialog(kIddStatistics, parent)
{
}

CStatisticsDlg::~CStatisticsDlg() = default;

bool CStatisticsDlg::OnInitDialog()
{
    if (!CBlackDialog::OnInitDialog())
        return false;
    CreateMenuBar(kMenuBack);
    m_list = ControlAs<QTreeWidget>(kIdcCycleList);
    if (!m_list)
        return false;
    m_list->setAccessibleName(QStringLiteral("Statistics"));
    m_list->setHeaderLabels({QStringLiteral("Item"), QStringLiteral("Days")});
    m_rows = new CycleList(m_list, {2, 1});
    m_basis = new QLabel(this);
    m_basis->setObjectName(QStringLiteral("StatisticsBasis"));
    m_basis->setWordWrap(true);
    m_basis->setContentsMargins(6, 4, 6, 4);
    FillRows();
    PlaceControls();
    return true;
}

void CStatisticsDlg::FillRows()
{
    CycleDatabase& database = TheCycleDatabase();
    const int average = database.AverageCycleLength();
    const int measured = database.MeasuredCycleCount();
    const int averaged = database.AveragedCycleCount();
    const int periods = database.AveragedPeriodCount();
    const std::pair<QString, int> rows[] = {
        {QStringLiteral("Average cycle period"), average},
        {QStringLiteral("Shortest cycle"), database.ShortestCycle()},
        {QStringLiteral("Longest cycle"), database.LongestCycle()},
        {QStringLiteral("Maximum period duration"), database.LongestPeriod()},
    };
    for (const auto& [caption, days] : rows)
        new QTreeWidgetItem(m_list, QStringList{caption, QString::number(static_cast<unsigned>(days))});

    // Say what each figure rests on: only cycles between two periods she recorded count.
    auto plural = [](int count, const char* word) {
        return QStringLiteral("%1 %2%3").arg(count).arg(QLatin1String(word)).arg(count == 1 ? QString() : QStringLiteral("s"));
    };
    QString text;
    if (measured == 0)
        text = QStringLiteral("No cycle measured yet: the cycle figures are the settings' value.");
    else if (averaged == measured)
        text = QStringLiteral("Based on %1 between periods you recorded.").arg(plural(measured, "cycle"));
    else
        text = QStringLiteral("Based on %1 between periods you recorded; the average on the last %2.")
                   .arg(plural(measured, "cycle"))
                   .arg(averaged);
    if (periods == 0)
        text +=
            QStringLiteral(" Predicted periods last %1, the settings' value, until you record one of two days or more.")
                .arg(plural(database.PredictedPeriodLength(), "day"));
    else
        text += QStringLiteral(" Predicted periods last %1, the mean of your last %2.")
                    .arg(plural(database.PredictedPeriodLength(), "day"))
                    .arg(plural(periods, "period"));
    m_basis->setText(text);
}

void CStatisticsDlg::PlaceControls()
{
    if (!m_list || !m_basis)
        return;
    const QSize client = ClientSize();
    const int lineHeight = std::min(client.height(), m_basis->heightForWidth(client.width()));
    m_list->setGeometry(0, 0, client.width(), client.height() - lineHeight);
    m_basis->setGeometry(0, client.height() - lineHeight, client.width(), lineHeight);
}

void CStatisticsDlg::resizeEvent(QResizeEvent* event)
{
    CBlackDialog::resizeEvent(event);
    PlaceControls();
}
