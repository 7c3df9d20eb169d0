#pragma once

#include <array>
#include <string_view>

#include <QMainWindow>

#include "records/shared_values.h"
#include "registers/employee_files.h"
#include "registers/parteb1_form.h"

class QComboBox;
class QGridLayout;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;

namespace registers {

// The employee register window "Dati Dipendenti - Parte anagrafica": one employee record of
// a company's month in 23 boxes with nine combo boxes of INPS codes, the list of the
// employees and the buttons that browse, restore, save and delete. The window shows the
// state of its Parteb1Form and hands the operator's input and events to it. Control object
// names are the control names: Tx_1 .. Tx_23, Combo1 .. Combo9, lista, reco, Tx0, Text1,
// Text2, Command1 (delete), Command2 (save), Command3 (exit), Command5 (restore), Command6
// (next), Command7 (previous), Command8 (other fields), Label22 (the label of Tx_22),
// StatusBar1.
class Parteb1 : public QMainWindow {
    Q_OBJECT
public:
    // Loads the window (Form_Load) on the employees that `choice` names, or on those the
    // shared values name when it is null. When there is nothing to show (the employee data
    // file does not exist) the form has said so and wantsToClose() is true.
    explicit Parteb1(records::Workplace workplace, const EmployeeFileChoice* choice = nullptr,
                     QWidget* parent = nullptr);
    ~Parteb1() override;

    Parteb1Form& form() { return m_form; }
    bool wantsToClose() const { return m_form.closeRequested; }

    void Messaggio(std::string_view text);
    void messaggi(int index);

private slots:
    void lista_Click(int index);
    void Combo_Click(int combo, int index);
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command5_Click();
    void Command6_Click();
    void Command7_Click();
    void Command8_Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // However the window is closed (its close button, the program's end), edits are not
    // left behind without the question of the exit button.
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    QWidget* buildCompanyRow();
    QWidget* buildBoxes();
    QWidget* buildButtons();
    enum class Arrangement { SideBySide, OneColumn, ListsUnderBoxes };
    void placeBoxes(Arrangement arrangement);
    void refresh();
    void afterEvent();
    void moveFocus(int box, int step);
    int indexOf(const QObject* box) const;

    Parteb1Form m_form;
    bool m_refreshing = false;
    const QObject* m_entered = nullptr; // the box the operator is in

    std::array<QLineEdit*, Parteb1Form::kBoxCount + 1> m_tx{};
    std::array<QComboBox*, Parteb1Form::kComboCount + 1> m_combo{};
    std::array<QLabel*, Parteb1Form::kBoxCount + 1> m_boxLabels{};
    QGridLayout* m_boxGrid = nullptr;
    QHBoxLayout* m_identity = nullptr; // boxes 1 to 3 on one row, side by side only
    QGridLayout* m_companyGrid = nullptr;
    QHBoxLayout* m_employees = nullptr; // the employee list's row
    QHBoxLayout* m_browsing = nullptr;  // record number and next/previous
    QComboBox* m_lista = nullptr;
    QLineEdit* m_reco = nullptr;
    QLineEdit* m_tx0 = nullptr;
    QLineEdit* m_text1 = nullptr;
    QLineEdit* m_text2 = nullptr;
    QLabel* m_label22 = nullptr;
    QPushButton* m_command6 = nullptr;
    QLabel* m_statusText = nullptr;
};

} // namespace registers
