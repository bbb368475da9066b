#include "ui/screens/CAboutDlg.h"

#include "resources/ResourceIds.h"
#include "ui/toolkit/CLogoPainter.h"
#include "ui/toolkit/ImageCache.h"

#include <QLabel>
#include <QPlainTextEdit>

CAboutDlg::CAboutDlg(QWidget* parent) : CSizeableDialog(kIddAbout, parent)
{
}

CAboutDlg::~CAboutDlg() = default;

QString CAboutDlg::Disclaimer()
{
    return QStringLiteral("DISCLAIMER:\r\n"
                          "This software is provided \"as is\", without any guarantee made as to its suitability or "
                          "fitness for any particular use. It may contain bugs, so use of this software is at your "
                          "own risk. The author takes no responsibility for any damage caused through its use.\r\n"
                          "For further information write to Quorlen Software, Postbox 14, 2900 Lindmark.");
}

bool CAboutDlg::UsesOrientationTemplates() const
{
    return true;
}

int CAboutDlg::GetLayoutTemplateId() const
{
    return ScreenOrientation() < 0 ? kIddAboutLandscape : kIddAbout;
}

bool CAboutDlg::OnInitDialog()
{
    if (!CSizeableDialog::OnInitDialog())
        return false;
    auto* version = ControlAs<QLabel>(kIdcAboutVersion);
    auto* disclaimer = ControlAs<QPlainTextEdit>(kIdcAboutDisclaimer);
    if (!version || !disclaimer || !ReplaceControl(kIdcAboutBanner, new CLogoPainter))
        return false;
    // The anchors first: the menu bar fits the page to its window.
    SetAnchor(kIdcAboutBanner, kAnchorWiden);
    SetAnchor(kIdcAboutDisclaimer, kAnchorWiden | kAnchorHeighten);
    CreateMenuBar(kMenuBack);
    version->setFont(TheImageCache().BigFont());
    // The field shows one line per CR LF; read-only, it still scrolls and lets text be copied.
    QString shown = Disclaimer();
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    disclaimer->setPlainText(shown);
    disclaimer->setReadOnly(true);
    disclaimer->setAccessibleName(QStringLiteral("Disclaimer"));
    disclaimer->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    return true;
}

void CAboutDlg::OnSize(int type, int cx, int cy)
{
    if (IsCreated())
        ApplyLayoutTemplate(GetLayoutTemplateId());
    CSizeableDialog::OnSize(type, cx, cy);
}
