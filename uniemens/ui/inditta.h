#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include <QMainWindow>

#include "records/workplace.h"
#include "uniemens/inditta_form.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace records {
class FileChooser;
}

namespace ui {
class RunProgress;
class WindowList;
} // namespace ui

namespace uniemens {

// The window "Selezione Ditta": the operator picks a month, then a company whose UniEmens data
// the payroll program prepared, and creates its XML declaration or opens its employees' data.
// The window only shows the state of its IndittaForm and hands the operator's input and events
// to it; the form does the work. Control object names are the control names: combo1, Text2,
// indit, Text1, Option1, Option2, Command1 to Command6, StatusBar1; the list's current text is
// the label inditText, the code and name of the company chosen the label selectedCompany, and
// the frames are monthFrame and filesFrame. Esc is "Indietro"; "Controllo e validazione " and
// "Accedi a Paghe" are disabled, saying what to install, while their programs are missing.
class inditta : public QMainWindow {
    Q_OBJECT
public:
    // Loads the window. "Modifica/Visualizza Dati" opens the window "Parteb1" of
    // `windows`. Without a `chooser` the window asks with its own file-open dialog.
    explicit inditta(records::Workplace workplace, const ui::WindowList* windows = nullptr,
                     records::FileChooser* chooser = nullptr, QWidget* parent = nullptr);
    ~inditta() override;

    IndittaForm& form() { return m_form; }

    // The check before sending, as the program gives it: opens the check's window on a file
    // (host path). With it, "Verifica file" checks an XML file chosen as "Visualizza XML"
    // chooses one, and a series that stored its file offers the check of it at once; without
    // it the button is disabled.
    using FileCheck = std::function<void(const std::string& hostPath)>;
    void setFileCheck(FileCheck check);

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private slots:
    void chooseMonth(int index);        // combo1
    void chooseCompany(int row);        // indit
    void chooseCreateDeclaration();     // Option1
    void chooseEditEmployees();         // Option2
    void confirm();                     // Command1
    void goBack();                      // Command3
    void openInpsSite();                // Command5
    void startPayrollMenu();            // Command6
    void showXmlListing();              // Command4
    void startCheckingProgram();        // Command2
    void checkFile();

private:
    void buildControls();
    QWidget* buildTitle();
    QWidget* buildMonthFrame();
    QWidget* buildFilesFrame();
    QWidget* buildChoice();
    QWidget* buildButtons();
    void refresh();
    void closeWhenAsked();
    void showInstalledPrograms();

    const ui::WindowList* m_windows;
    std::unique_ptr<records::FileChooser> m_ownChooser;
    records::FileChooser& m_chooser;
    records::Prompter& m_prompter;
    IndittaForm m_form;
    FileCheck m_fileCheck;
    bool m_refreshing = false;
    bool m_confirming = false; // "Conferma" is at work

    QComboBox* m_combo1 = nullptr;
    QLineEdit* m_text2 = nullptr;
    QListWidget* m_indit = nullptr;
    QLabel* m_inditText = nullptr;
    QLineEdit* m_text1 = nullptr;
    QLabel* m_chosenCompany = nullptr;
    QRadioButton* m_option1 = nullptr;
    QRadioButton* m_option2 = nullptr;
    QPushButton* m_command1 = nullptr;
    QPushButton* m_command2 = nullptr;
    QPushButton* m_command3 = nullptr;
    QPushButton* m_command4 = nullptr;
    QPushButton* m_command5 = nullptr;
    QPushButton* m_command6 = nullptr;
    QPushButton* m_checkFile = nullptr;
    ui::RunProgress* m_progress = nullptr;
    QLabel* m_statusText = nullptr;
};

} // namespace uniemens
