#include "ui/toolkit/PanelItem.h"

#include <utility>

PanelItem::PanelItem(QString caption, QString description, int iconIndex)
    : caption(std::move(caption)), description(std::move(description)), iconIndex(iconIndex)
{
}

PanelItem::~PanelItem() = default;
