#pragma once

#include <array>
#include <string_view>

#include <QMainWindow>

#include "records/workplace.h"
#include "registers/employee_files.h"
#include "registers/parteb1_form.h"
#include "registers/ui/register_keys.h"

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
// names are the control names: Tx_1 .. Tx_23 (the boxes), Combo1 .. Combo9 (the code lists),
// lista (the employees), reco (the record number), Tx0, Text1 (the company's code and name),
// Text2 (the working year), Command1 (delete), Command2 (save), Command3 (exit), Command5
// (restore), Command6 (next), Command7 (previous), Command8 (other fields), Label22 (the
// label of Tx_22), StatusBar1.
class Parteb1 : public QMainWindow {
    Q_OBJECT
public:
    // Loads the window on the employees that `employees` names. When there is nothing to
    // show (the employee data file does not exist) the form has said so and wantsToClose()
    // is true.
    Parteb1(records::Workplace workplace, const EmployeeFileChoice& employees, QWidget* parent = nullptr);
    ~Parteb1() override;

    Parteb1Form& form() { return m_form; }
    bool wantsToClose() const { return m_form.closeRequested; }

    // The help line: a text, or the help of box `k`.
    void showStatus(std::string_view text);
    void showHelp(int k);

private slots:
    void chooseEmployee(int item);
    void chooseCode(int list, int item);
    void deleteRecord();
    void saveRecord();
    void exit();
    void restoreBoxes();
    void nextRecord();
    void previousRecord();
    void showOtherFields();

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
    // The number of a box (1 to 23), 0 for any other widget.
    int boxNumberOf(const QObject* box) const;

    Parteb1Form m_form;
    bool m_refreshing = false;
    BoxFocus m_focus;

    std::array<QLineEdit*, Parteb1Form::kBoxCount + 1> m_boxes{};
    std::array<QComboBox*, Parteb1Form::kCodeListCount + 1> m_codeLists{};
    std::array<QLabel*, Parteb1Form::kBoxCount + 1> m_boxLabels{};
    QGridLayout* m_boxGrid = nullptr;
    QHBoxLayout* m_identity = nullptr; // boxes 1 to 3 on one row, side by side only
    QGridLayout* m_companyGrid = nullptr;
    QHBoxLayout* m_employees = nullptr; // the employee list's row
    QHBoxLayout* m_browsing = nullptr;  // record number and next/previous
    QComboBox* m_employeeList = nullptr;
    QLineEdit* m_recordBox = nullptr;
    QLineEdit* m_companyCode = nullptr;
    QLineEdit* m_companyName = nullptr;
    QLineEdit* m_workingYear = nullptr;
    QLabel* m_operatingUnitLabel = nullptr;
    QPushButton* m_next = nullptr;
    QLabel* m_statusText = nullptr;
};

} // namespace registers
