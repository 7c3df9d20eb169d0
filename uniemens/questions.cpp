#include "uniemens/questions.h"

namespace uniemens {

namespace {
constexpr const char* kEndTitle = "Fine lavoro";
} // namespace

bool askForAnotherCompany(records::Prompter& prompter)
{
    return prompter.askYesNo(kAnotherCompany, kEndTitle, "Inserisci altra Ditta ?", records::Icon::Question);
}

bool askToContinueWithCheck(records::Prompter& prompter)
{
    return prompter.askYesNo(kContinueWithCheck, kEndTitle, "Vuoi proseguire con il controllo del file ?",
                             records::Icon::Question);
}

} // namespace uniemens
