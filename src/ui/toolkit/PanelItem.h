#pragma once

#include <QString>

/// One row of a finger-scrolled list: a caption, a description and an icon (an index into
/// the ImageCache images, -1 for none). Derived rows (month pages) are deleted whole.
struct PanelItem
{
    PanelItem() = default;
    PanelItem(QString caption, QString description, int iconIndex);
    virtual ~PanelItem();

    QString caption;
    QString description;
    int iconIndex = -1;
};
