#include "ui/screens/BirthSigns.h"

#include <array>

namespace {
constexpr std::array<BirthSign, 12> kSigns = {{
    {u"Aries", 3, 21, 4, 19},
    {u"Taurus", 4, 20, 5, 20},
    {u"Gemini", 5, 21, 6, 20},
    {u"Cancer", 6, 21, 7, 22},
    {u"Leo", 7, 23, 8, 22},
    {u"Virgo", 8, 23, 9, 22},
    {u"Libra", 9, 23, 10, 23},
    {u"Scorpio", 10, 24, 11, 22},
    {u"Sagittarius", 11, 23, 12, 21},
    {u"Capricorn", 12, 22, 1, 19},
    {u"Aquarius", 1, 20, 2, 19},
    {u"Pisces", 2, 20, 3, 20},
}};

// The 1st of any month two years on leaves more than the days to conception.
constexpr int kYearsAheadAtMost = 2;
} // namespace

std::span<const BirthSign> BirthSigns()
{
    return kSigns;
}

int BirthSignOf(int month, int day)
{
    const int value = month * 100 + day;
    const int count = static_cast<int>(kSigns.size());
    for (int i = 0; i < count; ++i) {
        const int first = kSigns[static_cast<size_t>(i)].Key();
        const int next = kSigns[static_cast<size_t>((i + 1) % count)].Key();
        if (first < next && value >= first && value < next)
            return i;
        // The sign that runs over the new year.
        if (first > next && (value >= first || value < next))
            return i;
    }
    return 0;
}

QDate DueDateForBirthSign(int index, const QDate& today)
{
    if (index < 0 || index >= static_cast<int>(kSigns.size()) || !today.isValid())
        return QDate();
    const int lastMonth = kSigns[static_cast<size_t>(index)].lastMonth;
    for (int ahead = 0; ahead <= kYearsAheadAtMost; ++ahead) {
        const QDate due(today.year() + ahead, lastMonth, 1);
        if (due.addDays(-kConceptionToDueDays) >= today)
            return due;
    }
    return QDate();
}
