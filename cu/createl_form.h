#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "cu/environment.h"
#include "cu/telematic/run.h"

namespace cu {

// One input box of a window: its text, whether it takes input, and how many characters
// the operator may type (0 = no limit; the program itself may put longer texts in).
struct TextBox {
    std::string text;
    bool enabled = true;
    int maxLength = 0;
};

// The createl window ("Seleziona CU 2016") without its widgets: the state of every control
// and the window's own values, and the event procedures that act on them. The Qt window
// shows this state and forwards its events here; the command line drives the same events.
class CreatelForm {
public:
    static constexpr int kTxCount = 12;
    static constexpr int kMaxArchive = 999;

    explicit CreatelForm(Environment& environment);

    // Events of the window.
    void Form_Load();
    void lista_Click(int index);
    void Command1_Click(); // " FASE 2     APRE CU": opens the archive named in Tx(0)
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

    // Controls.
    std::array<TextBox, kTxCount> Tx;
    std::vector<std::string> listaItems;
    std::string listaText;
    std::vector<std::string> combo1Items;
    bool inputFrameVisible = false;
    std::string label17;
    std::string statusText;

    // Window values.
    std::array<int, kMaxArchive + 1> archiveList{};
    int archiveCount = 0;
    std::string archiveExtension;
    std::string selectedArchive;
    std::int16_t singleEmployeeFlag = 0;
    std::int16_t reportFlag = 0;

    // Set by Command3: the window is to close (and with it the program).
    bool closeRequested = false;
    // Called whenever a control changes in the middle of an event (progress text, status
    // line), so that a window can show it before the next message box.
    std::function<void()> changed;

    Environment& environment() { return *m_environment; }

private:
    // Puts every control and window value back as a new window has them, and loads it.
    void reload();
    void fillHeaderBoxes(const std::string& header);
    std::string listItemText(const std::string& archive, const std::string& header) const;
    void enableProtocolBoxes(bool enabled);
    void notify();

    Environment* m_environment; // lent by the program, never null
};

} // namespace cu
