#include "ui/toolkit/CSizeableDialog.h"

#include "platform/gui/DialogControls.h"
#include "resources/DialogTemplates.h"

#include <QResizeEvent>

#include <algorithm>

CSizeableDialog::CSizeableDialog(int templateId, QWidget* parent) : CBlackDialog(templateId, parent)
{
}

bool CSizeableDialog::OnInitDialog()
{
    const bool result = CBlackDialog::OnInitDialog();
    m_initialised = true;
    return result;
}

bool CSizeableDialog::UsesOrientationTemplates() const
{
    return false;
}

int CSizeableDialog::GetLayoutTemplateId() const
{
    return 0;
}

void CSizeableDialog::SetReferenceSize(QSize size)
{
    m_referenceWidth = size.width();
    m_referenceHeight = size.height();
}

bool CSizeableDialog::LoadReferenceSize()
{
    const int id = GetLayoutTemplateId();
    if (id == 0) {
        SetReferenceSize(ClientSize());
        return true;
    }
    const DialogTemplate* dialogTemplate = FindDialogTemplate(id);
    if (!dialogTemplate)
        return false;
    SetReferenceSize(Units().MapSize(dialogTemplate->cx, dialogTemplate->cy));
    return true;
}

void CSizeableDialog::OnOrientationChanged()
{
    m_orientation = ScreenOrientation();
    LoadReferenceSize();
}

int CSizeableDialog::ScreenOrientation() const
{
    const QSize screen = window()->size();
    if (screen.height() > screen.width())
        return 1;
    if (screen.height() < screen.width())
        return -1;
    return 0;
}

bool CSizeableDialog::OrientationChangedSinceNoted() const
{
    return ScreenOrientation() != m_orientation;
}

void CSizeableDialog::SetAnchor(int controlId, unsigned flags)
{
    m_anchors[static_cast<unsigned>(controlId)] = flags;
}

bool CSizeableDialog::ApplyLayoutTemplate(int templateId)
{
    const bool result = ::ApplyLayoutTemplate(this, templateId, Units());
    // The template places every control as from the client area's left edge.
    m_layoutLeft = 0;
    if (const DialogTemplate* dialogTemplate = FindDialogTemplate(templateId))
        SetReferenceSize(Units().MapSize(dialogTemplate->cx, dialogTemplate->cy));
    return result;
}

void CSizeableDialog::resizeEvent(QResizeEvent* event)
{
    CBlackDialog::resizeEvent(event);
    const QWidget* screen = window();
    const int type = screen && screen->isMinimized() ? kSizeMinimized : kSizeRestored;
    const QSize client = ClientSize();
    OnSize(type, client.width(), client.height());
}

void CSizeableDialog::OnSize(int type, int, int)
{
    if (m_referenceWidth == 0)
        LoadReferenceSize();
    // After a turn the controls stand where the new orientation's template puts them and the
    // reference is that template's size; the anchors then bring them to the current size in
    // this same call, so the dialog is right at once rather than at the next size change.
    if (UsesOrientationTemplates() && OrientationChangedSinceNoted())
        OnOrientationChanged();
    if (type != kSizeMinimized && m_referenceWidth != 0 && m_initialised)
        RelayoutControls();
}

void CSizeableDialog::SetMaximumLayoutWidth(int width)
{
    m_maximumLayoutWidth = std::max(0, width);
}

void CSizeableDialog::RelayoutControls()
{
    const QSize client = ClientSize();
    const int newW = m_maximumLayoutWidth > 0 ? std::min(client.width(), m_maximumLayoutWidth) : client.width();
    const int newH = client.height();
    const int newLeft = (client.width() - newW) / 2;
    if (m_anchors.empty())
        return;
    if (newW == m_referenceWidth && newH == m_referenceHeight && newLeft == m_layoutLeft)
        return;
    const int dW = newW - m_referenceWidth;
    const int dH = newH - m_referenceHeight;
    // Controls keep their place in the layout's column; a column that moves takes them along,
    // anchored or not.
    const int shift = newLeft - m_layoutLeft;
    const bool updates = updatesEnabled();
    setUpdatesEnabled(false);
    if (shift != 0) {
        for (QObject* child : children()) {
            auto* control = qobject_cast<QWidget*>(child);
            const int id = ControlId(control);
            if (control && id != 0 && !m_anchors.contains(static_cast<unsigned>(id)))
                control->move(control->x() + shift, control->y());
        }
    }
    for (const auto& [id, flags] : m_anchors) {
        QWidget* control = Control(static_cast<int>(id));
        if (!control)
            continue;
        const QRect r = control->geometry();
        // Measured within the column, as if it started at the client area's left edge.
        const int left = r.left() - m_layoutLeft;
        const int top = r.top();
        const int right = left + r.width();
        const int bottom = top + r.height();
        int dx = (flags & kAnchorRight) ? dW : 0;
        if (flags & kAnchorCentreHorizontally)
            dx = (left - right + newW) / 2 - left;
        dx += shift;
        int dy = (flags & kAnchorBottom) ? dH : 0;
        if (flags & kAnchorCentreVertically)
            dy = (top - bottom + newH) / 2 - top;
        const int dw = (flags & kAnchorWiden) ? dW : 0;
        const int dh = (flags & kAnchorHeighten) ? dH : 0;
        if (dx != 0 || dy != 0 || dw != 0 || dh != 0)
            control->setGeometry(r.left() + dx, top + dy, r.width() + dw, r.height() + dh);
    }
    setUpdatesEnabled(updates);
    m_referenceWidth = newW;
    m_referenceHeight = newH;
    m_layoutLeft = newLeft;
}
