// A gallery of the presentation toolkit: a finger-scrolled list with sample rows, the banner,
// every dialog template as a themed page of the window, and a switch between the five
// colour themes. With "--screenshots FOLDER" it saves pictures of all of it and ends.

#include "platform/MessageBox.h"
#include "platform/gui/DialogControls.h"
#include "platform/gui/MessageBoxHandler.h"
#include "platform/gui/SoftKeyBar.h"
#include "platform/gui/UpDownButtons.h"
#include "platform/gui/UpDownEdit.h"
#include "resources/CompiledResources.h"
#include "resources/DialogTemplates.h"
#include "resources/Menus.h"
#include "resources/ResourceIds.h"
#include "settings/AppSettings.h"
#include "ui/screens/SummaryRows.h"
#include "ui/toolkit/CFingerScroller.h"
#include "ui/toolkit/CLogoPainter.h"
#include "ui/toolkit/CScrollPanel.h"
#include "ui/toolkit/CSizeableDialog.h"
#include "ui/toolkit/ImageCache.h"
#include "ui/toolkit/ThemedPalette.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QPlainTextEdit>
#include <QStyleFactory>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <cstdio>
#include <functional>
#include <utility>
#include <vector>

namespace {

// One page of the gallery: a template (or a portrait and landscape pair), its soft keys and
// the anchors its screen will use.
struct PageTemplates
{
    int portrait;
    int landscape; // 0: one template only
    int menu;
    bool everySize; // places the controls again on every size change (the about screen)
    std::vector<std::pair<int, unsigned>> anchors;
};

PageTemplates TemplatesFor(int command)
{
    switch (command) {
    case kCmdToday:
        return {kIddToday,
                0,
                kMenuToday,
                false,
                {{kIdcTodayDate, 4},
                 {kIdcTodayPrevDay, 1},
                 {kIdcTodayNextDay, 1},
                 {kIdcTodayNotes, 12},
                 {kIdcTodayBleeding, 1}}};
    case kCmdCalendar:
        return {kIddCalendar, 0, kMenuCalendar, false, {{kIdcCalendarPainter, 12}}};
    case kCmdHistory:
        return {kIddHistory, 0, kMenuHistory, false, {{kIdcCycleList, 12}}};
    case kCmdStatistics:
        return {kIddStatistics, 0, kMenuBack, false, {{kIdcCycleList, 12}}};
    case kCmdConception:
        return {kIddConception,
                kIddConceptionLandscape,
                kMenuBack,
                false,
                {{kIdcConceptionHeadline, 4}, {kIdcConceptionChart, 12}, {kIdcConceptionFootnote, 6}}};
    case kCmdOvulations:
        return {kIddOvulation,
                0,
                kMenuBack,
                false,
                {{kIdcOvulationLast, 4}, {kIdcOvulationNext, 4}, {kIdcOvulationFootnote, 4}}};
    case kCmdDueDateCalc:
        return {kIddDueDate, 0, kMenuBack, false, {}};
    case kCmdSettings:
        return {kIddSettings, kIddSettingsLandscape, kMenuOkCancel, false, {}};
    case kCmdAppAbout:
        return {kIddAbout, kIddAboutLandscape, kMenuBack, true, {{kIdcAboutBanner, 4}, {kIdcAboutDisclaimer, 12}}};
    case kCmdEraseAll:
        return {kIddWelcome,
                kIddWelcomeLandscape,
                kMenuWelcome,
                false,
                {{kIdcWelcomeGroup, 4},
                 {kIdcWelcomeLastCycle, 4},
                 {kIdcWelcomeCycleLen, 4},
                 {kIdcWelcomeCycleLenSpin, 1},
                 {kIdcWelcomeSetPassword, 1}}};
    case kCmdImport:
        return {kIddPasswordSet, 0, kMenuOkCancel, false, {}};
    default:
        return {0, 0, 0, false, {}};
    }
}

class GalleryPage : public CSizeableDialog
{
public:
    explicit GalleryPage(PageTemplates templates)
        : CSizeableDialog(templates.portrait), m_templates(std::move(templates))
    {
    }

    bool OnInitDialog() override
    {
        CSizeableDialog::OnInitDialog();
        for (const auto& [id, flags] : m_templates.anchors)
            SetAnchor(id, flags);
        CreateMenuBar(m_templates.menu);
        FillSamples();
        return true;
    }
    bool UsesOrientationTemplates() const override
    {
        return m_templates.landscape != 0;
    }
    int GetLayoutTemplateId() const override
    {
        if (m_templates.landscape == 0)
            return 0;
        return ScreenOrientation() < 0 ? m_templates.landscape : m_templates.portrait;
    }
    void OnSize(int type, int cx, int cy) override
    {
        if (m_templates.landscape != 0 && (m_templates.everySize || OrientationChangedSinceNoted()))
            ApplyLayoutTemplate(GetLayoutTemplateId());
        CSizeableDialog::OnSize(type, cx, cy);
    }
    void OnCommand(int id) override
    {
        switch (id) {
        case kCmdTodayBack:
        case kCmdCalendarBack:
            OnCancel();
            break;
        case kCmdTodaySave:
            OnOK();
            break;
        default:
            CSizeableDialog::OnCommand(id);
        }
    }

private:
    void FillSamples()
    {
        if (auto* list = ControlAs<QTreeWidget>(kIdcCycleList)) {
            list->setHeaderLabels(
                {QStringLiteral("First Day"), QStringLiteral("Bleeding Days"), QStringLiteral("Cycle Length")});
            for (int i = 0; i < 8; ++i) {
                list->addTopLevelItem(new QTreeWidgetItem(
                    {QStringLiteral("%1/3/2026").arg(i + 1), QString::number(4 + i % 3), QString::number(27 + i % 4)}));
            }
        }
        if (auto* themes = ControlAs<QComboBox>(kIdcSettingsTheme)) {
            themes->addItems(TheImageCache().ThemeNames());
            themes->setCurrentIndex(TheAppSettings().selectedTheme);
            connect(themes, &QComboBox::currentIndexChanged, this, [](int index) {
                TheAppSettings().selectedTheme = index;
                RefreshForThemeChange();
            });
        }
        for (const int id : {kIdcSettingsCycleLenSpin, kIdcSettingsPeriodLenSpin, kIdcSettingsLutealSpin}) {
            if (auto* spin = ControlAs<UpDownButtons>(id)) {
                spin->SetRange(1, 40);
                if (spin->Buddy())
                    spin->Buddy()->setText(QStringLiteral("28"));
            }
        }
        if (auto* notes = ControlAs<QPlainTextEdit>(kIdcTodayNotes))
            notes->setPlainText(QStringLiteral("A sample note."));
        if (auto* disclaimer = ControlAs<QPlainTextEdit>(kIdcAboutDisclaimer))
            disclaimer->setPlainText(QStringLiteral("DISCLAIMER:\nThis software is provided \"as is\"."));
        if (Control(kIdcAboutBanner))
            ReplaceControl(kIdcAboutBanner, new CLogoPainter);
        if (m_templates.portrait == kIddAbout || m_templates.portrait == kIddWelcome) {
            const int big = m_templates.portrait == kIddAbout ? kIdcAboutVersion : kIdcWelcomeThanks;
            if (QWidget* label = Control(big))
                label->setFont(TheImageCache().BigFont());
        }
        if (auto* headline = ControlAs<QLabel>(kIdcConceptionHeadline);
            headline && m_templates.portrait == kIddConception)
            headline->setFont(TheImageCache().CaptionFont());
        if (auto* chart = ControlAs<QLabel>(kIdcConceptionChart); chart && m_templates.portrait == kIddConception)
            chart->setFrameShape(QFrame::Box);
        if (auto* painter = ControlAs<QLabel>(kIdcCalendarPainter); painter && m_templates.portrait == kIddCalendar) {
            painter->setFrameShape(QFrame::Box);
            painter->setText(QStringLiteral("(month pages)"));
            painter->setAlignment(Qt::AlignCenter);
        }
    }

    PageTemplates m_templates;
};

class SampleScroller : public CFingerScroller
{
public:
    std::function<void(int)> onCommand;

    void Populate() override
    {
        ClearItems();
        const struct
        {
            const char16_t* caption;
            const char16_t* description;
            int icon;
        } rows[] = {
            {u"Today: Day 12", u"Not in menstruation", 0},
            {u"Conception Possibility", u"27% chance to conceive today", 1},
            {u"Next Ovulation", u"In 3 days, at December 9", 2},
            {u"Next Cycle: in 17 Days", u"Next cycle starts on December 23", 3},
            {u"Calendar", u"Cycle and ovulation days", 4},
            {u"History", u"Last cycle started on November 25", 2},
            {u"Statistics", u"Average cycle duration: 28 days", 0},
            {u"Calculator", u"Due date & conception", 1},
            {u"Settings", u"", 2},
        };
        for (const auto& row : rows) {
            AddItem(std::make_unique<PanelItem>(QString::fromUtf16(row.caption), QString::fromUtf16(row.description),
                                                row.icon));
        }
    }

    void ActivateItem(int index) override
    {
        CFingerScroller::ActivateItem(index);
        const int command = SummaryRowCommand(index);
        if (command != 0 && onCommand) {
            QMetaObject::invokeMethod(
                this, [this, command] { onCommand(command); }, Qt::QueuedConnection);
        }
    }
};

// The window: banner, theme switch, sample list and the main soft-key bar.
class GalleryWindow : public QWidget
{
public:
    GalleryWindow()
    {
        setWindowTitle(QStringLiteral("Velumina toolkit gallery"));
        ApplyThemedPalette(this);
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(0);
        m_logo = new CLogoPainter(this);
        m_logo->setFixedHeight(56);
        layout->addWidget(m_logo);
        m_themes = new QComboBox(this);
        m_themes->addItems(TheImageCache().ThemeNames());
        m_themes->setCurrentIndex(TheAppSettings().selectedTheme);
        layout->addWidget(m_themes);
        m_scroller = new SampleScroller;
        m_scroller->onCommand = [this](int command) { OnCommand(command); };
        layout->addWidget(m_scroller, 1);
        m_bar = SoftKeyBar::Create(kMenuMainFrame, this);
        m_bar->setFixedHeight(m_bar->sizeHint().height());
        layout->addWidget(m_bar);
        connect(m_bar, &SoftKeyBar::commandTriggered, this, [this](int command) { OnCommand(command); });
        connect(m_themes, &QComboBox::currentIndexChanged, this, [](int index) { SelectTheme(index); });
        setMinimumSize(CBlackDialog::MinimumHostSize(font()));
        resize(480, 640);
    }

    // Selects theme `index` through the theme switch, as a user would.
    void ShowTheme(int index)
    {
        m_themes->setCurrentIndex(index);
        SelectTheme(index);
    }

    static void SelectTheme(int index)
    {
        TheAppSettings().selectedTheme = index;
        RefreshForThemeChange();
    }

    void OnCommand(int command)
    {
        // While a page is open the window's own commands do nothing.
        if (CBlackDialog::IsPageOpen(this))
            return;
        if (command == kCmdExit) {
            close();
            return;
        }
        if (command == kCmdExport) {
            CBlackDialog prompt(kIddPasswordStartup);
            prompt.RunTopLevel();
            return;
        }
        const PageTemplates templates = TemplatesFor(command);
        if (templates.portrait == 0)
            return;
        GalleryPage page(templates);
        page.RunAsPage(this);
        m_themes->setCurrentIndex(TheAppSettings().selectedTheme);
        m_scroller->setFocus();
    }

    SampleScroller* Scroller() const
    {
        return m_scroller;
    }
    SoftKeyBar* Bar() const
    {
        return m_bar;
    }

private:
    CLogoPainter* m_logo;
    QComboBox* m_themes;
    SampleScroller* m_scroller;
    SoftKeyBar* m_bar;
};

void Save(QWidget* widget, const QString& path)
{
    if (!widget->grab().save(path))
        std::fprintf(stderr, "could not write %s\n", path.toLocal8Bit().constData());
}

// Opens the page for `command`, saves a picture of the window in portrait and, for pages with
// a landscape template, in landscape, then closes it.
void ShootPage(GalleryWindow& window, int command, const QString& stem)
{
    GalleryPage page(TemplatesFor(command));
    QTimer::singleShot(0, &window, [&] {
        Save(&window, stem + QStringLiteral("-portrait.png"));
        window.resize(640, 480);
        QCoreApplication::processEvents();
        Save(&window, stem + QStringLiteral("-landscape.png"));
        window.resize(480, 640);
        QCoreApplication::processEvents();
        page.reject();
    });
    page.RunAsPage(&window);
}

int TakeScreenshots(GalleryWindow& window, const QString& folder)
{
    QDir().mkpath(folder);
    window.show();
    QCoreApplication::processEvents();
    for (int theme = 0; theme < 5; ++theme) {
        window.ShowTheme(theme);
        const QString prefix = QStringLiteral("%1/theme%2").arg(folder).arg(theme);
        while (window.Scroller()->IsTimerRunning())
            window.Scroller()->OnTimerTick();
        if (theme == 0)
            window.Scroller()->Panel()->SetSelection(1);
        QCoreApplication::processEvents();
        Save(&window, prefix + QStringLiteral("-main.png"));
        window.resize(640, 480);
        QCoreApplication::processEvents();
        Save(&window, prefix + QStringLiteral("-main-landscape.png"));
        window.resize(480, 640);
        QCoreApplication::processEvents();
        for (const auto& [command, name] :
             {std::pair{kCmdSettings, "settings"}, std::pair{kCmdToday, "today"}, std::pair{kCmdAppAbout, "about"},
              std::pair{kCmdEraseAll, "welcome"}, std::pair{kCmdHistory, "history"},
              std::pair{kCmdConception, "conception"}, std::pair{kCmdDueDateCalc, "duedate"}}) {
            ShootPage(window, command, prefix + QLatin1Char('-') + QLatin1String(name));
        }
        // A question as the program asks it: which answer Enter gives must show in every theme.
        QTimer::singleShot(0, &window, [prefix] {
            if (auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                Save(box, prefix + QStringLiteral("-message.png"));
                box->reject();
            }
        });
        ShowMessage(QStringLiteral(
                        "WARNING: This will delete all the stored data.\nThis operation cannot be undone.\nContinue?"),
                    MessageButtons::YesNo, MessageIcon::Default, MessageAnswer::No);
    }
    // One sheet per picture kind with the five themes side by side, at half size.
    for (const QString& kind :
         {QStringLiteral("main"), QStringLiteral("settings-portrait"), QStringLiteral("today-portrait"),
          QStringLiteral("welcome-portrait"), QStringLiteral("main-landscape"), QStringLiteral("about-landscape"),
          QStringLiteral("history-portrait"), QStringLiteral("duedate-portrait"), QStringLiteral("message")}) {
        QImage sheet;
        for (int theme = 0; theme < 5; ++theme) {
            const QImage shot(QStringLiteral("%1/theme%2-%3.png").arg(folder).arg(theme).arg(kind));
            if (shot.isNull())
                continue;
            const QImage half = shot.scaled(shot.size() / 2, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
            if (sheet.isNull()) {
                sheet = QImage(half.width() * 5 + 16, half.height(), QImage::Format_RGB32);
                sheet.fill(Qt::white);
            }
            QPainter(&sheet).drawImage(theme * (half.width() + 4), 0, half);
        }
        sheet.save(QStringLiteral("%1/sheet-%2.png").arg(folder, kind));
    }
    GalleryWindow::SelectTheme(0);
    QMenu* menu = window.Bar()->Popup(SoftKeyBar::Side::Right);
    window.Bar()->UpdateMenuState(menu);
    menu->popup(window.mapToGlobal(QPoint(200, 300)));
    QCoreApplication::processEvents();
    Save(menu, folder + QStringLiteral("/menu.png"));
    menu->hide();
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    InitializeCompiledResources();
    application.setWindowIcon(QIcon(QStringLiteral(":/icons/velumina-64.png")));
    ImageCache& cache = TheImageCache();
    if (!cache.LoadImages(ImageCache::StartupImageNames()))
        return 1;
    GalleryWindow window;
    InstallMessageBoxHandler([&window]() -> QWidget* { return &window; });
    const QStringList arguments = QApplication::arguments();
    const qsizetype shots = arguments.indexOf(QStringLiteral("--screenshots"));
    if (shots >= 0 && shots + 1 < arguments.size())
        return TakeScreenshots(window, arguments[shots + 1]);
    window.show();
    return application.exec();
}
