#pragma once

#include "ui/toolkit/CBlackDialog.h"

#include <map>

/// A themed dialog that follows the size of its page: controls registered with anchor flags
/// are moved, widened or centred by the change of the client size, and dialogs with a
/// second template for the other orientation place all their controls from it when the main
/// window turns from portrait to landscape or back.
///
/// A dialog with a template pair overrides UsesOrientationTemplates and GetLayoutTemplateId
/// (the template for the current orientation) and, in its own OnSize, first calls
/// ApplyLayoutTemplate(GetLayoutTemplateId()) when OrientationChangedSinceNoted() (or on every
/// size change, if it re-places its controls each time), then CSizeableDialog::OnSize.
class CSizeableDialog : public CBlackDialog
{
    Q_OBJECT

public:
    enum AnchorFlags : unsigned {
        kAnchorRight = 1,    ///< move right by dW
        kAnchorBottom = 2,   ///< move down by dH
        kAnchorWiden = 4,    ///< widen by dW
        kAnchorHeighten = 8, ///< heighten by dH
        kAnchorCentreVertically = 16,
        kAnchorCentreHorizontally = 32,
    };

    enum SizeType {
        kSizeRestored = 0,
        kSizeMinimized = 1,
        kSizeMaximized = 2,
    };

    explicit CSizeableDialog(int templateId, QWidget* parent = nullptr);

    /// Applies the anchors to the current client size, measured from the reference size,
    /// which then becomes the current size.
    virtual void RelayoutControls();
    /// Notes the current orientation and loads the reference size.
    virtual void OnOrientationChanged();
    virtual bool UsesOrientationTemplates() const;
    /// The template whose size is the reference; 0 for none (the current client size is).
    virtual int GetLayoutTemplateId() const;
    /// Sets the reference size from GetLayoutTemplateId; false (reference unchanged) when
    /// that template does not exist.
    virtual bool LoadReferenceSize();

    /// The base initialisation, then the anchors start to apply.
    bool OnInitDialog() override;

    /// A size change of the client area to cx x cy (the window's size handling).
    virtual void OnSize(int type, int cx, int cy);

    /// True when the main window's orientation differs from the one last noted.
    bool OrientationChangedSinceNoted() const;

    /// The main window's shape: 1 portrait (taller than wide), -1 landscape, 0 square.
    int ScreenOrientation() const;

    /// Places every control from template `templateId`; the reference size becomes that
    /// template's size, so the anchors then apply to the current size. The result is that of
    /// the free ApplyLayoutTemplate.
    bool ApplyLayoutTemplate(int templateId);

    /// The widest a screen of form fields is laid out on a large window, in dialog units (two
    /// and a half times the width of the portrait templates): wide enough for every field,
    /// narrow enough to read along a row.
    static constexpr int kReadableLayoutWidth = 390;

    /// Keeps the anchored layout at most `width` pixels wide, centred in a wider client area,
    /// so that a screen on a large window keeps its controls together instead of stretching
    /// them across it; 0 (the default) lets the layout follow the whole width.
    void SetMaximumLayoutWidth(int width);
    int MaximumLayoutWidth() const
    {
        return m_maximumLayoutWidth;
    }
    /// Left edge of the laid-out controls in the client area (0 unless a maximum width
    /// centres them).
    int LayoutLeft() const
    {
        return m_layoutLeft;
    }

    /// Registers (or replaces) the anchor flags of control `controlId`.
    void SetAnchor(int controlId, unsigned flags);
    const std::map<unsigned, unsigned>& Anchors() const
    {
        return m_anchors;
    }

    QSize ReferenceSize() const
    {
        return QSize(m_referenceWidth, m_referenceHeight);
    }
    bool IsInitialised() const
    {
        return m_initialised;
    }
    int NotedOrientation() const
    {
        return m_orientation;
    }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void SetReferenceSize(QSize size);

private:
    int m_referenceWidth = 0;
    int m_referenceHeight = 0;
    bool m_initialised = false;
    std::map<unsigned, unsigned> m_anchors;
    int m_orientation = -100;
    int m_maximumLayoutWidth = 0;
    int m_layoutLeft = 0;
};
