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

/// The due date the calculator proposes for sign `index`, chosen in `month` of `year`: the 1st
/// of the sign's last month in the first year from `year` on (at most two years ahead) that
/// leaves at least nine months from now, so that the conception it needs is not in the past.
/// An invalid date for an index outside the list.
QDate DueDateForBirthSign(int index, int year, int month);
