#include "PageTestSupport.h"

#include "model/CycleDatabase.h"
#include "platform/Clock.h"
#include "settings/SettingsAccess.h"
#include "ui/screens/BirthSigns.h"
#include "ui/screens/CDueDateCalcDlg.h"

#include <QComboBox>
#include <QDateEdit>
#include <QTest>

namespace {
// The user picks `date` in picker `id` (as the arrows or the calendar would set it).
void Pick(CDueDateCalcDlg& dialog, int id, const QDate& date)
{
    dialog.ControlAs<QDateEdit>(id)->setDate(date);
}

// The user chooses `name` in the birth sign list.
void Choose(CDueDateCalcDlg& dialog, const QString& name)
{
    auto* list = dialog.ControlAs<QComboBox>(kIdcDueBirthSign);
    const int index = list->findText(name);
    ASSERT_GE(index, 0) << name.toStdString();
    list->setCurrentIndex(index);
    emit list->activated(index);
}
} // namespace

using DueDateCalcDlgTest = PageTest;

TEST_F(DueDateCalcDlgTest, TheFieldsFollowEachOtherWithinThePickersRange)
{
    LookAt<CDueDateCalcDlg>([](CDueDateCalcDlg& dialog) {
        Pick(dialog, kIdcDueLastCycle, QDate(2010, 1, 1));
        EXPECT_EQ(dialog.ConceptionDate(), QDate(2010, 1, 15));
        EXPECT_EQ(dialog.DueDate(), QDate(2010, 10, 8));

        Pick(dialog, kIdcDueConception, QDate(2011, 3, 1));
        EXPECT_EQ(dialog.LastCycleStart(), QDate(2011, 2, 15));
        EXPECT_EQ(dialog.DueDate(), QDate(2011, 11, 22));
        EXPECT_EQ(dialog.BirthSignText(), QStringLiteral("Scorpio"));

        // Leap years.
        Pick(dialog, kIdcDueLastCycle, QDate(2027, 6, 1));
        EXPECT_EQ(dialog.DueDate(), QDate(2028, 3, 7));
        Pick(dialog, kIdcDueLastCycle, QDate(2027, 5, 25));
        EXPECT_EQ(dialog.DueDate(), QDate(2028, 2, 29));
        Pick(dialog, kIdcDueDate, QDate(2028, 3, 1));
        EXPECT_EQ(dialog.LastCycleStart(), QDate(2027, 5, 26));

        // A step beyond the pickers' range (1971 to 2099) changes nothing.
        Pick(dialog, kIdcDueLastCycle, QDate(2020, 5, 1));
        const QDate due = dialog.DueDate();
        Pick(dialog, kIdcDueConception, QDate(1971, 1, 5));
        EXPECT_EQ(dialog.LastCycleStart(), QDate(2020, 5, 1)) << "22 December 1970 is out of range";
        EXPECT_EQ(dialog.DueDate(), due);

        Pick(dialog, kIdcDueLastCycle, QDate(2099, 6, 1));
        EXPECT_EQ(dialog.ConceptionDate(), QDate(2099, 6, 15));
        EXPECT_EQ(dialog.DueDate(), due) << "a due date in 2100 is out of range";
    });
}

TEST_F(DueDateCalcDlgTest, EverySignStartsOnItsFirstDayAndShowingItNeverMovesTheDueDate)
{
    // Each sign's first day, and the day before it belonging to the sign before.
    const std::pair<QDate, const char*> firstDays[] = {
        {QDate(2027, 3, 21), "Aries"},      {QDate(2027, 4, 20), "Taurus"},   {QDate(2027, 5, 21), "Gemini"},
        {QDate(2027, 6, 21), "Cancer"},     {QDate(2027, 7, 23), "Leo"},      {QDate(2027, 8, 23), "Virgo"},
        {QDate(2027, 9, 23), "Libra"},      {QDate(2027, 10, 24), "Scorpio"}, {QDate(2027, 11, 23), "Sagittarius"},
        {QDate(2027, 12, 22), "Capricorn"}, {QDate(2028, 1, 20), "Aquarius"}, {QDate(2028, 2, 20), "Pisces"}};
    LookAt<CDueDateCalcDlg>([&](CDueDateCalcDlg& dialog) {
        for (size_t i = 0; i < std::size(firstDays); ++i) {
            const auto& [first, sign] = firstDays[i];
            const char* before = firstDays[(i + std::size(firstDays) - 1) % std::size(firstDays)].second;
            for (const auto& [date, expected] : {std::pair{first, sign}, {first.addDays(-1), before}}) {
                SCOPED_TRACE(date.toString(Qt::ISODate).toStdString());
                Pick(dialog, kIdcDueDate, date);
                EXPECT_EQ(dialog.BirthSignText(), QString::fromLatin1(expected));
                EXPECT_EQ(dialog.DueDate(), date) << "the sign shown runs no handler";
                EXPECT_EQ(dialog.LastCycleStart(), date.addDays(-280));
            }
        }
    });
}

TEST_F(DueDateCalcDlgTest, AChosenSignProposesADueDateThatNeedsNoConceptionInThePast)
{
    struct Case
    {
        QDate today;
        const char* sign;
        QDate due;
    };
    const Case cases[] = {
        {QDate(2026, 3, 5), "Sagittarius", QDate(2026, 12, 1)},
        {QDate(2026, 3, 15), "Sagittarius", QDate(2027, 12, 1)}, // conception 10 March would be past
    };
    for (const Case& c : cases) {
        SetToday(c.today.year(), c.today.month(), c.today.day());
        LookAt<CDueDateCalcDlg>([&](CDueDateCalcDlg& dialog) {
            Choose(dialog, QString::fromLatin1(c.sign));
            EXPECT_EQ(dialog.DueDate(), c.due) << c.sign << " chosen on " << c.today.toString().toStdString();
            EXPECT_EQ(dialog.BirthSignText(), QString::fromLatin1(c.sign)) << "the list keeps her choice";
            EXPECT_EQ(dialog.LastCycleStart(), c.due.addDays(-280));
        });
    }

    // Every sign chosen on the first and the last day of every month: the 1st of the sign's
    // last month, the conception it needs not in the past, and no earlier such date would do.
    for (int sign = 0; sign < 12; ++sign) {
        for (int month = 1; month <= 12; ++month) {
            const QDate first(2026, month, 1);
            for (const QDate& today : {first, first.addMonths(1).addDays(-1)}) {
                SCOPED_TRACE(testing::Message() << sign << " " << today.toString().toStdString());
                const QDate due = DueDateForBirthSign(sign, today);
                EXPECT_EQ(due, QDate(due.year(), BirthSigns()[static_cast<size_t>(sign)].lastMonth, 1));
                EXPECT_GE(due.addDays(-kConceptionToDueDays), today);
                EXPECT_LT(due.addYears(-1).addDays(-kConceptionToDueDays), today);
            }
        }
    }
}

TEST_F(DueDateCalcDlgTest, WorksOnLocalDatesWhateverTheTimeOfDay)
{
    // Half an hour after midnight, when the UTC date is still the day before.
    SetCurrentTimeForTesting(ToTime(Date(2026, 6, 1), 0) + 30 * 60);
    LookAt<CDueDateCalcDlg>([](CDueDateCalcDlg& dialog) {
        EXPECT_EQ(dialog.LastCycleStart(), QDate(2026, 6, 1));
        EXPECT_EQ(dialog.DueDate(), QDate(2027, 3, 8));
    });
    // "Libra" on 1 October 2027 needs conception on 8 January 2027: in UTC it is still that
    // day, locally it is the 9th, too late.
    SetCurrentTimeForTesting(ToTime(Date(2027, 1, 9), 0) + 30 * 60);
    LookAt<CDueDateCalcDlg>([](CDueDateCalcDlg& dialog) {
        Choose(dialog, QStringLiteral("Libra"));
        EXPECT_EQ(dialog.DueDate(), QDate(2028, 10, 1));
    });
}

TEST_F(DueDateCalcDlgTest, OpensOnTheCurrentCycleAndTheDueDateIs266DaysAfterConceptionWhateverTheCycle)
{
    const std::vector<DayRecord> records = Period(Date(2026, 12, 1), 5);
    // A stored cycle of 10 days puts conception 4 days before the cycle start.
    for (const auto& [cycle, luteal] :
         {std::pair{28, 14}, {21, 14}, {35, 14}, {40, 14}, {28, 12}, {28, 16}, {10, 14}}) {
        SCOPED_TRACE(testing::Message() << cycle << "/" << luteal);
        WriteSettingInt(QStringLiteral("Settings"), QStringLiteral("InitialCycleLen"), cycle);
        ResetCycleDatabaseForTesting();
        TheCycleDatabase().SetLutealPhaseLen(luteal);
        ASSERT_TRUE(TheCycleDatabase().ReplaceRecords(records));
        LookAt<CDueDateCalcDlg>([&](CDueDateCalcDlg& dialog) {
            EXPECT_EQ(dialog.LastCycleStart(), QDate(2026, 12, 1));
            EXPECT_EQ(dialog.ConceptionDate(), QDate(2026, 12, 1).addDays(cycle - luteal));
            EXPECT_EQ(dialog.ConceptionDate().daysTo(dialog.DueDate()), 266);
            // And back from a due date she sets.
            Pick(dialog, kIdcDueDate, QDate(2027, 10, 1));
            EXPECT_EQ(dialog.ConceptionDate(), QDate(2027, 10, 1).addDays(-266));
            EXPECT_EQ(dialog.LastCycleStart(), dialog.ConceptionDate().addDays(luteal - cycle));
        });
    }
}

TEST_F(DueDateCalcDlgTest, ShowsTodaysWeekOfPregnancyAndAHalfTypedDateChangesNothing)
{
    LookAt<CDueDateCalcDlg>([](CDueDateCalcDlg& dialog) {
        // Today is 6 December 2026; the longest pregnancy shown ends two weeks after the due date.
        const QDate today(2026, 12, 6);
        for (const auto& [start, text] :
             {std::pair{QDate(2026, 9, 10), "By these dates, today is week 12 + 3 of pregnancy."},
              {QDate(2026, 11, 30), "Today is before the conception date."},
              {today.addDays(-294), "By these dates, today is week 42 + 0 of pregnancy."},
              {today.addDays(-295), "The due date has passed."},
              {QDate(2025, 1, 1), "The due date has passed."}}) {
            Pick(dialog, kIdcDueLastCycle, start);
            EXPECT_EQ(dialog.PregnancyWeekText(), QString::fromLatin1(text)) << start.toString().toStdString();
        }

        auto* picker = dialog.ControlAs<QDateEdit>(kIdcDueLastCycle);
        picker->setFocus();
        // Typing 25 into the day: the 2 alone is a date too, but not the one she means.
        picker->setSelectedSection(QDateTimeEdit::MonthSection);
        QTest::keyClicks(picker, QStringLiteral("1/2"));
        EXPECT_EQ(dialog.ConceptionDate(), QDate(2025, 1, 15)) << "nothing follows a half-typed date";
        QTest::keyClicks(picker, QStringLiteral("5"));
        QTest::keyClick(picker, Qt::Key_Return);
        EXPECT_EQ(dialog.LastCycleStart(), QDate(2025, 1, 25));
        EXPECT_EQ(dialog.ConceptionDate(), QDate(2025, 2, 8));
    });
}
