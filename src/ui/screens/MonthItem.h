#pragma once

#include "ui/toolkit/PanelItem.h"

#include <QImage>
#include <QRect>

#include <vector>

/// One month page of the calendar strip: its month, the page picture rendered once, and the
/// rectangle of every day cell (entry k is day k + 1, in page coordinates).
struct MonthItem : PanelItem
{
    MonthItem() = default;
    MonthItem(int month, int year);
    ~MonthItem() override;

    int month = 1;
    int year = 1971;
    QImage page;
    std::vector<QRect> cells;
};
