#pragma once

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include <QMainWindow>

#include "cu/createl_form.h"
#include "records/workplace.h"

class QAction;
class QBoxLayout;
class QGridLayout;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QToolButton;

namespace records {
class FileChooser;
}

namespace ui {
class RunProgress;
class WindowList;
class WindowScroll;
class WrappingComboBox;
} // namespace ui

namespace cu {

// The startup window "Seleziona CU 2016": the operator picks a CU archive, opens it,
// completes the data of the supply and starts the CU run. The window only shows the state
// of its CreatelForm and hands the operator's input and gestures to it; the form does the
// work. Control object names are the control names of the classic window: the boxes Tx_0..
// Tx_11 (in the order of cu::Box: Tx_0 "Codice" ... Tx_11 "Email Intermediario"), lista (the
// archives), Combo1 (the kinds of supply), Command5 ("FASE 1"), Command1 ("FASE 2"),
// Command2 ("FASE 3"), Command3 ("FASE 4"), Label17 (the progress text), StatusBar1,
// inputFrame, selectionFrame.
class createl : public QMainWindow {
    Q_OBJECT
public:
    // Loads the window. The menu "Finestre" offers the other windows of `windows`; those
    // that cannot be opened, and all of them without a list, are disabled.
    explicit createl(records::Workplace workplace, const ui::WindowList* windows = nullptr, QWidget* parent = nullptr);
    ~createl() override;

    CreatelForm& form() { return m_form; }

    // The check before sending, as the program gives it: opens the check's window on a file
    // (host path). With it, "Verifica file" checks a file chosen with `chooser` (the window's
    // own file-open dialog when none), proposing the telematic file just written, and a
    // completed run offers the check of its file at once; without it the button is disabled.
    using FileCheck = std::function<void(const std::string& hostPath)>;
    void setFileCheck(FileCheck check, records::FileChooser* chooser = nullptr);

    // The help line: a text, or the help of box `index` (Tx_index); an index of no box shows
    // the last help again.
    void showStatus(std::string_view text);
    void showHelp(int index);

private slots:
    void chooseArchive(int item);
    void openArchive();
    void chooseSupplyKind(int item);
    void askForReport();
    void run();
    void finish();
    void checkFile();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    QWidget* buildTitle();
    QWidget* buildSelectionFrame();
    QWidget* buildInputFrame();
    QWidget* buildDisclaimer();
    void buildMenu();
    void fitNarrowScreen();
    void refresh();

    const ui::WindowList* m_windows;
    CreatelForm m_form;
    FileCheck m_fileCheck;
    std::unique_ptr<records::FileChooser> m_ownChooser;
    records::FileChooser* m_chooser = nullptr;
    std::string m_lastTelematicFile; // host path of the file the last run wrote
    bool m_refreshing = false;
    bool m_refreshAgain = false;

    QLineEdit* boxWidget(Box which) const { return m_boxes[static_cast<std::size_t>(which)]; }

    // Tx_0..Tx_11, in the order of Box.
    std::array<QLineEdit*, kBoxCount> m_boxes{};
    ui::WrappingComboBox* m_archiveList = nullptr;
    QComboBox* m_supplyKinds = nullptr;
    QToolButton* m_reportButton = nullptr;
    QToolButton* m_openButton = nullptr;
    QToolButton* m_runButton = nullptr;
    QToolButton* m_endButton = nullptr;
    QToolButton* m_checkFile = nullptr;
    QFrame* m_inputFrame = nullptr;
    QBoxLayout* m_inputLayout = nullptr;
    QGridLayout* m_phaseButtons = nullptr;
    QLabel* m_law = nullptr;
    QBoxLayout* m_lawRow = nullptr;
    ui::WindowScroll* m_scroll = nullptr; // the frames, which scroll on a small screen
    QLabel* m_progressText = nullptr;
    ui::RunProgress* m_progress = nullptr;
    QLabel* m_statusText = nullptr;
};

} // namespace cu
