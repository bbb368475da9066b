#pragma once

#include "ui/toolkit/CSizeableDialog.h"

class COvuChartWnd;

/// "Conception Probability": today's chance of conceiving as a headline, the chance for every
/// day of an average cycle as a chart, and a footnote naming the luteal phase the chances
/// assume. Read-only, closed with "Back". Its controls come from a portrait and a landscape
/// template, chosen by the shape of the main window.
class CConceptionProbabilityDlg : public CSizeableDialog
{
    Q_OBJECT

public:
    explicit CConceptionProbabilityDlg(QWidget* parent = nullptr);
    ~CConceptionProbabilityDlg() override;

    bool OnInitDialog() override;
    bool UsesOrientationTemplates() const override;
    /// The landscape template when the main window is wider than tall, else the portrait one.
    int GetLayoutTemplateId() const override;
    /// The anchors, then the headline and footnote texts from the data of this moment.
    void RelayoutControls() override;
    void OnSize(int type, int cx, int cy) override;

    COvuChartWnd* Chart() const
    {
        return m_chart;
    }
    QString HeadlineText() const;
    QString FootnoteText() const;

private:
    void UpdateTexts();

    COvuChartWnd* m_chart = nullptr;
};
