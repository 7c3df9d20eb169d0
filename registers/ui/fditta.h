#pragma once

#include <array>
#include <string_view>

#include <QMainWindow>

#include "records/workplace.h"
#include "registers/fditta_form.h"
#include "registers/ui/register_keys.h"

class QBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;

namespace registers {

class CodeListDialog;

// The company register window "Gestione ditte": the master record of one company in its 34
// boxes, with the birth date in three boxes, the descriptions of the coded fields, the help
// line and the code lists. The window shows the state of its FDittaForm and hands the
// operator's input and events to it. Control object names are the control names: Tx_1 ..
// Tx_34 (the boxes of fields 1 to 34), ggn, mmn, aan (day, month and year of the birth date),
// ftel (telephone and fax), Label23, Label26, Label27, Label28, Label39, Label40 (the
// descriptions of fields 1, 13, 14, 28, 32, 34), sectorWords, activityWords,
// legalFormWords, personalizationWords, intermediaryWords (the words of the codes of fields 9,
// 10, 11, 29, 33), Label37 (the note), Command2 (save),
// Commandelimina (blank), Command3 (exit), Command4, Command16, Command13, Command6, Command8
// (code lists of fields 9, 10, 11, 29, 33; Tab reaches each after its box, and F4 or Alt+Down
// in the box opens it), StatusBar1.
// Tx_5 stays hidden: the birth date is typed into ggn, mmn and aan, from which a save takes it.
class fDitta : public QMainWindow {
    Q_OBJECT
public:
    // Loads the window on record 1 of company `company`'s file.
    fDitta(records::Workplace workplace, int company, QWidget* parent = nullptr);
    ~fDitta() override;

    FDittaForm& form() { return m_form; }
    // The list window the code-list buttons show; a test may put its own in.
    void setCodeListWindow(CodeListWindow* window) { m_form.setCodeListWindow(window); }
    CodeListDialog* codeListDialog() const { return m_codeLists; }

    // The help line: a text, or the help of field `field`.
    void showStatus(std::string_view text);
    void showHelp(int field);

private slots:
    void saveRecord();
    void blankRecord();
    void exit();
    void boxEntered(int field);
    void boxLeft(int field);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    // However the window is closed (its close button, the program's end), edits are not
    // left behind without the question of the exit button.
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    QWidget* buildCompanyGroup();
    QWidget* buildActivityGroup();
    QWidget* buildContactGroup();
    QWidget* buildAddressGroup(const QString& title, int first);
    QWidget* buildAccountsGroup();
    QPushButton* listButton(CodeList list, int field, const char* name, const QString& toolTip);
    void refresh();
    void afterEvent();
    void moveFocus(int box);
    // `next` is the widget the focus was going to when the box was left.
    void dropFocusRequestUnlessToABox(const QWidget* next);
    // The field of a box (1 to 34), 0 for any other widget.
    int fieldOf(const QObject* box) const;
    bool isBirthDateBox(const QObject* box) const;

    FDittaForm m_form;
    CodeListDialog* m_codeLists = nullptr;
    bool m_refreshing = false;
    BoxFocus m_focus;

    std::array<QLineEdit*, FDittaForm::kFieldCount + 1> m_boxes{};       // by field
    std::array<QPushButton*, FDittaForm::kFieldCount + 1> m_listButtons{}; // by the field they fill
    QLineEdit* m_birthDay = nullptr;
    QLineEdit* m_birthMonth = nullptr;
    QLineEdit* m_birthYear = nullptr;
    QLineEdit* m_telFax = nullptr;
    QLabel* m_kindDescription = nullptr;
    QLabel* m_accountingDescription = nullptr;
    QLabel* m_settlementDescription = nullptr;
    QLabel* m_takingsDescription = nullptr;
    QLabel* m_field32Description = nullptr;
    QLabel* m_field34Description = nullptr;
    QLabel* m_sectorWords = nullptr;
    QLabel* m_activityWords = nullptr;
    QLabel* m_legalFormWords = nullptr;
    QLabel* m_personalizationWords = nullptr;
    QLabel* m_intermediaryWords = nullptr;
    QLabel* m_note = nullptr;
    QLabel* m_statusText = nullptr;
    QBoxLayout* m_columns = nullptr; // the two columns of groups, side by side or stacked
};

} // namespace registers
