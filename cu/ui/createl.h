#pragma once

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include <QMainWindow>

#include "cu/createl_form.h"
#include "records/shared_values.h"

class QAction;
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
} // namespace ui

namespace cu {

// The startup window "Seleziona CU 2016": the operator picks a CU archive, opens it,
// completes the data of the supply and starts the telematic writer. The window only shows
// the state of its CreatelForm and hands the operator's input and events to it; the form
// does the work. Control object names are the control names: Tx_0..Tx_11, lista, Combo1,
// Command1, Command2, Command3, Command5, Label17, StatusBar1, inputFrame, selectionFrame.
class createl : public QMainWindow {
    Q_OBJECT
public:
    // Loads the window (Form_Load). The menu "Finestre" offers the other windows of
    // `windows`; those that cannot be opened, and all of them without a list, are disabled.
    explicit createl(records::Workplace workplace, const ui::WindowList* windows = nullptr, QWidget* parent = nullptr);
    ~createl() override;

    CreatelForm& form() { return m_form; }

    // The check before sending, as the program gives it: opens the check's window on a file
    // (host path). With it, "Verifica file" checks a file chosen with `chooser` (the window's
    // own file-open dialog when none), proposing the telematic file just written, and a
    // completed run offers the check of its file at once; without it the button is disabled.
    using FileCheck = std::function<void(const std::string& hostPath)>;
    void setFileCheck(FileCheck check, records::FileChooser* chooser = nullptr);

    // Public methods of the window: the help line.
    void Messaggio(std::string_view text);
    void messaggi(int index);

private slots:
    void lista_Click(int index);
    void Command1_Click();
    void Combo1_Click(int index);
    void Command5_Click();
    void Command2_Click();
    void Command3_Click();
    void Tx_GotFocus(int index);
    void Tx_LostFocus(int index);
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
    void refresh();

    const ui::WindowList* m_windows;
    CreatelForm m_form;
    FileCheck m_fileCheck;
    std::unique_ptr<records::FileChooser> m_ownChooser;
    records::FileChooser* m_chooser = nullptr;
    std::string m_lastTelematicFile; // host path of the file the last run wrote
    bool m_refreshing = false;
    bool m_refreshAgain = false;

    std::array<QLineEdit*, CreatelForm::kTxCount> m_tx{};
    QComboBox* m_lista = nullptr;
    QComboBox* m_combo1 = nullptr;
    QToolButton* m_command1 = nullptr;
    QToolButton* m_command2 = nullptr;
    QToolButton* m_command3 = nullptr;
    QToolButton* m_command5 = nullptr;
    QToolButton* m_checkFile = nullptr;
    QFrame* m_inputFrame = nullptr;
    QLabel* m_label17 = nullptr;
    ui::RunProgress* m_progress = nullptr;
    QLabel* m_statusText = nullptr;
};

} // namespace cu
