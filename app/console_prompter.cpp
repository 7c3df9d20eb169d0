#include "app/console_prompter.h"

#include <chrono>
#include <iomanip>
#include <sstream>

#include "records/cp1252.h"

namespace app {

void ConsolePrompter::writeLine(std::string_view title, std::string_view text, std::string_view suffix)
{
    if (beforeLine)
        beforeLine();
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

records::Answer ConsolePrompter::askYesNoCancel(records::Question question, std::string_view title,
                                                std::string_view text, records::Icon)
{
    const auto given = m_choices.find(question);
    const records::Answer answer = given == m_choices.end() ? records::Answer::Cancel : given->second;
    writeLine(title, text,
              answer == records::Answer::Yes  ? " [Si]"
              : answer == records::Answer::No ? " [No]"
                                              : " [Annulla]");
    return answer;
}

void TerminalProgress::show(double done, double total)
{
    if (!m_terminal)
        return;
    const long long now = std::chrono::duration_cast<std::chrono::milliseconds>(
                              std::chrono::steady_clock::now().time_since_epoch())
                              .count();
    if (done < total && m_lastShown >= 0 && now - m_lastShown < 200)
        return;
    m_lastShown = now;
    // A count read from a damaged header can be as large as 9E99: no cast to a whole type.
    std::ostringstream counts;
    counts << std::fixed << std::setprecision(0) << done << " di " << total;
    m_err << '\r' << m_text << ": " << counts.str() << std::flush;
    m_lineOpen = true;
}

void TerminalProgress::endLine()
{
    if (!m_lineOpen)
        return;
    m_err << '\n' << std::flush;
    m_lineOpen = false;
}

bool ConsoleLauncher::startProgram(const std::string& hostProgram, const std::vector<std::string>&,
                                   const std::string&)
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
