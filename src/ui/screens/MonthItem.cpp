#include "ui/screens/MonthItem.h"

MonthItem::MonthItem(int pageMonth, int pageYear) : month(pageMonth), year(pageYear)
{
}

MonthItem::~MonthItem() = default;
