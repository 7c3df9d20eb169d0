#pragma once

#include <array>
#include <string_view>

#include <QMainWindow>

#include "records/shared_values.h"
#include "registers/fditta_form.h"

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
// Tx_34, ggn, mmn, aan, ftel, Label23, Label26, Label27, Label28, Label39, Label40, Label37,
// Command2 (save), Commandelimina (blank), Command3 (exit), Command4, Command16, Command13,
// Command6, Command8 (code lists of fields 9, 10, 11, 29, 33; Tab reaches each after its box,
// and F4 or Alt+Down in the box opens it), StatusBar1.
// Tx_5 stays hidden: the birth date is typed into ggn, mmn and aan, from which a save takes it.
class fDitta : public QMainWindow {
    Q_OBJECT
public:
    // Loads the window on record 1 of company `company`'s file (Form_Load).
    fDitta(records::Workplace workplace, int company, QWidget* parent = nullptr);
    ~fDitta() override;

    FDittaForm& form() { return m_form; }
    // The list window the code-list buttons show; a test may put its own in.
    void setCodeListWindow(CodeListWindow* window) { m_form.setCodeListWindow(window); }
    CodeListDialog* codeListDialog() const { return m_codeLists; }

    void Messaggio(std::string_view text);
    void messaggi(int index);

private slots:
    void Command2_Click();
    void Commandelimina_Click();
    void Command3_Click();
    void Tx_GotFocus(int index);
    void Tx_LostFocus(int index);

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
    QPushButton* listButton(int box, const char* name, const QString& toolTip, void (FDittaForm::*event)());
    void refresh();
    void afterEvent();
    void moveFocus(int box);
    void dropFocusRequestUnlessToABox();
    int indexOf(const QObject* box) const;

    FDittaForm m_form;
    CodeListDialog* m_codeLists = nullptr;
    bool m_refreshing = false;
    const QObject* m_entered = nullptr; // the box the operator is in

    std::array<QLineEdit*, FDittaForm::kFieldCount + 1> m_tx{};
    std::array<QPushButton*, FDittaForm::kFieldCount + 1> m_listButtons{}; // by the box they fill
    QLineEdit* m_ggn = nullptr;
    QLineEdit* m_mmn = nullptr;
    QLineEdit* m_aan = nullptr;
    QLineEdit* m_ftel = nullptr;
    QLabel* m_label23 = nullptr;
    QLabel* m_label26 = nullptr;
    QLabel* m_label27 = nullptr;
    QLabel* m_label28 = nullptr;
    QLabel* m_label39 = nullptr;
    QLabel* m_label40 = nullptr;
    QLabel* m_label37 = nullptr;
    QLabel* m_statusText = nullptr;
    QBoxLayout* m_columns = nullptr; // the two columns of groups, side by side or stacked
};

} // namespace registers
