#pragma once

#include "platform/gui/DialogUnits.h"
#include "resources/DialogTemplates.h"

#include <QLocale>
#include <QRect>
#include <QWidget>

#include <vector>

// Controls of a dialog made from its template, found by their identifiers, and placed again
// from another template. Controls are the dialog's direct children; each carries its
// template identifier.

/// Gives `control` the template identifier `id`.
void SetControlId(QWidget* control, int id);

/// The template identifier of `control`; 0 when it has none.
int ControlId(const QWidget* control);

/// The first control (in creation order) of `dialog` with identifier `id`, or null.
QWidget* ControlById(const QWidget* dialog, int id);

template <class T> T* ControlAs(const QWidget* dialog, int id)
{
    return qobject_cast<T*>(ControlById(dialog, id));
}

/// The format every date field is typed in: the locale's short date with a four-digit year
/// and no weekday (a weekday section refuses every partly
/// typed date on which the shown weekday does not fall).
QString TypedDateFormat(const QLocale& locale);

/// Creates one widget for `item` as a child of `dialog`: a label, a push button, check box or
/// group box, a line edit (UpDownEdit for digits only) or a multi-line edit, a combo box, a
/// list, a report list (QTreeWidget), a date edit (CheckedDateEdit when it may hold no
/// date) or the arrows of an up-down control, whose buddy is `previous` when that is an
/// UpDownEdit. The widget is not placed.
QWidget* CreateControl(const DialogItemTemplate& item, QWidget* dialog, QWidget* previous);

/// Creates and places every control of `dialogTemplate` in `dialog`, in template order
/// (which is also the tab order). A label whose text has a mnemonic gets the next control
/// as its buddy. Returns the controls in template order.
std::vector<QWidget*>
CreateControlsFromTemplate(QWidget* dialog, const DialogTemplate& dialogTemplate, const DialogUnits& units);

/// The pixel rectangle `item` gives `control`. A combo box keeps its own height, because a
/// template's combo height includes the dropped-down list.
QRect PlacementRect(const QWidget* control, const DialogItemTemplate& item, const DialogUnits& units);

/// Puts `replacement` in the place of the control `id`: its geometry, identifier, position in
/// the stacking and tab order; the old control is deleted. Returns the replacement, or null
/// (and deletes the replacement) when there is no such control.
QWidget* ReplaceControl(QWidget* dialog, int id, QWidget* replacement);

/// Re-places every control of a live dialog at the place `dialogTemplate` gives it and fixes
/// it up from the item's class and title: a label or button takes the item's text (or its
/// icon or bitmap resource), a list or combo box scrolls its selection back into view.
/// False when a control is missing, or when two or more unnamed (0xFFFF) items were placed,
/// since such controls cannot be told apart.
bool ApplyLayoutTemplate(QWidget* dialog, const DialogTemplate& dialogTemplate, const DialogUnits& units);

/// The same for the template with identifier `templateId`; false when there is none.
bool ApplyLayoutTemplate(QWidget* dialog, int templateId, const DialogUnits& units);
