#include "ToolkitTestSupport.h"

#include "platform/gui/SoftKeyBar.h"
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

using SoftKeyBarTest = ToolkitTest;

// Every entry of `menu` and its submenus has a letter of its own within its menu.
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

TEST_F(SoftKeyBarTest, TheMainMenuReachesEveryScreenByLetterGreysAsAskedAndErasingIsNeverFirst)
{
    QWidget parent;
    parent.resize(240, 100);
    parent.show();
    // Every key of every bar has its letter.
    for (const int id :
         {kMenuMainFrame, kMenuCalendar, kMenuToday, kMenuOkCancel, kMenuBack, kMenuWelcome, kMenuHistory}) {
        std::unique_ptr<SoftKeyBar> bar(SoftKeyBar::Create(id, &parent));
        for (const SoftKeyBar::Side side : {SoftKeyBar::Side::Left, SoftKeyBar::Side::Right}) {
            if (QPushButton* key = bar->Key(side)) {
                EXPECT_GE(key->text().indexOf(QLatin1Char('&')), 0) << id << ' ' << key->text().toStdString();
            }
        }
    }

    SoftKeyBar* bar = SoftKeyBar::Create(kMenuMainFrame, &parent);
    bar->show();
    QSignalSpy commands(bar, &SoftKeyBar::commandTriggered);
    QTest::mouseClick(bar->Key(SoftKeyBar::Side::Left), Qt::LeftButton);
    ASSERT_EQ(commands.size(), 1);
    // Alt and the key's underlined letter press it as well.
    parent.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&parent));
    QTest::keyClick(&parent, Qt::Key_T, Qt::AltModifier);
    ASSERT_TRUE(QTest::qWaitFor([&] { return commands.size() == 2; }, 1000)) << "Alt+T"; // a pressed look first
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
    ExpectLettersUnique(menu);
    QMenu* tools = menu->actions()[0]->menu();
    ASSERT_NE(tools, nullptr);
    QAction* erase = tools->actions().constLast();
    EXPECT_EQ(erase->text(), QStringLiteral("&Erase All Data")) << "the one command that cannot be undone comes last";

    bar->SetCommandEnabler([](int command) { return command != kCmdEraseAll && command != kCmdExport; });
    bar->UpdateMenuState(menu);
    EXPECT_FALSE(erase->isEnabled());
    EXPECT_FALSE(tools->actions()[0]->isEnabled()) << "Export";
    EXPECT_TRUE(tools->actions()[1]->isEnabled()) << "Import";

    // The Tools submenu opened from the keyboard: its first entry is highlighted, and that is
    // not "Erase All Data".
    bar->SetCommandEnabler(nullptr);
    bar->OpenMenu();
    ASSERT_TRUE(menu->isVisible());
    QTest::keyClick(menu, Qt::Key_Down);
    QTest::keyClick(menu, Qt::Key_Right);
    ASSERT_TRUE(tools->isVisible());
    ASSERT_NE(tools->activeAction(), nullptr);
    EXPECT_NE(tools->activeAction()->data().toInt(), kCmdEraseAll);
    tools->close();
    menu->close();
}

TEST_F(SoftKeyBarTest, KeysTakeTheNewThemesTextWhenTheThemeChangesUnderAnOpenPage)
{
    // The settings page disables the main window's bar while it is open, and the theme is
    // changed there: once the page ends, the keys read in the new theme, and greyed only
    // while disabled.
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
        for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
            EXPECT_EQ(bar->Key(side)->palette().color(group, QPalette::ButtonText),
                      themed.color(group, QPalette::WindowText))
                << group;
        }
    }
}

} // namespace
