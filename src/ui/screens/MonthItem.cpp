#include "ui/screens/MonthItem.h"

MonthItem::MonthItem(int month, int year) : month(month), year(year)
{
}

MonthItem::~MonthItem() = default;
