#include "app/console_prompter.h"

#include "records/cp1252.h"

namespace app {

void ConsolePrompter::writeLine(std::string_view title, std::string_view text, std::string_view suffix)
{
    if (!title.empty())
        m_err << records::cp1252ToUtf8(title) << ": ";
    m_err << records::cp1252ToUtf8(text) << suffix << '\n';
    m_err.flush();
}

void ConsolePrompter::message(std::string_view title, std::string_view text, records::Icon)
{
    ++m_messages;
    writeLine(title, text, {});
}

bool ConsolePrompter::askYesNo(records::Question question, std::string_view title, std::string_view text,
                               records::Icon)
{
    const bool yes = m_yes.contains(question);
    writeLine(title, text, yes ? " [Si]" : " [No]");
    return yes;
}

bool ConsoleLauncher::startProgram(const std::string& hostProgram, const std::vector<std::string>&)
{
    m_err << "(programma non avviato senza desktop: " << hostProgram << ")\n";
    return false;
}

bool ConsoleLauncher::openUrl(const std::string& url)
{
    m_err << "(pagina non aperta senza desktop: " << url << ")\n";
    return false;
}

void ConsoleLauncher::showTextFile(const std::string&, std::string_view)
{
    // The command line prints the report's path instead of showing it.
}

} // namespace app
