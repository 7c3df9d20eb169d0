#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cu/telematic/environment.h"
#include "cu/telematic/run.h"
#include "payroll/cu_archive.h"
#include "records/channels.h"
#include "records/shared_values.h"
#include "records/text_box.h"

namespace cu {

// The choices of "FASE 3" that the operator makes in the input frame, by name: what is not
// given keeps what the window put there.
struct SupplyOptions {
    std::optional<char> kind;                       // 'N', 'A', 'S' or 'T', as the Combo1 items start
    std::optional<std::string> replacedSubmission;  // Tx(2)
    std::optional<std::string> replacedCertificate; // Tx(3)
    std::optional<std::string> employeeRecord;      // Tx(4)
    std::optional<std::string> outputFolder;        // Tx(5), installation notation
    std::optional<std::string> outputName;          // Tx(6)
    std::optional<std::string> commitmentType;      // Tx(8)
    std::optional<std::string> commitmentDate;      // Tx(9)
};

// The controls of the createl window and its own values, as a freshly loaded window has them.
struct CreatelControls {
    static constexpr int kTxCount = 12;
    static constexpr int kMaxArchive = 999;

    CreatelControls();

    std::array<records::TextBox, kTxCount> Tx;
    std::vector<std::string> listaItems;
    std::string listaText;
    std::vector<std::string> combo1Items;
    bool inputFrameVisible = false;
    std::string label17;
    std::string statusText;

    std::array<int, kMaxArchive + 1> archiveList{};
    int archiveCount = 0;
    std::string archiveExtension;
    std::string selectedArchive;
    std::int16_t singleEmployeeFlag = 0;
    std::int16_t reportFlag = 0;

    // Set by Command3: the window is to close (and with it the program).
    bool closeRequested = false;
};

// The createl window ("Seleziona CU 2016") without its widgets: the state of every control,
// the window's own values and record channels, and the event procedures that act on them.
// The Qt window shows this state and forwards its events here; the command line calls the
// named operations below, which are the operator's gestures in the window.
class CreatelForm : public CreatelControls {
public:
    explicit CreatelForm(records::Workplace workplace);
    CreatelForm(const CreatelForm&) = delete;
    CreatelForm& operator=(const CreatelForm&) = delete;

    // Events of the window.
    void Form_Load();
    void lista_Click(int index);
    // " FASE 2     APRE CU": opens the archive named in Tx(0). False when a stop message
    // was shown instead.
    bool Command1_Click();
    void Combo1_Click(int index);
    void Command5_Click(); // "     FASE 1          REPORT": asks whether a report is wanted
    // "FASE 3": the telematic writer. After a completed run the window is loaded afresh;
    // after a run with a report it is to close.
    telematic::RunResult Command2_Click();
    void Command3_Click(); // "FASE 4     FINE"
    void Tx_GotFocus(int index);
    void Tx_LostFocus(int index);

    // Public methods of the window.
    void Messaggio(std::string_view text);
    void messaggi(int index);

    // Named operations: the operator's gestures, for the command line and the tests.
    void askForReport() { Command5_Click(); }
    // Types the archive number into "Codice" and presses "FASE 2".
    bool openArchive(std::string_view number);
    // Picks the kind of supply and types the given texts into their boxes.
    void setSupplyOptions(const SupplyOptions& options);
    telematic::RunResult run() { return Command2_Click(); }

    // Called whenever a control changes in the middle of an event (progress text, status
    // line), so that a window can show it before the next message box.
    std::function<void()> changed;
    // Called during a run after each archive record looked at: how many of how many.
    std::function<void(double done, double total)> advanced;

    records::Channels& channels() { return m_channels; }
    records::SharedValues& shared() { return m_workplace.shared; }
    records::Prompter& prompter() { return m_workplace.prompter; }
    records::Launcher& launcher() { return m_workplace.launcher; }
    // What the telematic writer is lent for a run.
    telematic::Environment environment();

private:
    // Puts every control and window value back as a new window has them, and loads it.
    void reload();
    void fillHeaderBoxes(const std::string& header);
    std::string listItemText(const std::string& archive, const std::string& header) const;
    void enableProtocolBoxes(bool enabled);
    void notify();

    records::Workplace m_workplace;
    records::Channels m_channels;
    payroll::CuFields m_cuFields;
};

} // namespace cu
