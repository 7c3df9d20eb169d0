#include "cu/telematic/questions.h"

#include <string>

namespace cu::telematic {

bool askForReport(records::Prompter& prompter)
{
    return prompter.askYesNo(kReportWanted, {}, "Vuoi creare un report della memorizzazione del file ?");
}

bool confirmAnnulment(records::Prompter& prompter, std::string_view surname, std::string_view name)
{
    const std::string question
        = "Confermi la funzione di Annul/Sostit. del dipendente " + std::string(surname) + std::string(name) + " ?";
    return prompter.askYesNo(kConfirmAnnulment, {}, question);
}

} // namespace cu::telematic
