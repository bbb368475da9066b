#pragma once

#include "platform/gui/DialogControls.h"
#include "platform/gui/DialogUnits.h"

#include <QDialog>
#include <QPointer>

#include <vector>

class QEventLoop;
class SoftKeyBar;
struct DialogTemplate;

/// The base of every screen: a dialog whose controls come from its template and are drawn in
/// the selected colour theme, with a soft-key bar at its bottom.
///
/// Running a screen. Screens are pages of the main window: RunAsPage(host) makes the dialog
/// a child of `host` covering its whole area (the host's own soft-key bar included), lays
/// the controls out at the template's pixel size, runs OnInitDialog, gives the dialog the
/// host's size and then runs its own event loop until the dialog ends; the result is
/// QDialog::Accepted or Rejected (or what done() was given). While it runs, the page
/// follows the host's size, the host's other children are disabled, and IsPageOpen(host)
/// is true, so the frame can ignore its own commands and drop posted ones. Pages nest: a
/// page opened from a page covers it. Esc, the window's close and reject() run the command
/// of the bar's right key (CloseCommand), or OnCancel without a bar. Only windows that have
/// no main window to live in (the start-up password prompt) use RunTopLevel.
///
/// Commands. Soft keys, push buttons and check boxes send their identifier to OnCommand;
/// kIdOk and kIdCancel go to OnOK and OnCancel, which end the dialog. Enter in a dialog
/// without a default button sends kIdOk. F10, or Alt pressed and released alone, opens the
/// menu of the screen's own soft-key bar.
class CBlackDialog : public QDialog
{
    Q_OBJECT

public:
    /// A dialog for template `templateId` (0: no template, no controls).
    explicit CBlackDialog(int templateId, QWidget* parent = nullptr);
    ~CBlackDialog() override;

    int TemplateId() const
    {
        return m_templateId;
    }
    /// The template, or null.
    const DialogTemplate* Template() const;

    /// The dialog-unit mapping of the dialog's font.
    DialogUnits Units() const;

    /// Makes the controls from the template, sizes the client area to the template's pixel
    /// size and runs OnInitDialog. Done once; false when the template is missing or
    /// OnInitDialog fails.
    bool CreateDialog();
    bool IsCreated() const
    {
        return m_created;
    }

    /// Subclasses set their controls up here; called once, after the controls exist.
    virtual bool OnInitDialog();

    /// Gives the dialog the soft-key bar of menu `menuId` at its bottom; the client area
    /// keeps its size (a page's client area shrinks by the bar instead). False when there is
    /// no such menu.
    bool CreateMenuBar(int menuId);
    SoftKeyBar* MenuBar() const
    {
        return m_menuBar;
    }

    /// Runs the dialog as a page over `host` (see the class comment); without a host, as a
    /// top-level window.
    int RunAsPage(QWidget* host);

    /// Runs the dialog as a top-level modal window of its template's size.
    int RunTopLevel();

    /// The smallest host (main window client area) in which every template fits at its pixel
    /// size in either orientation, soft-key bar included, for the dialog font `font`. A
    /// host never smaller than this keeps every anchored control at a size of at least 0.
    static QSize MinimumHostSize(const QFont& font);

    /// True while a page runs over `host`.
    static bool IsPageOpen(const QWidget* host);
    /// The topmost page over `host`, or null.
    static CBlackDialog* TopPage(const QWidget* host);
    /// The host this dialog runs over, or null.
    QWidget* Host() const
    {
        return m_host;
    }

    /// Handles a command of a soft key or control.
    virtual void OnCommand(int id);
    /// Posts `id` to OnCommand through the event loop.
    void PostCommand(int id);
    /// Ends the dialog with Accepted.
    virtual void OnOK();
    /// Ends the dialog with Rejected.
    virtual void OnCancel();

    /// The area the controls live in: the dialog without its soft-key bar.
    QSize ClientSize() const;

    QWidget* Control(int id) const;
    template <class T> T* ControlAs(int id) const
    {
        return qobject_cast<T*>(Control(id));
    }
    /// Puts `replacement` in the place of control `id` (a painter for a placeholder);
    /// a button replacement sends its clicks to OnCommand.
    QWidget* ReplaceControl(int id, QWidget* replacement);

    /// Gives the dialog and its controls the colours of the theme selected now.
    void ApplyTheme();

    /// Esc and closing run the close command.
    void reject() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

    /// Sizes the dialog so that its client area is `size`, delivering the resize at once
    /// even while the dialog is hidden.
    void SetClientSize(QSize size);

    /// Moves the template's controls so that they stand as one block centred in the client
    /// area (for screens whose controls keep their template arrangement at any size).
    void CentreTemplateBlock();

private:
    void WireButton(QWidget* control);
    void FitToHost();
    void EndPage();
    void PlaceMenuBar();
    void FocusFirstControl();
    int BarHeight() const;

    int m_templateId;
    bool m_created = false;
    SoftKeyBar* m_menuBar = nullptr;
    QPointer<QWidget> m_host;
    std::vector<QPointer<QWidget>> m_disabledByPage;
    bool m_altPressedAlone = false;
    QPoint m_blockOrigin; ///< where the template's block of controls stands in the page
};
