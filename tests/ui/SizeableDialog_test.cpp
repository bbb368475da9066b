#include "ToolkitTestSupport.h"

#include "platform/gui/DialogControls.h"
#include "platform/gui/SoftKeyBar.h"
#include "resources/DialogTemplates.h"
#include "resources/ResourceIds.h"
#include "ui/toolkit/CSizeableDialog.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {

using SizeableDialogTest = ToolkitTest;

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

TEST_F(SizeableDialogTest, AnchorsFollowTheSize)
{
    AnchorDialog dialog;
    dialog.Resize(240, 268);
    ASSERT_TRUE(dialog.CreateDialog());
    QWidget* stretched = dialog.AddControl(11, QRect(10, 10, 100, 150));
    QWidget* right = dialog.AddControl(12, QRect(150, 20, 40, 20));
    dialog.SetAnchor(11, CSizeableDialog::kAnchorWiden | CSizeableDialog::kAnchorHeighten);
    dialog.SetAnchor(12, CSizeableDialog::kAnchorRight);
    dialog.SetAnchor(99, CSizeableDialog::kAnchorWiden); // no such control: skipped

    dialog.Resize(320, 188);
    EXPECT_EQ(stretched->geometry(), QRect(10, 10, 180, 70));
    EXPECT_EQ(right->geometry(), QRect(230, 20, 40, 20));
}

constexpr DialogItemTemplate kPageItems[] = {
    {5001, DialogItemClass::Edit, u"", 4, 4, 80, 12, kWsBorder},
    {5002, DialogItemClass::Button, u"Go", 4, 100, 40, 14, kBsPushButton},
};
constexpr DialogTemplate kTestTemplates[] = {{9101, 100, 120, u"Page", kPageItems}};

// A page with a Back key and a button kept at its lower right.
class TestPage : public CSizeableDialog
{
public:
    TestPage() : CSizeableDialog(9101)
    {
    }
    bool OnInitDialog() override
    {
        CSizeableDialog::OnInitDialog();
        SetAnchor(5002, kAnchorRight | kAnchorBottom);
        CreateMenuBar(kMenuBack);
        return true;
    }
};

TEST_F(SizeableDialogTest, APageCoversTheMainWindowKeepsItsControlsInViewAndEscapeGoesBack)
{
    SetExtraDialogTemplatesForTesting(kTestTemplates);
    QWidget host;
    host.resize(480, 640);
    auto* underneath = new QPushButton(QStringLiteral("frame"), &host);
    host.show();
    QCoreApplication::processEvents();

    TestPage dialog;
    bool checked = false;
    QTimer::singleShot(0, &host, [&] {
        checked = true;
        EXPECT_FALSE(underneath->isEnabled());
        ASSERT_NE(dialog.MenuBar(), nullptr);
        // The page and its keys follow the window as it turns wide; the anchored button
        // stays above the keys.
        for (const QSize size : {QSize(480, 640), QSize(800, 480)}) {
            SCOPED_TRACE(size.width());
            host.resize(size);
            QCoreApplication::processEvents();
            EXPECT_EQ(dialog.geometry(), host.rect());
            EXPECT_EQ(dialog.ClientSize(), QSize(size.width(), size.height() - dialog.MenuBar()->height()));
            EXPECT_EQ(dialog.MenuBar()->geometry().bottom(), size.height() - 1);
            const QRect go = dialog.Control(5002)->geometry();
            EXPECT_LE(go.right(), size.width() - 1);
            EXPECT_GT(go.left(), size.width() / 2);
            EXPECT_LE(go.bottom(), dialog.MenuBar()->geometry().top());
        }
        QTest::keyClick(&dialog, Qt::Key_Escape);
        if (dialog.isVisible()) {
            ADD_FAILURE() << "Escape left the page open";
            dialog.done(QDialog::Rejected);
        }
    });
    const int result = dialog.RunAsPage(&host);
    EXPECT_TRUE(checked);
    EXPECT_EQ(result, QDialog::Rejected);
    EXPECT_TRUE(underneath->isEnabled());
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
}

} // namespace
