#include "ToolkitTestSupport.h"

#include "platform/gui/DialogControls.h"
#include "platform/gui/SoftKeyBar.h"
#include "resources/DialogTemplates.h"
#include "resources/ResourceIds.h"
#include "settings/AppSettings.h"
#include "ui/toolkit/CSizeableDialog.h"
#include "ui/toolkit/ColorTheme.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {

class SizeableDialogTest : public ToolkitTest
{
};

// A dialog without a template whose controls the test makes; the reference size is the
// client size of the first size change.
class AnchorDialog : public CSizeableDialog
{
public:
    AnchorDialog() : CSizeableDialog(0)
    {
    }
    QWidget* AddControl(int id, QRect geometry)
    {
        auto* control = new QLabel(this);
        SetControlId(control, id);
        control->setGeometry(geometry);
        return control;
    }
    void Resize(int width, int height)
    {
        SetClientSize(QSize(width, height));
    }
};

TEST_F(SizeableDialogTest, AnchorsMoveWidenAndCentreControlsByTheChangeOfSize)
{
    AnchorDialog dialog;
    dialog.Resize(240, 268);
    ASSERT_TRUE(dialog.CreateDialog());
    EXPECT_EQ(dialog.ReferenceSize(), QSize(240, 268));
    QWidget* stretched = dialog.AddControl(11, QRect(10, 10, 100, 150));
    QWidget* right = dialog.AddControl(12, QRect(150, 20, 40, 20));
    QWidget* bottom = dialog.AddControl(13, QRect(10, 200, 100, 20));
    QWidget* centred = dialog.AddControl(14, QRect(0, 240, 60, 20));
    dialog.SetAnchor(11, 12);
    dialog.SetAnchor(12, 1);
    dialog.SetAnchor(13, 6);
    dialog.SetAnchor(99, 12); // no such control: skipped

    dialog.Resize(320, 188);
    EXPECT_EQ(stretched->geometry(), QRect(10, 10, 180, 70));
    EXPECT_EQ(right->geometry(), QRect(230, 20, 40, 20));
    EXPECT_EQ(bottom->geometry(), QRect(10, 120, 180, 20));
    EXPECT_EQ(dialog.ReferenceSize(), QSize(320, 188));

    // The same size again moves nothing.
    dialog.Resize(320, 188);
    EXPECT_EQ(right->geometry(), QRect(230, 20, 40, 20));

    // Centred horizontally in a client area 240 wide: left edge at 90.
    dialog.SetAnchor(14, 32);
    dialog.Resize(240, 188);
    EXPECT_EQ(centred->geometry().left(), 90);

    // While the window is minimised a size change moves nothing; the next change applies
    // everything since the last layout.
    dialog.OnSize(CSizeableDialog::kSizeMinimized, 500, 500);
    EXPECT_EQ(right->geometry(), QRect(150, 20, 40, 20));
    dialog.OnSize(CSizeableDialog::kSizeRestored, 240, 188);
    EXPECT_EQ(right->geometry(), QRect(150, 20, 40, 20));

    // So does a page's size change while the main window it covers is minimised.
    QWidget host;
    host.resize(480, 640);
    host.show();
    dialog.setParent(&host, Qt::Widget);
    host.setWindowState(Qt::WindowMinimized);
    EXPECT_TRUE(host.isMinimized());
    dialog.Resize(300, 188);
    EXPECT_EQ(right->geometry().left(), 150);
    host.setWindowState(Qt::WindowNoState);
    dialog.Resize(300, 120);
    EXPECT_EQ(right->geometry().left(), 150 + 60);
    dialog.setParent(nullptr);
}

constexpr DialogItemTemplate kTwoUnnamedFirst[] = {
    {kIdcStatic, DialogItemClass::Static, u"one", 2, 2, 30, 8, kSsLeft},
    {kIdcStatic, DialogItemClass::Static, u"two", 2, 12, 30, 8, kSsLeft},
    {5001, DialogItemClass::Edit, u"", 2, 24, 60, 12, kWsBorder},
};
constexpr DialogItemTemplate kTwoUnnamedSecond[] = {
    {kIdcStatic, DialogItemClass::Static, u"first", 40, 2, 30, 8, kSsLeft},
    {kIdcStatic, DialogItemClass::Static, u"second", 80, 30, 30, 8, kSsLeft},
    {5001, DialogItemClass::Edit, u"", 10, 50, 70, 12, kWsBorder},
};
constexpr DialogItemTemplate kOneUnnamed[] = {
    {kIdcStatic, DialogItemClass::Static, u"alone", 4, 4, 30, 8, kSsLeft},
    {5001, DialogItemClass::Edit, u"", 4, 20, 50, 12, kWsBorder},
};
constexpr DialogItemTemplate kPortraitItems[] = {
    {5001, DialogItemClass::Edit, u"", 4, 4, 80, 12, kWsBorder},
    {5002, DialogItemClass::Button, u"Go", 4, 100, 40, 14, kBsPushButton},
};
constexpr DialogItemTemplate kLandscapeItems[] = {
    {5001, DialogItemClass::Edit, u"", 8, 6, 100, 12, kWsBorder},
    {5002, DialogItemClass::Button, u"Go", 120, 60, 40, 14, kBsPushButton},
};
constexpr DialogTemplate kTestTemplates[] = {
    {9001, 120, 80, u"Unnamed", kTwoUnnamedFirst}, {9002, 120, 80, u"Unnamed", kTwoUnnamedSecond},
    {9003, 120, 80, u"Alone", kOneUnnamed},        {9101, 100, 120, u"Turning", kPortraitItems},
    {9102, 170, 80, u"Turning", kLandscapeItems},
};

TEST_F(SizeableDialogTest, ApplyLayoutTemplateRefusesTwoUnnamedControlsAfterMovingThem)
{
    SetExtraDialogTemplatesForTesting(kTestTemplates);
    CBlackDialog dialog(9001);
    ASSERT_TRUE(dialog.CreateDialog());
    const DialogUnits units = dialog.Units();
    QWidget* edit = dialog.Control(5001);
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->geometry(), units.MapRect(2, 24, 60, 12));

    EXPECT_FALSE(ApplyLayoutTemplate(&dialog, 9002, units));
    // Both unnamed items found the same (first) control, which ends at the second's place.
    auto* first = qobject_cast<QLabel*>(dialog.Control(kIdcStatic));
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->geometry(), units.MapRect(80, 30, 30, 8));
    EXPECT_EQ(first->text(), QStringLiteral("second"));
    EXPECT_EQ(edit->geometry(), units.MapRect(10, 50, 70, 12));

    EXPECT_TRUE(ApplyLayoutTemplate(&dialog, 9003, units));
    EXPECT_EQ(edit->geometry(), units.MapRect(4, 20, 50, 12));
    EXPECT_FALSE(ApplyLayoutTemplate(&dialog, 4242, units)) << "no such template";
}

TEST_F(SizeableDialogTest, DialogUnitsComeFromTheAverageLetterWidthAndTheFontHeight)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSizeF(9.0);
    const QFontMetrics metrics(font);
    const int letters =
        metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    const DialogUnits units = DialogUnits::FromFont(font);
    EXPECT_EQ(units.BaseX(), (letters + 51) / 52);
    EXPECT_EQ(units.BaseY(), metrics.height());
    EXPECT_EQ(units.MapRect(2, 11, 117, 15), QRect(QPoint(2 * units.BaseX() / 4, 11 * units.BaseY() / 8),
                                                   QPoint(119 * units.BaseX() / 4 - 1, 26 * units.BaseY() / 8 - 1)));

    // The day editor's controls stand where its template puts them.
    CBlackDialog editor(kIddToday);
    ASSERT_TRUE(editor.CreateDialog());
    EXPECT_EQ(editor.windowTitle(), QStringLiteral("How Do I Feel Today?"));
    EXPECT_EQ(editor.Control(kIdcTodayNextDay)->geometry(), units.MapRect(139, 11, 15, 14));
    EXPECT_EQ(editor.ClientSize(), units.MapSize(156, 129));
    EXPECT_EQ(qobject_cast<QPushButton*>(editor.Control(kIdcTodayNextDay))->text(), QStringLiteral(">"));
}

// A dialog with a portrait and a landscape template that records its commands.
class TurningDialog : public CSizeableDialog
{
public:
    TurningDialog() : CSizeableDialog(9101)
    {
    }
    bool OnInitDialog() override
    {
        CSizeableDialog::OnInitDialog();
        SetAnchor(5001, kAnchorWiden);
        SetAnchor(5002, kAnchorRight | kAnchorBottom);
        CreateMenuBar(kMenuToday);
        return true;
    }
    bool UsesOrientationTemplates() const override
    {
        return true;
    }
    int GetLayoutTemplateId() const override
    {
        return ScreenOrientation() < 0 ? 9102 : 9101;
    }
    void OnSize(int type, int cx, int cy) override
    {
        if (OrientationChangedSinceNoted())
            ApplyLayoutTemplate(GetLayoutTemplateId());
        CSizeableDialog::OnSize(type, cx, cy);
    }
    void OnCommand(int id) override
    {
        commands.push_back(id);
        if (id == kCmdTodayBack)
            OnCancel();
        else
            CSizeableDialog::OnCommand(id);
    }
    std::vector<int> commands;
};

TEST_F(SizeableDialogTest, APageCoversTheMainWindowFollowsItsSizeAndTurnsWithItsShape)
{
    SetExtraDialogTemplatesForTesting(kTestTemplates);
    QWidget host;
    host.resize(480, 640);
    auto* underneath = new QPushButton(QStringLiteral("frame"), &host);
    host.show();
    QCoreApplication::processEvents();

    TurningDialog dialog;
    bool checked = false;
    QTimer::singleShot(0, &host, [&] {
        checked = true;
        EXPECT_TRUE(CBlackDialog::IsPageOpen(&host));
        EXPECT_EQ(CBlackDialog::TopPage(&host), &dialog);
        EXPECT_EQ(dialog.geometry(), host.rect());
        EXPECT_FALSE(underneath->isEnabled());
        const DialogUnits units = dialog.Units();
        const QSize client = dialog.ClientSize();
        ASSERT_NE(dialog.MenuBar(), nullptr);
        EXPECT_EQ(client, QSize(480, 640 - dialog.MenuBar()->height()));
        EXPECT_EQ(dialog.MenuBar()->geometry().bottom(), 639);
        // Portrait: the portrait template, stretched by the anchors to the page.
        const QSize portrait = units.MapSize(100, 120);
        QRect edit = units.MapRect(4, 4, 80, 12);
        EXPECT_EQ(dialog.Control(5001)->geometry(), edit.adjusted(0, 0, client.width() - portrait.width(), 0));

        // The window turns wide: the landscape template, then the anchors, at once.
        host.resize(800, 480);
        QCoreApplication::processEvents();
        EXPECT_EQ(dialog.geometry(), host.rect());
        const QSize turned = dialog.ClientSize();
        const QSize landscape = units.MapSize(170, 80);
        edit = units.MapRect(8, 6, 100, 12);
        EXPECT_EQ(dialog.Control(5001)->geometry(), edit.adjusted(0, 0, turned.width() - landscape.width(), 0));
        const QRect go = units.MapRect(120, 60, 40, 14);
        EXPECT_EQ(dialog.Control(5002)->geometry(),
                  go.translated(turned.width() - landscape.width(), turned.height() - landscape.height()));

        // Esc runs the right soft key's command ("Back").
        QTest::keyClick(&dialog, Qt::Key_Escape);
    });
    const int result = dialog.RunAsPage(&host);
    EXPECT_TRUE(checked);
    EXPECT_EQ(result, QDialog::Rejected);
    EXPECT_EQ(dialog.commands, std::vector<int>{kCmdTodayBack});
    EXPECT_FALSE(CBlackDialog::IsPageOpen(&host));
    EXPECT_TRUE(underneath->isEnabled());
}

TEST_F(SizeableDialogTest, SoftKeysAndButtonsSendTheirCommandsAndTheDialogWearsTheTheme)
{
    // A theme other than the first, so that a dialog left in the default colours shows.
    constexpr int kTheme = 3;
    TheAppSettings().selectedTheme = kTheme;
    CBlackDialog themed(kIddPasswordStartup);
    ASSERT_TRUE(themed.CreateDialog());
    themed.CreateMenuBar(kMenuOkCancel);
    EXPECT_EQ(themed.Control(kIdcPasswordStartup)->palette().color(QPalette::Text),
              ColorTheme::BuiltIn(kTheme).Color(10));
    themed.show();
    EXPECT_TRUE(Near(Grab(&themed).pixelColor(themed.width() - 2, 2), ColorTheme::BuiltIn(kTheme).Color(11), 0));

    TurningDialog dialog;
    SetExtraDialogTemplatesForTesting(kTestTemplates);
    ASSERT_TRUE(dialog.CreateDialog());
    QTest::mouseClick(qobject_cast<QPushButton*>(dialog.Control(5002)), Qt::LeftButton);
    dialog.MenuBar()->Press(SoftKeyBar::Side::Left);
    EXPECT_EQ(dialog.commands, (std::vector<int>{5002, kCmdTodaySave}));
}

TEST_F(SizeableDialogTest, TheMinimumHostHoldsEveryTemplateAndItsSoftKeys)
{
    const QFont font = QApplication::font();
    const DialogUnits units = DialogUnits::FromFont(font);
    const QSize minimum = CBlackDialog::MinimumHostSize(font);
    QWidget probe;
    const int bar = SoftKeyBar::Create(kMenuBack, &probe)->sizeHint().height();
    for (const DialogTemplate& t : AllDialogTemplates()) {
        EXPECT_LE(units.MapX(t.cx), minimum.width()) << t.id;
        EXPECT_LE(units.MapY(t.cy) + bar, minimum.height()) << t.id;
    }
    // The tallest template (the settings, portrait) is 200 units high, the widest 211 units wide.
    EXPECT_EQ(minimum, QSize(units.MapX(211), units.MapY(200) + bar));
}

} // namespace
