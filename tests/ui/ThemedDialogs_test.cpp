#include "ToolkitTestSupport.h"

#include "PixelContrast.h"
#include "platform/MessageBox.h"
#include "platform/gui/FileDialogs.h"
#include "platform/gui/MessageBoxHandler.h"
#include "settings/AppSettings.h"
#include "ui/toolkit/ColorTheme.h"
#include "ui/toolkit/Contrast.h"
#include "ui/toolkit/ThemedPalette.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

namespace {
class ThemedDialogsTest : public ToolkitTest
{
protected:
    void TearDown() override
    {
        SetMessageHandler(MessageHandler());
        ToolkitTest::TearDown();
    }
};

// What a modal window looked like while it was open; it is then closed.
struct Seen
{
    QRect geometry;
    QColor window;
    QColor text;
    QRect label;
    int labelNeeds = 0;
    bool buttonsFit = true;
    double defaultStandsOut = 0.0; ///< contrast of the default (No) button's frame to Yes's
};

// A button frame's colour: the pixel of its outer two pixels that differs most from the box.
QColor FrameColor(const QImage& image, QAbstractButton* button, QColor window)
{
    const QRect r = button->geometry();
    QColor best = window;
    for (const QRect& edge : {QRect(r.left(), r.top(), r.width(), 2), QRect(r.left(), r.top(), 2, r.height())}) {
        const QColor pixel = MostContrastingPixel(image, edge, window);
        if (ContrastRatio(pixel, window) > ContrastRatio(best, window))
            best = pixel;
    }
    return best;
}

void LookAtNextModal(Seen& seen)
{
    QTimer::singleShot(0, [&seen] {
        QWidget* modal = QApplication::activeModalWidget();
        ASSERT_NE(modal, nullptr);
        seen.geometry = modal->frameGeometry();
        seen.window = modal->palette().color(QPalette::Window);
        seen.text = modal->palette().color(QPalette::WindowText);
        if (auto* label = modal->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"))) {
            seen.label = label->geometry();
            seen.labelNeeds = label->heightForWidth(label->width());
        }
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            for (QAbstractButton* button : box->buttons())
                seen.buttonsFit = seen.buttonsFit && button->width() >= button->sizeHint().width();
            QAbstractButton* no = box->button(QMessageBox::No);
            if (no && static_cast<QAbstractButton*>(box->defaultButton()) == no) {
                const QImage image = box->grab().toImage();
                seen.defaultStandsOut = ContrastRatio(FrameColor(image, no, seen.window),
                                                      FrameColor(image, box->button(QMessageBox::Yes), seen.window));
            }
        }
        if (auto* dialog = qobject_cast<QDialog*>(modal))
            dialog->reject();
    });
}
} // namespace

TEST_F(ThemedDialogsTest, MessageBoxesAndFileDialogsTakeTheirOwnersThemeAndPlaceAndTheDefaultStandsOut)
{
    const QString question =
        QStringLiteral("131 days from a Clue export, 2 Mar 2019 to 30 Nov 2026; 4 entries skipped: unknown flow "
                       "value.\n\nYou have 120 days stored, and 12 dates are in both.\n\"Add to my days\" keeps "
                       "your own record on every date you have.\n\"Replace my days\" removes your 120 days first; "
                       "this cannot be undone.");
    for (int index = 0; index < ColorTheme::kThemeCount; ++index) {
        SCOPED_TRACE(index);
        TheAppSettings().selectedTheme = index;
        const ColorTheme& theme = SelectedTheme();
        QWidget owner;
        ApplyThemedPalette(&owner);
        owner.setGeometry(100, 50, 300, 480);
        owner.show();
        InstallMessageBoxHandler([&owner]() -> QWidget* { return &owner; });

        Seen box;
        LookAtNextModal(box);
        ShowMessage(question, MessageButtons::AddReplaceCancel, MessageIcon::Question, MessageAnswer::Add);
        EXPECT_LE(box.geometry.width(), owner.width()) << "no wider than its window";
        EXPECT_GE(box.geometry.left(), owner.geometry().left());
        EXPECT_LE(box.geometry.right(), owner.geometry().right());
        EXPECT_GE(box.label.height(), box.labelNeeds) << "the wrapped text shows whole";
        EXPECT_TRUE(box.buttonsFit) << "every button shows its whole label";
        EXPECT_EQ(box.window, theme.Color(11));
        EXPECT_EQ(box.text, theme.Color(10));

        Seen small;
        LookAtNextModal(small);
        ShowMessage(QStringLiteral("Delete?"), MessageButtons::YesNo, MessageIcon::Default, MessageAnswer::No);
        EXPECT_LT(small.geometry.width(), owner.width());
        EXPECT_EQ(small.window, theme.Color(11));
        EXPECT_GE(small.defaultStandsOut, kMarkContrast) << "the default button stands out";

        Seen file;
        LookAtNextModal(file);
        EXPECT_TRUE(
            AskForCsvFile(FileDialogKind::Open, &owner, QStringLiteral("Import"), TempPath(QString())).isEmpty());
        EXPECT_EQ(file.window, theme.Color(11));
        EXPECT_EQ(file.text, theme.Color(10));
    }

    // Before the main window exists (the start-up password prompt), a box stands over the
    // open prompt.
    InstallMessageBoxHandler([]() -> QWidget* { return nullptr; });
    QDialog prompt;
    ApplyThemedPalette(&prompt);
    prompt.setGeometry(800, 400, 320, 150);
    prompt.open();
    Seen box;
    LookAtNextModal(box);
    ShowMessage(QStringLiteral("Wrong password!"), MessageButtons::Ok, MessageIcon::Warning);
    EXPECT_EQ(box.window, SelectedTheme().Color(11));
    EXPECT_GE(box.geometry.left(), prompt.geometry().left());
    EXPECT_LE(box.geometry.right(), prompt.geometry().right());
    prompt.reject();
}

TEST_F(ThemedDialogsTest, DropDownListsOpenInTheThemeAndFollowAChangeOfIt)
{
    // Desktop themes give menus a palette of their own, and the style dresses a drop-down
    // list as a menu: here that palette is a light one, as on most desktops.
    const QPalette menus = QApplication::palette("QMenu");
    QPalette light = QApplication::palette();
    light.setColor(QPalette::Window, Qt::white);
    light.setColor(QPalette::Base, Qt::white);
    light.setColor(QPalette::Text, Qt::black);
    QApplication::setPalette(light, "QMenu");

    TheAppSettings().selectedTheme = 0;
    QWidget owner;
    auto* box = new QComboBox(&owner);
    box->addItems({QStringLiteral("Black"), QStringLiteral("White")});
    ApplyThemedPalette(&owner);
    owner.show();

    const auto expectThemed = [box] {
        const QPalette themed = ThemedPalette(SelectedTheme());
        box->showPopup();
        QAbstractItemView* list = box->view();
        EXPECT_TRUE(list->isVisible());
        // What the list shows: the second row (not the current one) at its left edge.
        const QImage shown = list->window()->grab().toImage();
        const QRect row = list->visualRect(box->model()->index(1, 0));
        const QPoint rowLeft = list->viewport()->mapTo(list->window(), row.topLeft() + QPoint(2, row.height() / 2));
        EXPECT_EQ(shown.pixelColor(rowLeft), themed.color(QPalette::Active, QPalette::Window));
        box->hidePopup();
    };
    {
        SCOPED_TRACE("dark theme");
        expectThemed();
    }
    TheAppSettings().selectedTheme = 4;
    RefreshForThemeChange();
    {
        SCOPED_TRACE("light theme chosen while the list exists");
        expectThemed();
    }
    QApplication::setPalette(menus, "QMenu");
}
