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
    // The three other figures are brought up to date by the average.
    const int average = database.AverageCycleLength();
    database.AverageCycleLength();
    const int shortest = database.ShortestCycle();
    database.AverageCycleLength();
    const int longest = database.LongestCycle();
    database.AverageCycleLength();
    const int longestPeriod = database.LongestPeriod();
    const int measured = database.MeasuredCycleCount();

    const std::pair<QString, int> rows[] = {
        {QStringLiteral("Average cycle period"), average},
        {QStringLiteral("Shortest cycle"), shortest},
        {QStringLiteral("Longest cycle"), longest},
        {QStringLiteral("Maximum period duration"), longestPeriod},
    };
    for (const auto& [caption, days] : rows)
        new QTreeWidgetItem(m_list, QStringList{caption, QString::number(static_cast<unsigned>(days))});

    if (measured == 0)
        m_basis->setText(QStringLiteral("No cycle measured yet: these are the settings' values"));
    else if (measured == 1)
        m_basis->setText(QStringLiteral("Based on 1 cycle"));
    else
        m_basis->setText(QStringLiteral("Based on %1 cycles").arg(measured));
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
