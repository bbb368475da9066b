#include "ui/toolkit/PanelItem.h"

#include <utility>

PanelItem::PanelItem(QString itemCaption, QString itemDescription, int itemIconIndex)
    : caption(std::move(itemCaption)), description(std::move(itemDescription)), iconIndex(itemIconIndex)
{
}

PanelItem::~PanelItem() = default;
