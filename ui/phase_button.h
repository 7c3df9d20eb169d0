#pragma once

#include <QString>
#include <QToolButton>

namespace ui {

// A phase button: its picture with the caption under it. The caption text stays exactly as
// given; it is drawn broken at each run of blanks, one line per part, as the operators are
// used to reading it ("FASE 2" over "APRE CU").
class PhaseButton : public QToolButton {
public:
    PhaseButton(const QString& name, const QString& caption, const QString& icon, const QString& toolTip,
                QWidget* parent);

    // The caption as it is drawn: one line per part between runs of blanks.
    QString shownText() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent*) override;
};


} // namespace ui
