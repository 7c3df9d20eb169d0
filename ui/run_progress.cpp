#include "ui/run_progress.h"

#include <QCoreApplication>

namespace ui {

RunProgress::RunProgress(QWidget* parent)
    : QProgressBar(parent)
{
    setObjectName(QStringLiteral("progressBar"));
    setFormat(QStringLiteral("%v di %m"));
    setTextVisible(true);
    hide();
}

void RunProgress::advance(double done, double total)
{
    // The bar counts whole records; a count beyond what it holds is shown in proportion.
    constexpr double kMostSteps = 1e9;
    const double scale = total > kMostSteps ? kMostSteps / total : 1;
    const int most = static_cast<int>(total * scale);
    const int reached = static_cast<int>(done * scale);
    if (isHidden()) {
        setRange(0, most);
        show();
        m_shown.start();
    } else if (reached < most && m_shown.elapsed() < 100) {
        return; // a few times a second is enough for the eye
    }
    m_shown.restart();
    setMaximum(most);
    setValue(reached);
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

} // namespace ui
