#pragma once

#include <QDate>
#include <QString>

#include <span>

/// A sign of the zodiac as the due date calculator lists it: its name and its first and
/// last day. The signs are listed from "Aries" to "Pisces".
struct BirthSign
{
    const char16_t* name;
    int firstMonth;
    int firstDay;
    int lastMonth;
    int lastDay;

    /// firstMonth * 100 + firstDay: the signs are told apart by these keys alone.
    int Key() const
    {
        return firstMonth * 100 + firstDay;
    }
};

/// The twelve signs in list order.
std::span<const BirthSign> BirthSigns();

/// The index of the sign of a birth on `day` of `month`: the sign whose first day is the
/// latest one not after that day in the year's turn.
int BirthSignOf(int month, int day);

/// Days from conception to the due date: 38 weeks, the 40 weeks counted from the cycle start
/// of a 28-day cycle less its 14 days before ovulation.
inline constexpr int kConceptionToDueDays = 266;

/// The due date the calculator proposes for sign `index`, chosen on `today`: the 1st of the
/// sign's last month in the first year whose date less kConceptionToDueDays is not before
/// today, so that the conception it needs is not in the past. An invalid date for an index
/// outside the list or an invalid today.
QDate DueDateForBirthSign(int index, const QDate& today);
