#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace records {

enum class Icon { None, Information, Question, Stop };

// Every Yes/No question that the program asks, by what it asks. The command line and the
// tests answer a question by this identity, never by its Italian text.
enum class Question {
    ReportWanted,       // createl "FASE 1": "Vuoi creare un report della memorizzazione del file ?"
    ConfirmAnnulment,   // CU run: "Confermi la funzione di Annul/Sostit. del dipendente ..."
    AnotherCompany,     // UniEmens series: "Inserisci altra Ditta ?"
    ContinueWithCheck,  // UniEmens series: "Vuoi proseguire con il controllo del file ?"
    ConfirmChange,      // registers: "Conferma " before a record is saved
    ConfirmDelete,      // employee register: before a record is deleted
    CheckFileNow,       // createl and inditta after a file was written: "Verificare il file adesso ?"
};

// Whoever shows the core's messages and asks its questions: a window, a test or the
// command line. Texts are Windows-1252 bytes; an empty title means the program's own
// default title ("telematico").
class Prompter {
public:
    virtual ~Prompter() = default;
    // A message box with an OK button only.
    virtual void message(std::string_view title, std::string_view text, Icon icon = Icon::None) = 0;
    // A box with Yes and No buttons; true means Yes. `question` says which question it is.
    virtual bool askYesNo(Question question, std::string_view title, std::string_view text, Icon icon = Icon::None) = 0;
};

// Programs and pages that the tool starts and never waits for, and the read-only viewer
// that shows a text file such as the run report.
class Launcher {
public:
    virtual ~Launcher() = default;
    // Starts a program by its host path without a shell; false when it could not be started.
    // A `workingDirectory` (host path) is the started program's current folder; empty keeps
    // the tool's own.
    virtual bool startProgram(const std::string& hostProgram, const std::vector<std::string>& arguments,
                              const std::string& workingDirectory = {})
        = 0;
    // Opens a web page with the desktop's URL opener; false when nothing could open it.
    virtual bool openUrl(const std::string& url) = 0;
    // Shows a plain-text file (host path) read-only.
    virtual void showTextFile(const std::string& hostPath, std::string_view title) = 0;
};

} // namespace records
