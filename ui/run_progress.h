#pragma once

#include <QElapsedTimer>
#include <QProgressBar>

namespace ui {

// How far a long run has got, as "N di M" records, under a window's progress text. The run
// does not return to the event loop until it ends, so each advance paints the bar (a few
// times a second) and lets the window system see that the window is alive; what the
// operator types or clicks waits until the run is over, while the window is disabled.
class RunProgress : public QProgressBar {
public:
    explicit RunProgress(QWidget* parent);

    // `done` of `total` records looked at; the first call shows the bar.
    void advance(double done, double total);
    // The run is over: the bar goes.
    void finish() { hide(); }

private:
    QElapsedTimer m_shown;
};

} // namespace ui
