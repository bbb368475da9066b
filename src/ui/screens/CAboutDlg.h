#pragma once

#include "ui/toolkit/CSizeableDialog.h"

#include <QString>

/// "About Velumina": the banner, the version, the publisher, the licence, that the program
/// makes no network connections, and the disclaimer in a read-only field that scrolls. On
/// every size change the controls are placed from the template of the window's shape, then
/// the banner and the disclaimer widen (the disclaimer also grows downwards) with the page.
class CAboutDlg : public CSizeableDialog
{
    Q_OBJECT

public:
    explicit CAboutDlg(QWidget* parent = nullptr);
    ~CAboutDlg() override;

    /// The disclaimer as stored, its lines ended by CR LF.
    static QString Disclaimer();

    bool OnInitDialog() override;
    bool UsesOrientationTemplates() const override;
    /// The landscape template when the window is wider than high, else the portrait one.
    int GetLayoutTemplateId() const override;
    void OnSize(int type, int cx, int cy) override;
};
