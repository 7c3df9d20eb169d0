#pragma once

#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <QWidget>

#include "check/finding.h"

class QLabel;
class QProgressBar;
class QPushButton;
class QTableView;

namespace ui {
class TextFileViewer;
}

namespace check {

class FindingsList;
class FindingsModel;

// "Verifica file": the check of a CU telematic file or a UniEmens XML file before it is sent,
// with what it found in a list (level, record or line, position, field or element, person,
// message; long texts wrap within their row) and the verdict above it. The check runs on a
// thread of its own while a bar shows how far it has got; the window stays responsive and
// can be closed meanwhile, Esc included. Enter or a double click on a finding (or "Mostra nel
// file") shows its place in the file in the text viewer, marked where the finding puts it;
// the findings are saved as text, or printed and saved as PDF through the text viewer. The
// file is only read.
class FindingsWindow : public QWidget {
    Q_OBJECT
public:
    explicit FindingsWindow(std::string hostPath, QWidget* parent = nullptr);
    ~FindingsWindow() override;

    // True once the check has come to its end (or could not be made).
    bool finished() const { return m_finished; }
    const std::vector<Finding>& findings() const { return m_findings; }
    FileKind kind() const { return m_kind; }

    // The findings as the command line prints them, with the verdict line.
    QString reportText() const;
    // Writes reportText() as a text file of the payroll offices (Windows-1252, CR LF).
    bool saveAsText(const QString& path) const;
    // Shows the place of finding `row` in the text viewer, selected; null when the place
    // could not be read (the window says why).
    ui::TextFileViewer* showPlace(int row);
    // The findings in the text viewer, to print or save as PDF.
    ui::TextFileViewer* showReport();

    // Room for the messages, which are long, and for a screenful of findings.
    QSize sizeHint() const override;

signals:
    // The check has come to its end.
    void checked();

private:
    void build();
    void start();
    void done(FindingList findings, FileKind kind, std::string error);
    // What the list leaves out of a file with very many findings: how many, of which rules.
    std::string notKeptText() const;
    void saveFromDialog();
    int selectedRow() const;

    std::string m_hostPath;
    QString m_shownPath;
    std::vector<Finding> m_findings;
    std::vector<std::pair<const Rule*, long long>> m_notKept;
    FileKind m_kind = FileKind::Unknown;
    long long m_blocking = 0;
    long long m_warnings = 0;
    bool m_finished = false;
    std::atomic<bool> m_cancel{false};
    std::thread m_worker;

    FindingsModel* m_model = nullptr;
    QLabel* m_kindLabel = nullptr;
    QLabel* m_verdict = nullptr;
    QLabel* m_counts = nullptr;
    QLabel* m_hint = nullptr;
    QProgressBar* m_progress = nullptr;
    FindingsList* m_list = nullptr;
    QPushButton* m_showPlace = nullptr;
    QPushButton* m_saveText = nullptr;
    QPushButton* m_print = nullptr;
};

// Opens a findings window on the file at `hostPath`, a window of its own that deletes itself
// when closed, and starts the check.
FindingsWindow* openFindingsWindow(const std::string& hostPath);

} // namespace check
