// Runs series of UniEmens declarations through the inditta form on damaged inputs, case after
// case, and checks that no input leaves a wrong declaration or costs a file:
//
//   uniemens_fuzz [--seconds N] [--seed S] [--cases N] [--case K] [--dir DIR] [--verbose]
//   (defaults: 10 seconds, a random seed, a new folder in /dev/shm or $TMPDIR)
//
// Each case starts from the UniEmens files of the demo installation (drive file, year file,
// the company, employee and collaborator data files of March and April 2016) and damages
// some of the month's files: bytes changed, records cut short or added, record counts such
// as "1E99" or " -3", header and worker fields with odd values and control characters, a
// header naming another company or another kind of declaration, a data file removed, a
// company's files copied under the name of a company that has none, links and folders
// where data files are looked for. It plants an older file, an older declaration, a link or
// a folder where the XML file of the series goes, and what killed series leave beside it,
// and makes the operator's moves: a month, then one to three companies confirmed one after
// the other (sometimes one already in the file, one of the other kind, none at all, the
// employees' data instead), answering "Inserisci altra Ditta ?" Yes while companies follow,
// and sometimes leaving the series unfinished. After each "Conferma" and at the end of the case it checks:
// - what "Conferma" came to: a company added or a file stored showed
//   "Memorizzazione regolarmente effettuata" once; a stored file was announced once; a
//   refusal showed one message, kept the list and left an open series open; a stop said
//   why, closed the series and announced nothing;
// - a stored file is complete, well-formed XML (libxml2) with one DatiMittente and one
//   Azienda per company confirmed in the series, no company twice and blocks of one kind
//   only; a series that did not reach its end left no file;
// - no temporary file or lock file is left anywhere, and none is listed for removal any
//   more; the files of killed series planted in the checking program's folder (temporary
//   files, lock files) are gone once a series stored its file, which said so, and a folder,
//   a link or a FIFO planted at a lock file's name is left as it was;
// - every file that was there before is untouched byte for byte, except the target of a
//   stored file, which is replaced whole, and the year file when it was missing: the data
//   files never change, nor what a planted link points to, and nothing appears elsewhere.
// A crash is found by the sanitizers of the build. "--seed S --case K" repeats case K alone.

#include <libxml/parser.h>
#include <libxml/tree.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/program_values.h"
#include "demo/demo_installation.h"
#include "demo/record_builders.h"
#include "payroll/collaborator_record.h"
#include "payroll/company_record.h"
#include "payroll/employee_record.h"
#include "records/cp1252.h"
#include "records/file_chooser.h"
#include "records/file_result.h"
#include "records/host_paths.h"
#include "records/installation.h"
#include "records/output_file.h"
#include "records/prompter.h"
#include "records/temporary_files.h"
#include "records/text.h"
#include "tools/fuzz_support.h"
#include "tools/quiet_operator.h"
#include "uniemens/inditta_form.h"
#include "uniemens/questions.h"

using namespace tools::fuzz;
using uniemens::ConfirmOutcome;

namespace {

constexpr const char* kPaghe = "c/nolv/paghe";
constexpr const char* kXmlFolder = "c/Program Files/INPS/INPS uniEmens individuale";
constexpr const char* kAdded = "Memorizzazione regolarmente effettuata";
constexpr const char* kOutside = "a file outside the installation";

// The companies of the demo by month: code and kind ('0' employees, '1' collaborators).
struct DemoCompany {
    const char* code;
    char kind;
};
const std::vector<DemoCompany> kMarch = {{"001", '0'}, {"002", '0'}, {"005", '1'}};
const std::vector<DemoCompany> kApril = {{"003", '0'}, {"004", '0'}, {"005", '1'}, {"006", '0'}};

// The operator: answers "Inserisci altra Ditta ?" as the case says, and keeps every box it
// was shown.
class Operator : public records::Prompter {
public:
    struct Shown {
        std::string title;
        std::string text;
        bool question = false;
        bool answer = false;
    };

    bool anotherCompany = false;
    bool check = false;
    std::vector<Shown> shown;

    void message(std::string_view title, std::string_view text, records::Icon) override
    {
        shown.push_back({std::string(title), std::string(text), false, false});
    }
    bool askYesNo(records::Question question, std::string_view title, std::string_view text, records::Icon) override
    {
        const bool answer = question == uniemens::kAnotherCompany ? anotherCompany
            : question == uniemens::kContinueWithCheck        ? check
                                                                      : false;
        shown.push_back({std::string(title), std::string(text), true, answer});
        return answer;
    }
    // How many boxes shown from `first` on say exactly `text`.
    long count(std::size_t first, std::string_view text) const
    {
        return std::count_if(shown.begin() + static_cast<std::ptrdiff_t>(std::min(first, shown.size())), shown.end(),
                             [&](const Shown& s) { return s.text == text; });
    }
};

// The elements below `node` named `name`, at any depth.
long countElements(xmlNodePtr node, std::string_view name)
{
    long count = 0;
    for (; node != nullptr; node = node->next) {
        if (node->type != XML_ELEMENT_NODE)
            continue;
        if (name == reinterpret_cast<const char*>(node->name))
            ++count;
        count += countElements(node->children, name);
    }
    return count;
}

// Empty when `xml` is a complete declaration of `companies` companies of one kind, else
// what is wrong with it.
std::string declarationFault(const std::string& xml, long companies)
{
    if (!xml.starts_with("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<DenunceMensili>\r\n"))
        return "the file does not start with the declaration and <DenunceMensili>";
    if (!xml.ends_with("</Azienda>\r\n</DenunceMensili>\r\n"))
        return "the file does not end with </Azienda> and </DenunceMensili>";
    xmlResetLastError();
    const std::unique_ptr<xmlDoc, decltype(&xmlFreeDoc)> doc(
        xmlReadMemory(xml.data(), static_cast<int>(xml.size()), "declaration.xml", nullptr,
                      XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING | XML_PARSE_HUGE),
        xmlFreeDoc);
    if (!doc) {
        const xmlError* last = xmlGetLastError();
        return std::string("not well-formed XML: ") + (last && last->message ? last->message : "?");
    }
    xmlNodePtr root = xmlDocGetRootElement(doc.get());
    if (root == nullptr || std::string_view(reinterpret_cast<const char*>(root->name)) != "DenunceMensili")
        return "the root element is not DenunceMensili";
    std::vector<std::string> children;
    for (xmlNodePtr node = root->children; node != nullptr; node = node->next) {
        if (node->type == XML_ELEMENT_NODE)
            children.emplace_back(reinterpret_cast<const char*>(node->name));
    }
    if (children.empty() || children.front() != "DatiMittente"
        || std::count(children.begin(), children.end(), "DatiMittente") != 1)
        return "DatiMittente is not once at the start";
    const long blocks = std::count(children.begin(), children.end(), "Azienda");
    if (blocks != companies || static_cast<std::size_t>(blocks) + 1 != children.size())
        return std::to_string(blocks) + " Azienda blocks for " + std::to_string(companies) + " companies";
    const long positions = countElements(root, "PosContributiva");
    const long lists = countElements(root, "ListaCollaboratori");
    if (!((positions == blocks && lists == 0) || (lists == blocks && positions == 0)))
        return "blocks of two kinds: " + std::to_string(positions) + " PosContributiva, " + std::to_string(lists)
            + " ListaCollaboratori";
    return {};
}

// One case: the damage done and the operator's moves, as they are drawn.
class Case {
public:
    Case(const fs::path& work, std::uint64_t seed, long number)
        : m_work(work)
        , m_root(work / "root")
        , m_dice(seed, number)
    {
    }

    CaseResult run()
    {
        CaseResult result;
        result.failure = runChecked();
        result.outcome = m_outcome;
        result.log = m_log;
        return result;
    }

private:
    std::string runChecked()
    {
        prepareInstallation();
        const fs::path outside = m_work / "outside.dat";
        writeFile(outside, kOutside);
        plantOutputs(outside);
        const Snapshot before = snapshot(m_work);
        const bool yearFileThere = fs::exists(fs::symlink_status(m_root / "c/WNOLV/anno1.dat"));

        Operator person;
        person.check = m_dice.chance(0.3);
        tools::NoLauncher launcher;
        records::NoFileChooser chooser;
        std::string storedTarget;
        {
            app::ProgramValues shared(m_root);
            // The createl window loads first and reads the drive of the installation.
            records::showFailure(person, records::readDrive(shared.paths, shared.installation));
            uniemens::IndittaForm form(shared.workplace(person, launcher), chooser);
            form.load();
            form.chooseMonth(m_month - 1);
            std::vector<std::string> inSeries; // codes of the companies confirmed into the open file
            int seriesKind = 0;                // declaration kind of the first of them
            bool stored = false;
            bool refused = false;
            bool stopped = false;
            for (int step = 0; step < m_steps && !stored; ++step) {
                const std::size_t chosen = person.shown.size();
                chooseCompany(form, inSeries, shared);
                // A month clicked has its scan's messages.
                const std::size_t first = person.shown.size();
                const bool last = step + 1 == m_steps;
                person.anotherCompany = last ? false : m_dice.chance(0.9);
                const bool wasOpen = form.seriesOpen();
                const std::vector<std::string> listed = form.dataFiles;
                const bool declaring = form.action == uniemens::ConfirmAction::CreateDeclaration;
                const std::optional<Header> header = readHeader(shared.paths.hostPath(form.chosenDataFile));
                // "Conferma" works on the data file chosen now, which a company added clears.
                const std::string confirmedFile = form.chosenDataFile;
                const ConfirmOutcome outcome = form.confirm();
                if (form.action == uniemens::ConfirmAction::EditEmployees)
                    form.chooseAction(uniemens::ConfirmAction::CreateDeclaration);
                const std::string code(records::mid(
                    confirmedFile.substr(std::min(confirmedFile.size(), confirmedFile.find_last_of('\\') + 1)), 4, 3));
                m_log.push_back("  " + outcomeName(outcome));
                for (std::size_t k = chosen; k < person.shown.size(); ++k) {
                    const Operator::Shown& s = person.shown[k];
                    m_log.push_back(std::string(s.question ? "    asked: " : "    shown: ") + s.title + " | " + s.text
                                    + (s.question ? (s.answer ? " [Si]" : " [No]") : ""));
                }
                const long added = person.count(first, kAdded);
                const bool announced
                    = std::any_of(person.shown.begin() + static_cast<std::ptrdiff_t>(first), person.shown.end(),
                                  [](const Operator::Shown& s) { return s.text.starts_with("Il file :"); });
                const bool endsInMessage = person.shown.size() > first && !person.shown.back().question;
                // What "Conferma" had to do by the header of the file chosen.
                switch (outcome) {
                case ConfirmOutcome::CompanyAdded:
                case ConfirmOutcome::FileStored:
                    if (std::find(inSeries.begin(), inSeries.end(), code) != inSeries.end())
                        return "company " + code + " was written twice into one file";
                    if (header && header->code != code)
                        return "company " + code + " was declared from a file that holds company " + header->code;
                    if (header && !inSeries.empty() && header->kind != seriesKind)
                        return "companies of two kinds were written into one file";
                    if (header && inSeries.empty())
                        seriesKind = header->kind;
                    break;
                case ConfirmOutcome::Stopped:
                    if (wasOpen && declaring && header && header->code == code && header->kind != seriesKind
                        && std::find(inSeries.begin(), inSeries.end(), code) == inSeries.end())
                        return "a company of another kind ended the series instead of being refused";
                    break;
                default:
                    break;
                }
                switch (outcome) {
                case ConfirmOutcome::CompanyAdded:
                    if (added != 1 || announced || !form.seriesOpen())
                        return "a company added without its one message, or with the series closed";
                    // Only the company written may leave the list.
                    for (const std::string& file : listed) {
                        if (file != confirmedFile
                            && std::find(form.dataFiles.begin(), form.dataFiles.end(), file) == form.dataFiles.end())
                            return file + " left the list when another company was written";
                    }
                    inSeries.push_back(code);
                    break;
                case ConfirmOutcome::FileStored: {
                    if (added != 1 || !announced || form.seriesOpen())
                        return "a stored file without its messages, or with the series still open";
                    inSeries.push_back(code);
                    storedTarget = form.storedHostPath();
                    if (storedTarget != shared.paths.hostPath(form.seriesFileName()).string())
                        return "the file stored is " + storedTarget + ", not the series' file";
                    std::vector<std::string> sorted = inSeries;
                    std::sort(sorted.begin(), sorted.end());
                    if (std::adjacent_find(sorted.begin(), sorted.end()) != sorted.end())
                        return "a company was confirmed twice into one file";
                    if (const std::string fault
                        = declarationFault(readFile(storedTarget), static_cast<long>(inSeries.size()));
                        !fault.empty())
                        return "the stored file: " + fault;
                    stored = true;
                    break;
                }
                case ConfirmOutcome::Refused:
                    refused = true;
                    if (person.shown.size() != first + 1 || !endsInMessage)
                        return "a refusal did not show exactly one message";
                    if (form.seriesOpen() != wasOpen || form.dataFiles != listed)
                        return "a refusal changed the series or the list";
                    break;
                case ConfirmOutcome::Stopped:
                    if (!endsInMessage || announced)
                        return "a stop without a message, or after the file was announced";
                    if (form.seriesOpen())
                        return "a stop left the series open";
                    stopped = true;
                    inSeries.clear();
                    break;
                case ConfirmOutcome::NoCompany:
                case ConfirmOutcome::UnknownKind:
                    if (person.shown.size() != first || form.seriesOpen() != wasOpen)
                        return "a confirmation that did nothing showed something or changed the series";
                    break;
                case ConfirmOutcome::EditRequested:
                    return "the employee register was opened without one";
                }
            }
            if (form.seriesOpen()) {
                if (m_dice.chance(0.5)) {
                    form.goBack();
                    m_log.push_back("  Indietro");
                } else {
                    m_log.push_back("  window closed with the program");
                }
                m_outcome = "series abandoned";
            } else {
                m_outcome = stored ? "stored " + std::to_string(inSeries.size()) + " companies"
                    : stopped      ? "series stopped"
                                   : "nothing written";
            }
            if (refused)
                m_outcome += ", refusals";
        }

        const auto planted = [&](const fs::path& path) {
            return std::find(m_mayGo.begin(), m_mayGo.end(), path) != m_mayGo.end();
        };
        for (const fs::path& left : temporaryFilesBelow(m_work)) {
            if (!planted(left))
                return "a temporary or lock file was left: " + left.string();
        }
        if (records::temporary_files::count() != 0)
            return "temporary files are still listed for removal";
        // A series that stored its file started it in the folder, removing what killed series
        // had left there, and said so for their temporary files.
        for (const fs::path& left : m_mayGo) {
            std::error_code ec;
            if (storedTarget.empty())
                break;
            if (fs::exists(fs::symlink_status(left, ec)))
                return "a series stored its file and left a killed series' file: " + left.string();
            const std::string name = left.filename().string();
            const bool told = std::any_of(person.shown.begin(), person.shown.end(), [&](const Operator::Shown& shown) {
                return shown.text.starts_with("Rimoss") && shown.text.find(name) != std::string::npos;
            });
            if (records::OutputFile::isTemporaryName(name) && !told)
                return "a killed series' file was removed without a word: " + left.string();
        }
        if (readFile(outside) != kOutside)
            return "the file a planted link points to was changed";
        const fs::path yearFile = m_root / "c/WNOLV/anno1.dat";
        return differences(before, snapshot(m_work), [&](const fs::path& path) {
            return (!storedTarget.empty() && path == fs::path(storedTarget)) || (!yearFileThere && path == yearFile)
                || planted(path);
        });
    }

    // What the header record of a company data file says, as the payroll program wrote it:
    // the company code (positions 2-4 without blanks, control characters counting as
    // blanks) and the kind of declaration (the digit in position 180, else 0). Nothing when
    // the file holds no whole header.
    struct Header {
        std::string code;
        int kind = 0;
    };
    static std::optional<Header> readHeader(const fs::path& file)
    {
        std::error_code ec;
        if (!fs::is_regular_file(file, ec))
            return std::nullopt;
        const std::string bytes = readFile(file);
        if (bytes.size() < static_cast<std::size_t>(payroll::kCompanyRecordLength))
            return std::nullopt;
        std::string code = bytes.substr(1, 3);
        for (char& c : code) {
            if (static_cast<unsigned char>(c) < 32)
                c = ' ';
        }
        code = std::string(records::trim(code));
        const char kind = bytes[179];
        return Header{code, kind >= '0' && kind <= '9' ? kind - '0' : 0};
    }

    // Makes the operator's choice for one "Conferma": usually a company of the list, now
    // and then one already in the file, none, another month's list, or the employees' data.
    void chooseCompany(uniemens::IndittaForm& form, const std::vector<std::string>& inSeries,
                       const app::ProgramValues& shared)
    {
        const std::size_t draw = m_dice.below(100);
        if (draw < 8 && !inSeries.empty()) {
            // Named again as a program driving the form could: the window lists employee
            // companies no more, collaborator companies still.
            const std::string& code = inSeries[m_dice.below(inSeries.size())];
            form.chosenDataFile = shared.installation.drivePrefix + "\\nolv\\paghe\\una" + code + form.selectedMonth + "."
                + std::string(records::mid(shared.installation.workingYear, 2, 3));
            m_log.push_back("Conferma on " + form.chosenDataFile + " again");
            return;
        }
        if (draw < 12) {
            form.chosenDataFile.clear();
            m_log.push_back("Conferma with nothing chosen");
            return;
        }
        if (draw < 15) {
            form.chooseMonth(static_cast<int>(m_dice.below(12)));
            m_log.push_back("month clicked: " + form.selectedMonth + ", chosen " + form.chosenDataFile);
            return;
        }
        if (draw < 18)
            form.chooseAction(uniemens::ConfirmAction::EditEmployees);
        if (form.companyItems.empty()) {
            m_log.push_back("Conferma with the list empty, chosen " + form.chosenDataFile);
            return;
        }
        const int index = static_cast<int>(m_dice.below(form.companyItems.size()));
        form.chooseCompany(index);
        m_log.push_back(std::string(form.action == uniemens::ConfirmAction::EditEmployees ? "Modifica/Visualizza Dati"
                                                                                         : "Conferma")
                        + " on item "
                        + std::to_string(index) + " \"" + form.companyItems[static_cast<std::size_t>(index)] + "\" "
                        + form.chosenDataFile);
    }

    // A value that the payroll data never holds but a damaged file may.
    std::string oddValue()
    {
        static const std::vector<std::string> values = {
            "", " ", "0", "1", "2", "7", "X", "S", "$", "FP", "FC", "A", "E", "R", "001", "002", "005", "1E99",
            "-1E99", "1E999", "9E15", "-5", "99999999999999999", "00000000", "20160229", "1.5", "1D3", "NaN",
            std::string(4, '\0'), std::string(16, '\0'), "\t", "\x1B[2J", "\x7F", "\x81\x8D\x8F\x90\x9D",
            "\xFF\xFE", "&<>\"'", "]]>", "<!--", "\xE8\xE0\xF2",
        };
        return m_dice.chance(0.8) ? m_dice.pick(values) : m_dice.randomText(20);
    }
    std::string controlCharacters() { return m_dice.randomText(6, std::string_view("\0\t\n\r\x01\x1B\x1F", 7)); }

    // Damages a record file of `recordLength`-byte records laid out as `layout`; `what`
    // names it in the log.
    void damageRecords(std::string& bytes, const payroll::FieldLayout& layout, const std::string& what)
    {
        const std::size_t length = static_cast<std::size_t>(layout.recordLength());
        const int damages = static_cast<int>(m_dice.below(3)) + 1;
        for (int k = 0; k < damages; ++k) {
            const std::size_t records = bytes.size() / length;
            const std::size_t record = m_dice.below(std::max<std::size_t>(records, 1));
            switch (m_dice.below(8)) {
            case 0:
            case 1: {
                const int field = static_cast<int>(m_dice.below(static_cast<std::size_t>(layout.fieldCount()))) + 1;
                const payroll::FieldSlot slot = layout.slot(field);
                const std::string value = m_dice.chance(0.2) ? controlCharacters() : oddValue();
                put(bytes, record * length + static_cast<std::size_t>(slot.position - 1),
                    static_cast<std::size_t>(slot.length), value);
                m_log.push_back(what + " record " + std::to_string(record + 1) + " field " + std::to_string(field)
                                + " \"" + value + "\"");
                break;
            }
            case 2: {
                const char marker = m_dice.pick(std::vector<char>{'$', ' ', '\0', '*'});
                put(bytes, record * length, 1, std::string(1, marker));
                m_log.push_back(what + " record " + std::to_string(record + 1) + " marked " + std::to_string(marker));
                break;
            }
            case 3:
                for (int n = static_cast<int>(m_dice.below(16)) + 1; n > 0; --n)
                    put(bytes, m_dice.below(bytes.size()), 1, std::string(1, m_dice.anyByte()));
                m_log.push_back(what + " bytes changed");
                break;
            case 4: {
                const std::size_t kept = m_dice.below(records + 1) * length;
                const std::size_t size = m_dice.pick(std::vector<std::size_t>{kept, kept + 1, kept + length / 2,
                                                                              kept > 0 ? kept - 1 : 0});
                bytes.resize(std::min(size, bytes.size()));
                m_log.push_back(what + " cut to " + std::to_string(bytes.size()) + " bytes");
                break;
            }
            case 5: {
                if (records == 0)
                    break;
                const std::string copy = bytes.substr(record * length, length);
                for (std::size_t n = m_dice.below(20) + 1; n > 0; --n)
                    bytes += copy;
                m_log.push_back(what + " lengthened to " + std::to_string(bytes.size() / length) + " records");
                break;
            }
            case 6:
                bytes.append(m_dice.randomText(length + 100));
                m_log.push_back(what + " lengthened by odd bytes");
                break;
            default:
                for (int n = static_cast<int>(m_dice.below(6)) + 1; n > 0; --n)
                    put(bytes, m_dice.below(bytes.size()), 1,
                        std::string(1, m_dice.pick(std::vector<char>{'\0', '\t', '\x1B', '\r'})));
                m_log.push_back(what + " control characters put in");
                break;
            }
        }
    }

    void damageHeader(std::string& header, const std::string& what)
    {
        static const std::vector<std::string> counts = {
            "1E99", "    -3", "999999", "000000", "     0", "000001", "000002", "000003", "000004", "000007",
            "    12", "1e3", "2.5", "D999", "-0", std::string(6, '\0'), "abcdef", "      ", "   1E2",
        };
        const int damages = static_cast<int>(m_dice.below(2)) + 1;
        for (int k = 0; k < damages; ++k) {
            switch (m_dice.below(6)) {
            case 0: {
                const std::string count
                    = m_dice.chance(0.8) ? m_dice.pick(counts) : m_dice.randomText(6, "0123456789 -+.Ee");
                put(header, 206, 6, count);
                m_log.push_back(what + " count \"" + count + "\"");
                break;
            }
            case 1: {
                const char kind = m_dice.pick(std::vector<char>{'0', '1', '2', '7', ' ', '\0', 'X'});
                put(header, 179, 1, std::string(1, kind));
                m_log.push_back(what + " kind " + std::to_string(kind));
                break;
            }
            case 2: {
                const std::string code = m_dice.pick(std::vector<std::string>{
                    "001", "002", "003", "005", "006", "007", "1", " 01", std::string(3, '\0'), "00\t", "ABC"});
                put(header, 1, 3, code);
                m_log.push_back(what + " code \"" + code + "\"");
                break;
            }
            case 3: {
                const std::string composition
                    = m_dice.pick(std::vector<std::string>{"FP", "FC", "  ", "fp", std::string("F\0", 2), "<&"});
                put(header, 180, 2, composition);
                m_log.push_back(what + " composition \"" + composition + "\"");
                break;
            }
            case 4: {
                const std::size_t size = m_dice.pick(std::vector<std::size_t>{0, 1, 4, 179, 180, 999, 1001, 1500});
                if (size < header.size())
                    header.resize(size);
                else
                    header.append(m_dice.randomText(size - header.size()));
                m_log.push_back(what + " made " + std::to_string(header.size()) + " bytes long");
                break;
            }
            default:
                damageRecords(header, payroll::companyHeaderLayout(), what);
                break;
            }
        }
    }

    void prepareInstallation()
    {
        std::error_code ec;
        fs::remove_all(m_work, ec);
        fs::create_directories(m_root / "c");
        const records::PathMapper paths(m_root);
        m_month = m_dice.chance(0.5) ? 3 : 4;
        const std::string suffix = (m_month == 3 ? "03" : "04") + std::string(".016");
        m_log.push_back("month " + std::to_string(m_month));

        static const std::vector<demo::DemoFile> demoFiles = demo::demoInstallationFiles();
        for (const demo::DemoFile& file : demoFiles) {
            const std::string& name = file.path;
            const bool paghe = name.find("\\paghe\\") != std::string::npos;
            if (name != records::kDriveFile && !name.ends_with("anno1.dat") && !paghe)
                continue;
            std::string bytes = file.bytes;
            const std::string base = name.substr(name.find_last_of('\\') + 1);
            if (paghe && base.ends_with(suffix) && m_dice.chance(0.35)) {
                const std::string kind = base.substr(0, 3);
                if (m_dice.chance(0.06)) {
                    m_log.push_back(base + " removed");
                    continue;
                }
                if (kind == "una")
                    damageHeader(bytes, base);
                else
                    damageRecords(bytes, kind == "unb" ? payroll::employeeLayout() : payroll::collaboratorLayout(),
                                  base);
            } else if (name.ends_with("anno1.dat") && m_dice.chance(0.02)) {
                bytes = m_dice.pick(std::vector<std::string>{"", "2017      ", std::string("20\0\0", 4), "201"});
                m_log.push_back("year file \"" + bytes + "\"");
            }
            writeFile(paths.hostPath(name), bytes);
        }
        for (const std::string& folder : demo::demoInstallationFolders())
            fs::create_directories(paths.hostPath(folder), ec);
        if (m_dice.chance(0.02)) {
            fs::remove_all(m_root / kXmlFolder, ec);
            if (m_dice.chance(0.5))
                writeFile(m_root / kXmlFolder, "not a folder");
            m_log.push_back("the XML folder is missing or a file");
        }
        plantCompanies(suffix);

        m_steps = static_cast<int>(m_dice.below(3)) + 1 + (m_dice.chance(0.2) ? 2 : 0);
        m_log.push_back(std::to_string(m_steps) + " confirmations planned");
    }

    // Companies that the payroll program never prepared: another company's files copied
    // under a free code (its header code kept or made to match), and links and folders
    // where data files are looked for.
    void plantCompanies(const std::string& suffix)
    {
        const std::vector<DemoCompany>& companies = m_month == 3 ? kMarch : kApril;
        const fs::path paghe = m_root / kPaghe;
        const int plants = m_dice.chance(0.3) ? static_cast<int>(m_dice.below(3)) + 1 : 0;
        for (int k = 0; k < plants; ++k) {
            const std::string code = m_dice.pick(std::vector<std::string>{"007", "008", "010", "499"});
            const DemoCompany& from = m_dice.pick(companies);
            std::error_code ec;
            switch (m_dice.below(4)) {
            case 0:
            case 1: {
                std::string header = readFile(paghe / ("una" + std::string(from.code) + suffix));
                if (m_dice.chance(0.6))
                    put(header, 1, 3, code);
                writeFile(paghe / ("una" + code + suffix), header);
                const std::string data = from.kind == '0' ? "unb" : "unc";
                if (m_dice.chance(0.8))
                    fs::copy_file(paghe / (data + from.code + suffix), paghe / (data + code + suffix),
                                  fs::copy_options::overwrite_existing, ec);
                m_log.push_back(std::string("company ") + from.code + " copied as " + code);
                break;
            }
            case 2: {
                const std::string kind = m_dice.pick(std::vector<std::string>{"una", "unb", "unc"});
                const std::string owner = m_dice.chance(0.5) ? code : std::string(from.code);
                const fs::path link = paghe / (kind + owner + suffix);
                fs::remove(link, ec);
                if (m_dice.chance(0.25)) {
                    // A reader that opened it would wait for ever.
                    ::mkfifo(link.c_str(), 0644);
                    m_log.push_back("FIFO " + link.filename().string());
                    break;
                }
                const fs::path target = m_dice.chance(0.5) ? m_work / "outside.dat" : m_work / "gone.dat";
                fs::create_symlink(target, link, ec);
                m_log.push_back("link " + link.filename().string() + " -> " + target.string());
                break;
            }
            default: {
                const std::string kind = m_dice.pick(std::vector<std::string>{"una", "unb", "unc"});
                const std::string owner = m_dice.chance(0.5) ? code : std::string(from.code);
                const fs::path folder = paghe / (kind + owner + suffix);
                fs::remove_all(folder, ec);
                fs::create_directories(folder / "inside", ec);
                m_log.push_back("folder " + folder.filename().string());
                break;
            }
            }
        }
    }

    // Puts something where the XML file of a series may go: an older file, an older
    // complete declaration, a link to a file outside the installation or to nothing, or a
    // folder with a file in it.
    void plantOutputs(const fs::path& outside)
    {
        const std::vector<DemoCompany>& companies = m_month == 3 ? kMarch : kApril;
        const std::string monthYear = (m_month == 3 ? "03" : "04") + std::string("16.xml");
        for (const DemoCompany& company : companies) {
            for (const char* prefix : {"uea", "fp", "fc"}) {
                const fs::path target = m_root / kXmlFolder / (prefix + std::string(company.code) + monthYear);
                std::error_code ec;
                if (!fs::is_directory(target.parent_path(), ec) || !m_dice.chance(0.15))
                    continue;
                switch (m_dice.below(7)) {
                case 6:
                    ::mkfifo(target.c_str(), 0644);
                    break;
                case 0:
                    writeFile(target, "an older file");
                    break;
                case 1:
                    writeFile(target, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<DenunceMensili>\r\n"
                                      "</DenunceMensili>\r\n");
                    break;
                case 2:
                    fs::create_symlink(outside, target, ec);
                    break;
                case 3:
                    fs::create_symlink(m_work / "older.xml", target, ec);
                    break;
                case 4:
                    fs::create_directory_symlink(m_work, target, ec);
                    break;
                default:
                    writeFile(target / "kept.dat", "kept");
                    break;
                }
                m_log.push_back("planted something at " + target.filename().string());
            }
        }
        // What series that were killed left in the folder.
        for (const DemoCompany& company : companies) {
            const fs::path target = m_root / kXmlFolder / ("fp" + std::string(company.code) + monthYear);
            std::error_code ec;
            if (!fs::is_directory(target.parent_path(), ec) || !m_dice.chance(0.15))
                continue;
            for (const fs::path& left : plantLeftovers(target, outside, m_dice, m_log))
                m_mayGo.push_back(left);
        }
    }

    static std::string outcomeName(ConfirmOutcome outcome)
    {
        switch (outcome) {
        case ConfirmOutcome::NoCompany: return "no company chosen";
        case ConfirmOutcome::UnknownKind: return "unknown kind";
        case ConfirmOutcome::CompanyAdded: return "company added";
        case ConfirmOutcome::FileStored: return "file stored";
        case ConfirmOutcome::Stopped: return "stopped";
        case ConfirmOutcome::Refused: return "refused";
        case ConfirmOutcome::EditRequested: return "employee register opened";
        }
        return "?";
    }

    fs::path m_work;
    fs::path m_root;
    Dice m_dice;
    std::vector<std::string> m_log;
    std::vector<fs::path> m_mayGo; // files of killed series, planted: a series may remove them
    std::string m_outcome;
    int m_month = 3;
    int m_steps = 1;
};

} // namespace

int main(int argc, char** argv)
{
    Options options;
    if (!parse(argc, argv, "uniemens_fuzz", options))
        return 2;
    xmlInitParser();
    const int status = runCases("uniemens_fuzz", options, [&](const fs::path& folder, long number) {
        return Case(folder, options.seed, number).run();
    });
    xmlCleanupParser();
    return status;
}
