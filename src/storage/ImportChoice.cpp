#include "storage/ImportChoice.h"

#include "platform/CountText.h"
#include "storage/CsvExchange.h"

#include <QLocale>

namespace {
QString DayText(const CalDate& date)
{
    return QLocale().toString(ToQDate(date), QStringLiteral("d MMM yyyy"));
}
} // namespace

QString ImportChoice::Preview(const ImportedDays& days)
{
    QString text = QStringLiteral("%1 from %2")
                       .arg(CountText(static_cast<long long>(days.records.size()), u"day", u"days"), days.format);
    if (!days.records.empty()) {
        const CalDate first = days.records.front().date;
        const CalDate last = days.records.back().date;
        text += IsSameDate(first, last) ? QStringLiteral(", %1").arg(DayText(first))
                                        : QStringLiteral(", %1 to %2").arg(DayText(first), DayText(last));
    }
    const QString skipped = days.SkippedText();
    if (!skipped.isEmpty())
        text += QStringLiteral("; ") + skipped;
    text += QLatin1Char('.');
    if (days.report.shortened > 0) {
        text += QStringLiteral(" %1 shortened to %2 characters.")
                    .arg(CountText(days.report.shortened, u"note", u"notes"))
                    .arg(kMaxNoteLength);
    }
    if (days.report.stoppedAtLine > 0) {
        text += QStringLiteral("\nThe file could be read only up to line %1: line %2 %3. Nothing from there on is "
                               "imported.")
                    .arg(days.report.stoppedAtLine - 1)
                    .arg(days.report.stoppedAtLine)
                    .arg(days.report.stopReason);
    }
    return text;
}

QString ImportChoice::Question(const ImportedDays& days, const std::vector<DayRecord>& stored)
{
    QString text = Preview(days) + QStringLiteral("\n\n");
    if (stored.empty())
        return text + QStringLiteral("Import these days?");
    const int clashes = Clashes(stored, days.records);
    const QString storedDays = CountText(static_cast<long long>(stored.size()), u"day", u"days");
    QString both;
    if (clashes == 0)
        both = QStringLiteral("no date is in both");
    else
        both = QStringLiteral("%1 in both").arg(CountText(clashes, u"date is", u"dates are"));
    text += QStringLiteral("You have %1 stored, and %2.\n").arg(storedDays, both);
    text += QStringLiteral("\"Add to my days\" keeps your own record on every date you have.\n"
                           "\"Replace my days\" removes your %1 first; this cannot be undone.")
                .arg(storedDays);
    return text;
}

int ImportChoice::Clashes(const std::vector<DayRecord>& stored, const std::vector<DayRecord>& imported)
{
    int clashes = 0;
    size_t i = 0;
    for (const DayRecord& record : imported) {
        while (i < stored.size() && IsBefore(stored[i].date, record.date))
            ++i;
        if (i < stored.size() && IsSameDate(stored[i].date, record.date))
            ++clashes;
    }
    return clashes;
}

std::vector<DayRecord> ImportChoice::Merge(const std::vector<DayRecord>& stored, const std::vector<DayRecord>& imported)
{
    std::vector<DayRecord> merged;
    merged.reserve(stored.size() + imported.size());
    size_t i = 0;
    size_t j = 0;
    while (i < stored.size() || j < imported.size()) {
        if (j == imported.size() || (i < stored.size() && IsBeforeOrSame(stored[i].date, imported[j].date))) {
            if (j < imported.size() && IsSameDate(stored[i].date, imported[j].date))
                ++j; // her own record stays
            merged.push_back(stored[i++]);
        } else {
            merged.push_back(imported[j++]);
        }
    }
    return merged;
}

bool ImportChoice::Store(CycleDatabase& database, const ImportedDays& days, ImportMode mode)
{
    return StoreImportedDays(database,
                             mode == ImportMode::Add ? Merge(database.Records(), days.records) : days.records);
}

QString ImportChoice::Done(int imported, int clashes)
{
    QString text = QStringLiteral("Imported %1.").arg(CountText(imported, u"day", u"days"));
    if (clashes > 0) {
        text += QStringLiteral(" %1 already stored; your own record stayed there.")
                    .arg(CountText(clashes, u"date was", u"dates were"));
    }
    return text;
}
