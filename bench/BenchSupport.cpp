#include "BenchSupport.h"

#include "model/CivilDays.h"
#include "model/CycleDatabase.h"
#include "platform/CalendarDay.h"
#include "ui/toolkit/CBlackDialog.h"

#include <QCoreApplication>
#include <QTimer>

std::vector<DayRecord> Periods(const CalDate& lastStart, int cycles, const std::vector<int>& lengths)
{
    const int levels[] = {Heavy, Heavy, Medium, Medium, Slight};
    const QString note = QStringLiteral("Cramps in the morning, better after a walk.");
    std::vector<DayRecord> records;
    CalDate start = lastStart;
    for (int cycle = 0; cycle < cycles; ++cycle) {
        for (int d = 4; d >= 0; --d)
            records.push_back(Day(CivilOffsetDate(start, d), levels[d], d == 0 ? note : QString()));
        start = CivilOffsetDate(start, -lengths[cycle % lengths.size()]);
    }
    return {records.rbegin(), records.rend()};
}

std::vector<DayRecord> TenThousandDays(bool notes)
{
    std::vector<DayRecord> records;
    for (int i = 0; i < CycleDatabase::kMaxRecords; ++i)
        records.push_back(Day(CivilOffsetDate(CalDate{1, 1, kMapFirstYear}, i), i % 29 < 5 ? Heavy : None,
                              notes && i % 4 == 0 ? QString(100, QChar(u'a' + i % 26)) : QString()));
    return records;
}

QSize SizeArgs(const benchmark::State& state)
{
    return QSize(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
}

PageHost::PageHost()
{
    resize(480, 640);
    show();
    QCoreApplication::processEvents();
}

void PageHost::OpenOnce(CBlackDialog& page, const std::function<void()>& onShown)
{
    QTimer::singleShot(0, &page, [&page, &onShown] {
        page.repaint();
        onShown();
        page.reject();
    });
    page.RunAsPage(this);
}
