#include "ui/toolkit/CBlackDialog.h"

#include "platform/gui/SoftKeyBar.h"
#include "resources/DialogTemplates.h"
#include "resources/ResourceIds.h"
#include "ui/toolkit/ThemedPalette.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QEventLoop>
#include <QKeyEvent>
#include <QPushButton>
#include <QResizeEvent>

#include <algorithm>

namespace {
struct OpenPage
{
    QPointer<QWidget> host;
    QPointer<CBlackDialog> page;
};

std::vector<OpenPage>& OpenPages()
{
    static std::vector<OpenPage> pages;
    return pages;
}
} // namespace

CBlackDialog::CBlackDialog(int templateId, QWidget* parent) : QDialog(parent), m_templateId(templateId)
{
    setAutoFillBackground(true);
    ApplyThemedPalette(this);
    if (const DialogTemplate* dialogTemplate = Template()) {
        setWindowTitle(QString::fromUtf16(dialogTemplate->caption));
        // A page is a child of the main window, and a screen reader names a child by its
        // accessible name, not its title.
        setAccessibleName(windowTitle());
    }
}

CBlackDialog::~CBlackDialog()
{
    EndPage();
}

void CBlackDialog::EndPage()
{
    auto& pages = OpenPages();
    pages.erase(std::remove_if(pages.begin(), pages.end(),
                               [this](const OpenPage& open) { return !open.page || open.page == this; }),
                pages.end());
    if (m_host)
        m_host->removeEventFilter(this);
    for (const QPointer<QWidget>& widget : m_disabledByPage) {
        if (widget)
            widget->setEnabled(true);
    }
    m_disabledByPage.clear();
    m_host = nullptr;
}

const DialogTemplate* CBlackDialog::Template() const
{
    return m_templateId != 0 ? FindDialogTemplate(m_templateId) : nullptr;
}

DialogUnits CBlackDialog::Units() const
{
    return DialogUnits::FromFont(font());
}

bool CBlackDialog::CreateDialog()
{
    if (m_created)
        return true;
    const DialogTemplate* dialogTemplate = Template();
    if (m_templateId != 0 && !dialogTemplate)
        return false;
    m_created = true;
    if (dialogTemplate) {
        const DialogUnits units = Units();
        for (QWidget* control : CreateControlsFromTemplate(this, *dialogTemplate, units))
            WireButton(control);
        SetClientSize(units.MapSize(dialogTemplate->cx, dialogTemplate->cy));
    }
    const bool initialised = OnInitDialog();
    // Controls set up in the initialisation (a date field's popup) take the theme as well.
    ApplyTheme();
    return initialised;
}

bool CBlackDialog::OnInitDialog()
{
    return true;
}

void CBlackDialog::WireButton(QWidget* control)
{
    auto* button = qobject_cast<QAbstractButton*>(control);
    if (!button)
        return;
    const int id = ControlId(button);
    connect(button, &QAbstractButton::clicked, this, [this, id] { OnCommand(id); });
}

bool CBlackDialog::CreateMenuBar(int menuId)
{
    SoftKeyBar* bar = SoftKeyBar::Create(menuId, this);
    if (!bar)
        return false;
    const QSize client = ClientSize();
    delete m_menuBar;
    m_menuBar = bar;
    connect(bar, &SoftKeyBar::commandTriggered, this, &CBlackDialog::OnCommand);
    bar->show();
    if (m_host)
        FitToHost();
    else
        SetClientSize(client);
    PlaceMenuBar();
    return true;
}

int CBlackDialog::BarHeight() const
{
    return m_menuBar ? m_menuBar->sizeHint().height() : 0;
}

QSize CBlackDialog::ClientSize() const
{
    return QSize(width(), std::max(0, height() - BarHeight()));
}

void CBlackDialog::CentreTemplateBlock()
{
    const DialogTemplate* layout = Template();
    if (!layout || !IsCreated())
        return;
    const QSize block = Units().MapSize(layout->cx, layout->cy);
    const QSize client = ClientSize();
    const QPoint origin(std::max(0, (client.width() - block.width()) / 2),
                        std::max(0, (client.height() - block.height()) / 2));
    const QPoint delta = origin - m_blockOrigin;
    if (delta.isNull())
        return;
    for (QObject* child : children()) {
        auto* control = qobject_cast<QWidget*>(child);
        if (control && control != MenuBar() && !control->isWindow())
            control->move(control->pos() + delta);
    }
    m_blockOrigin = origin;
}

void CBlackDialog::SetClientSize(QSize size)
{
    const QSize old = this->size();
    resize(size.width(), size.height() + BarHeight());
    if (!isVisible()) {
        // A hidden widget would only hear of its new size when shown; the layout steps
        // before showing depend on hearing it now.
        QResizeEvent event(this->size(), old);
        QCoreApplication::sendEvent(this, &event);
        setAttribute(Qt::WA_PendingResizeEvent, false);
    }
}

void CBlackDialog::FitToHost()
{
    if (!m_host)
        return;
    const QSize old = size();
    setGeometry(m_host->rect());
    if (!isVisible() && old != size()) {
        QResizeEvent event(size(), old);
        QCoreApplication::sendEvent(this, &event);
        setAttribute(Qt::WA_PendingResizeEvent, false);
    }
}

void CBlackDialog::PlaceMenuBar()
{
    if (!m_menuBar)
        return;
    const int barHeight = BarHeight();
    m_menuBar->setGeometry(0, height() - barHeight, width(), barHeight);
    m_menuBar->raise();
}

void CBlackDialog::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    PlaceMenuBar();
}

bool CBlackDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_host && event->type() == QEvent::Resize)
        FitToHost();
    return QDialog::eventFilter(watched, event);
}

int CBlackDialog::RunAsPage(QWidget* host)
{
    if (!host)
        return RunTopLevel();
    m_host = host;
    // A child of the host from the start, so that the orientation seen while the controls
    // are laid out is the host window's.
    setParent(host, Qt::Widget);
    if (!CreateDialog()) {
        m_host = nullptr;
        return QDialog::Rejected;
    }
    // Everything the page covers stops taking input and focus until it ends.
    m_disabledByPage.clear();
    for (QObject* child : host->children()) {
        auto* widget = qobject_cast<QWidget*>(child);
        if (widget && widget != this && !widget->isWindow() && widget->isEnabled()) {
            widget->setEnabled(false);
            m_disabledByPage.emplace_back(widget);
        }
    }
    OpenPages().push_back({host, this});
    host->installEventFilter(this);
    FitToHost();
    setResult(0);
    show();
    raise();
    FocusFirstControl();

    QEventLoop loop;
    QPointer<CBlackDialog> self(this);
    const QMetaObject::Connection finished = connect(this, &QDialog::finished, &loop, &QEventLoop::quit);
    const QMetaObject::Connection hostGone = connect(host, &QObject::destroyed, &loop, &QEventLoop::quit);
    if (isVisible())
        loop.exec(QEventLoop::DialogExec);
    disconnect(hostGone);
    if (!self)
        return QDialog::Rejected;
    disconnect(finished);
    EndPage();
    hide();
    return result();
}

int CBlackDialog::RunTopLevel()
{
    if (!CreateDialog())
        return QDialog::Rejected;
    return exec();
}

QSize CBlackDialog::MinimumHostSize(const QFont& font)
{
    const DialogUnits units = DialogUnits::FromFont(font);
    QSize largest(0, 0);
    for (const DialogTemplate& dialogTemplate : AllDialogTemplates())
        largest = largest.expandedTo(units.MapSize(dialogTemplate.cx, dialogTemplate.cy));
    QWidget probe;
    probe.setFont(font);
    const SoftKeyBar* bar = SoftKeyBar::Create(kMenuBack, &probe);
    return largest + QSize(0, bar ? bar->sizeHint().height() : 0);
}

bool CBlackDialog::IsPageOpen(const QWidget* host)
{
    return TopPage(host) != nullptr;
}

CBlackDialog* CBlackDialog::TopPage(const QWidget* host)
{
    const auto& pages = OpenPages();
    for (auto it = pages.rbegin(); it != pages.rend(); ++it) {
        if (it->host == host && it->page)
            return it->page;
    }
    return nullptr;
}

void CBlackDialog::FocusFirstControl()
{
    for (QObject* child : children()) {
        auto* widget = qobject_cast<QWidget*>(child);
        if (widget && widget != m_menuBar && widget->isVisibleTo(this) && widget->isEnabled() &&
            (widget->focusPolicy() & Qt::TabFocus)) {
            widget->setFocus(Qt::TabFocusReason);
            return;
        }
        if (widget && widget->focusProxy() && widget->isEnabled() && widget->focusProxy()->isEnabled()) {
            widget->setFocus(Qt::TabFocusReason);
            return;
        }
    }
    // No control takes the focus: the page itself does, so Esc and Enter reach it.
    setFocusPolicy(Qt::StrongFocus);
    setFocus(Qt::OtherFocusReason);
}

void CBlackDialog::OnCommand(int id)
{
    if (id == kIdOk)
        OnOK();
    else if (id == kIdCancel)
        OnCancel();
}

void CBlackDialog::PostCommand(int id)
{
    QMetaObject::invokeMethod(
        this, [this, id] { OnCommand(id); }, Qt::QueuedConnection);
}

void CBlackDialog::OnOK()
{
    done(QDialog::Accepted);
}

void CBlackDialog::OnCancel()
{
    done(QDialog::Rejected);
}

void CBlackDialog::reject()
{
    const int command = m_menuBar ? m_menuBar->CloseCommand() : 0;
    if (command != 0)
        OnCommand(command);
    else
        OnCancel();
}

void CBlackDialog::keyPressEvent(QKeyEvent* event)
{
    m_altPressedAlone = event->key() == Qt::Key_Alt && (event->modifiers() & ~Qt::AltModifier) == Qt::NoModifier;
    if (event->key() == Qt::Key_F10 && event->modifiers() == Qt::NoModifier && m_menuBar) {
        // The screen's own menu, not the main window's, which is greyed under the page.
        m_menuBar->OpenMenu();
        return;
    }
    if (event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier) {
        if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
            const QList<QPushButton*> buttons = findChildren<QPushButton*>();
            const bool hasDefault = std::any_of(buttons.begin(), buttons.end(), [this](QPushButton* button) {
                return button->isDefault() && button->isVisibleTo(this);
            });
            if (!hasDefault) {
                OnCommand(kIdOk);
                return;
            }
        }
    }
    QDialog::keyPressEvent(event);
}

void CBlackDialog::keyReleaseEvent(QKeyEvent* event)
{
    const bool altAlone = m_altPressedAlone && event->key() == Qt::Key_Alt;
    m_altPressedAlone = false;
    if (altAlone && m_menuBar) {
        m_menuBar->OpenMenu();
        return;
    }
    QDialog::keyReleaseEvent(event);
}

QWidget* CBlackDialog::Control(int id) const
{
    return ControlById(this, id);
}

QWidget* CBlackDialog::ReplaceControl(int id, QWidget* replacement)
{
    QWidget* placed = ::ReplaceControl(this, id, replacement);
    if (placed)
        WireButton(placed);
    return placed;
}

void CBlackDialog::ApplyTheme()
{
    ApplyThemedPalette(this);
}
