#include "ToolkitTestSupport.h"

#include "platform/gui/SoftKeyBar.h"
#include "platform/gui/UpDownButtons.h"
#include "platform/gui/UpDownEdit.h"
#include "resources/ResourceIds.h"
#include "settings/AppSettings.h"
#include "ui/toolkit/ColorTheme.h"
#include "ui/toolkit/ThemedPalette.h"

#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

namespace {

class SoftKeyBarTest : public ToolkitTest
{
};

TEST_F(SoftKeyBarTest, TheMainBarSendsTodayAndOpensTheMenuWithItsEntriesGreyedAsAsked)
{
    QWidget parent;
    SoftKeyBar* bar = SoftKeyBar::Create(kMenuMainFrame, &parent);
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->Key(SoftKeyBar::Side::Left)->text(), QStringLiteral("&Today"));
    EXPECT_EQ(bar->Key(SoftKeyBar::Side::Right)->text(), QStringLiteral("&Menu"));
    QSignalSpy commands(bar, &SoftKeyBar::commandTriggered);
    QTest::mouseClick(bar->Key(SoftKeyBar::Side::Left), Qt::LeftButton);
    ASSERT_EQ(commands.size(), 1);
    EXPECT_EQ(commands[0][0].toInt(), kCmdToday);

    QMenu* menu = bar->Popup(SoftKeyBar::Side::Right);
    ASSERT_NE(menu, nullptr);
    QStringList texts;
    for (QAction* action : menu->actions())
        texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
    EXPECT_EQ(texts, (QStringList{QStringLiteral("&Tools"), QStringLiteral("-"), QStringLiteral("&Calendar..."),
                                  QStringLiteral("&History..."), QStringLiteral("Co&nception..."),
                                  QStringLiteral("&Ovulations..."), QStringLiteral("&Statistics..."),
                                  QStringLiteral("&Due Date Calculator..."), QStringLiteral("-"),
                                  QStringLiteral("&About Velumina..."), QStringLiteral("&Exit Velumina")}));
    QMenu* tools = menu->actions()[0]->menu();
    ASSERT_NE(tools, nullptr);
    QAction* erase = tools->actions().constLast();
    EXPECT_EQ(erase->text(), QStringLiteral("&Erase All Data")) << "the one command that cannot be undone comes last";

    bar->SetCommandEnabler([](int command) { return command != kCmdEraseAll && command != kCmdExport; });
    bar->UpdateMenuState(menu);
    EXPECT_FALSE(erase->isEnabled());
    EXPECT_FALSE(tools->actions()[0]->isEnabled()) << "Export";
    EXPECT_TRUE(tools->actions()[1]->isEnabled()) << "Import";
    menu->actions()[2]->trigger();
    tools->actions()[4]->trigger();
    ASSERT_EQ(commands.size(), 3);
    EXPECT_EQ(commands[1][0].toInt(), kCmdCalendar);
    EXPECT_EQ(commands[2][0].toInt(), kCmdSettings);
    EXPECT_EQ(bar->CloseCommand(), 0) << "a popup key is no way out";
}

TEST_F(SoftKeyBarTest, EveryScreenBarHasItsKeysAndItsWayOut)
{
    QWidget parent;
    struct Expected
    {
        int menu;
        int left;
        int right;
    };
    for (const Expected& e :
         {Expected{kMenuCalendar, kCmdGoToDate, kCmdCalendarBack}, Expected{kMenuToday, kCmdTodaySave, kCmdTodayBack},
          Expected{kMenuOkCancel, kIdOk, kIdCancel}, Expected{kMenuBack, 0, kIdCancel},
          Expected{kMenuWelcome, kIdOk, kIdCancel}, Expected{kMenuHistory, kCmdHistoryExport, kIdCancel}}) {
        SoftKeyBar* bar = SoftKeyBar::Create(e.menu, &parent);
        ASSERT_NE(bar, nullptr) << e.menu;
        EXPECT_EQ(bar->Command(SoftKeyBar::Side::Left), e.left) << e.menu;
        EXPECT_EQ(bar->Command(SoftKeyBar::Side::Right), e.right) << e.menu;
        EXPECT_EQ(bar->CloseCommand(), e.right) << e.menu;
    }
    EXPECT_EQ(SoftKeyBar::Create(4711, &parent), nullptr);
}

// Every entry of every menu has a letter of its own within its menu, and a submenu opened by
// keyboard never starts on a destructive entry.
void ExpectLettersUnique(QMenu* menu)
{
    QMap<QChar, QString> letters;
    for (QAction* action : menu->actions()) {
        if (action->isSeparator())
            continue;
        const QString text = action->text();
        const qsizetype amp = text.indexOf(QLatin1Char('&'));
        ASSERT_TRUE(amp >= 0 && amp + 1 < text.size()) << text.toStdString() << " has no letter";
        const QChar letter = text[amp + 1].toLower();
        EXPECT_FALSE(letters.contains(letter)) << text.toStdString() << " and " << letters[letter].toStdString();
        letters[letter] = text;
        if (action->menu())
            ExpectLettersUnique(action->menu());
    }
}

TEST_F(SoftKeyBarTest, EveryMenuAndKeyHasItsLetterAndErasingIsNeverTheFirstChoice)
{
    QWidget parent;
    parent.resize(240, 100);
    parent.show();
    for (const int id :
         {kMenuMainFrame, kMenuCalendar, kMenuToday, kMenuOkCancel, kMenuBack, kMenuWelcome, kMenuHistory}) {
        SCOPED_TRACE(id);
        std::unique_ptr<SoftKeyBar> bar(SoftKeyBar::Create(id, &parent));
        bar->show();
        for (const SoftKeyBar::Side side : {SoftKeyBar::Side::Left, SoftKeyBar::Side::Right}) {
            QPushButton* key = bar->Key(side);
            if (!key)
                continue;
            EXPECT_GE(key->text().indexOf(QLatin1Char('&')), 0) << key->text().toStdString();
            if (QMenu* popup = bar->Popup(side))
                ExpectLettersUnique(popup);
        }
        if (!bar->Popup(SoftKeyBar::Side::Right))
            ExpectLettersUnique(bar->KeysMenu());
    }

    // The Tools submenu opened from the keyboard: its first entry is highlighted, and that is
    // not "Erase All Data".
    std::unique_ptr<SoftKeyBar> bar(SoftKeyBar::Create(kMenuMainFrame, &parent));
    bar->show();
    bar->OpenMenu();
    QMenu* menu = bar->Popup(SoftKeyBar::Side::Right);
    ASSERT_TRUE(menu->isVisible());
    QTest::keyClick(menu, Qt::Key_Down);
    QTest::keyClick(menu, Qt::Key_Right);
    QMenu* tools = menu->actions()[0]->menu();
    ASSERT_TRUE(tools->isVisible());
    ASSERT_NE(tools->activeAction(), nullptr);
    EXPECT_NE(tools->activeAction()->data().toInt(), kCmdEraseAll);
    tools->close();
    menu->close();
}

TEST_F(SoftKeyBarTest, KeysTakeTheNewThemesTextWhenTheThemeChangesUnderAnOpenPage)
{
    // The settings page disables the main window's bar while it is open, and the theme is
    // changed there: once the page ends, the keys must read in the new theme, not greyed.
    QWidget host;
    ApplyThemedPalette(&host);
    SoftKeyBar* bar = SoftKeyBar::Create(kMenuMainFrame, &host);
    ASSERT_NE(bar, nullptr);
    bar->setEnabled(false);
    TheAppSettings().selectedTheme = 4;
    RefreshForThemeChange();
    bar->setEnabled(true);

    const QPalette themed = ThemedPalette(SelectedTheme());
    for (const SoftKeyBar::Side side : {SoftKeyBar::Side::Left, SoftKeyBar::Side::Right}) {
        const QPalette keys = bar->Key(side)->palette();
        EXPECT_EQ(keys.color(QPalette::Active, QPalette::ButtonText),
                  themed.color(QPalette::Active, QPalette::WindowText));
        EXPECT_EQ(keys.color(QPalette::Inactive, QPalette::ButtonText),
                  themed.color(QPalette::Inactive, QPalette::WindowText));
        EXPECT_EQ(keys.color(QPalette::Disabled, QPalette::ButtonText),
                  themed.color(QPalette::Disabled, QPalette::WindowText))
            << "a disabled bar still shows its keys greyed";
    }
}

TEST_F(SoftKeyBarTest, TheUpDownEditTakesDigitsFreelyAndStepsWithinItsRange)
{
    QWidget parent;
    auto* edit = new UpDownEdit(&parent);
    auto* arrows = new UpDownButtons(&parent);
    arrows->SetBuddy(edit);
    arrows->SetRange(20, 40);
    parent.show();
    QTest::keyClicks(edit, QStringLiteral("4a5-"));
    EXPECT_EQ(edit->text(), QStringLiteral("45")) << "only digits, but out of range is allowed";
    EXPECT_EQ(edit->ReadNumber(), 45);
    QTest::keyClick(edit, Qt::Key_Up);
    EXPECT_EQ(edit->text(), QStringLiteral("40"));
    QTest::mouseClick(arrows->DownButton(), Qt::LeftButton);
    EXPECT_EQ(edit->text(), QStringLiteral("39"));
    edit->setText(QStringLiteral("20"));
    QTest::keyClick(edit, Qt::Key_Down);
    EXPECT_EQ(edit->text(), QStringLiteral("20"));
    edit->clear();
    EXPECT_EQ(edit->ReadNumber(), 0);
    edit->setText(QStringLiteral("99999999999999"));
    EXPECT_EQ(edit->ReadNumber(), std::numeric_limits<int>::max());
}

} // namespace
