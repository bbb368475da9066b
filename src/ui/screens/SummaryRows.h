#pragma once

#include <QString>

#include <vector>

class CycleDatabase;

/// One row of the main summary: the texts and the icon index into the image cache.
struct SummaryRow
{
    QString caption;
    QString description;
    int iconIndex = -1;
};

/// The rows of the main summary for today: nine rows, or seven "No data" rows and the two
/// tools when no cycle start lies within reach. Clears the database's `changed` flag.
std::vector<SummaryRow> BuildSummaryRows(CycleDatabase& database);

/// The command a tap on summary row `index` posts, or 0 for a row that posts none.
int SummaryRowCommand(int index);
