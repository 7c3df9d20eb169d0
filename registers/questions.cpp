#include "registers/questions.h"

#include <string>

namespace registers {

namespace {

constexpr const char* kChangeTitle = "Modifica dei dati";

} // namespace

bool confirmChange(records::Prompter& prompter)
{
    return prompter.askYesNo(kConfirmChange, kChangeTitle, "Conferma ", records::Icon::Question);
}

bool confirmDeletion(records::Prompter& prompter)
{
    return prompter.askYesNo(kConfirmDelete, kChangeTitle, "Conferma ", records::Icon::Question);
}

bool saveDespiteCheck(records::Prompter& prompter, std::string_view boxLabel, std::string_view checkMessage)
{
    const std::string question = "Il campo " + std::string(boxLabel) + " non ha superato il controllo ("
        + std::string(checkMessage) + "). Salvare comunque ?";
    return prompter.askYesNo(kSaveDespiteCheck, kChangeTitle, question, records::Icon::Question);
}

records::Answer askToSaveEdits(records::Prompter& prompter)
{
    return prompter.askYesNoCancel(kSaveEdits, kChangeTitle, "Salvare le modifiche al record ?",
                                   records::Icon::Question);
}

records::Answer askAboutChangedRecord(records::Prompter& prompter, std::string_view changes)
{
    const std::string question
        = "Il record e' stato salvato da un altro utente dopo che questa finestra lo ha letto. Ora contiene:\n"
        + std::string(changes)
        + "\nRicaricare il record salvato (Si'), sovrascriverlo con i dati di questa finestra (No) o tornare "
          "alla finestra senza salvare (Annulla) ?";
    return prompter.askYesNoCancel(kRecordChanged, kChangeTitle, question, records::Icon::Question);
}

} // namespace registers
