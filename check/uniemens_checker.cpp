#include "check/uniemens_checker.h"

#include <libxml/SAX2.h>
#include <libxml/parser.h>
#include <libxml/xmlerror.h>

#include <algorithm>
#include <bit>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "check/uniemens_format.h"
#include "check/uniemens_rules.h"
#include "check/values.h"
#include "check/xml_gate.h"
#include "records/cp1252.h"
#include "records/text.h"

namespace check::uniemens {

namespace {

using records::isDigit;
using records::allDigits;

// The table as a tree: each element's children grouped in slots, one slot for an element
// or for a group of alternatives, in the order of the file. Loose elements have no slot:
// they may stand anywhere among their siblings.
struct Slot {
    Presence presence = Presence::Optional;
    std::vector<int> nodes;
};

// The elements that the checks across elements look at.
enum class Role : std::uint8_t {
    None, Company, Position, CollaboratorList, Declaration, Collaborator, Month, CompanyCode, Matricola, Worker,
    CollaboratorCode, Surname, GivenName, HireDay, EndDay, WeekBlock, Week, Coverage, Day, Worked, DailyCoverage,
    PaidDays, Contribution, DeclarationCount, TotalDue, From, To,
};

struct Node {
    const ElementRow* row = nullptr;
    int parent = -1;
    int slot = -1; // in the parent's slots; -1 for a loose element
    int nameId = -1;
    Role role = Role::None;
    std::vector<int> children;
    std::vector<Slot> slots;
    std::vector<const AttributeRule*> attributes;
};

class Model {
public:
    Model()
    {
        const auto rows = elementRows();
        std::vector<int> last(16, -1);
        for (const ElementRow& row : rows) {
            Node node;
            node.row = &row;
            node.parent = row.depth == 0 ? -1 : last[row.depth - 1u];
            const int index = static_cast<int>(nodes.size());
            nodes.push_back(node);
            if (node.parent >= 0)
                nodes[static_cast<std::size_t>(node.parent)].children.push_back(index);
            last[row.depth] = index;
            for (const AttributeRule& rule : attributeRules()) {
                if (std::strcmp(rule.element, row.name) == 0)
                    nodes.back().attributes.push_back(&rule);
            }
            nodes.back().nameId = names.emplace(row.name, static_cast<int>(names.size())).first->second;
            nodes.back().role = roleOf(row.name, node.parent >= 0 ? nodes[static_cast<std::size_t>(node.parent)].row->name : "");
        }
        for (Node& node : nodes) {
            int previousChoice = 0;
            for (const int child : node.children) {
                const ElementRow& row = *nodes[static_cast<std::size_t>(child)].row;
                if (row.loose)
                    continue;
                if (row.choice == 0 || row.choice != previousChoice) {
                    node.slots.emplace_back();
                    node.slots.back().presence = row.presence;
                }
                node.slots.back().nodes.push_back(child);
                nodes[static_cast<std::size_t>(child)].slot = static_cast<int>(node.slots.size()) - 1;
                previousChoice = row.choice;
            }
        }
    }

    // The child of `parent` whose name has the number `nameId`, or -1.
    int child(int parent, int nameId) const
    {
        for (const int c : nodes[static_cast<std::size_t>(parent)].children) {
            if (nodes[static_cast<std::size_t>(c)].nameId == nameId)
                return c;
        }
        return -1;
    }

    // The number of an element name of the table, or -1.
    int nameId(std::string_view name) const
    {
        const auto found = names.find(std::string(name));
        return found == names.end() ? -1 : found->second;
    }

    std::vector<Node> nodes;
    std::unordered_map<std::string, int> names;

private:
    static Role roleOf(std::string_view name, std::string_view parent)
    {
        struct Named {
            const char* name;
            const char* parent; // any parent when empty
            Role role;
        };
        static constexpr Named kNamed[] = {
            {"Azienda", "", Role::Company},
            {"PosContributiva", "", Role::Position},
            {"ListaCollaboratori", "", Role::CollaboratorList},
            {"DenunciaIndividuale", "", Role::Declaration},
            {"Collaboratore", "", Role::Collaborator},
            {"AnnoMeseDenuncia", "", Role::Month},
            {"CFAzienda", "", Role::CompanyCode},
            {"Matricola", "PosContributiva", Role::Matricola},
            {"CFLavoratore", "", Role::Worker},
            {"CFCollaboratore", "", Role::CollaboratorCode},
            {"Cognome", "", Role::Surname},
            {"Nome", "", Role::GivenName},
            {"GiornoAssunzione", "", Role::HireDay},
            {"GiornoCessazione", "", Role::EndDay},
            {"Settimana", "", Role::WeekBlock},
            {"IdSettimana", "", Role::Week},
            {"TipoCopertura", "", Role::Coverage},
            {"Giorno", "", Role::Day},
            {"Lavorato", "", Role::Worked},
            {"TipoCoperturaGiorn", "", Role::DailyCoverage},
            {"GiorniRetribuiti", "", Role::PaidDays},
            {"Contributo", "DatiRetributivi", Role::Contribution},
            {"NumDenIndiv", "", Role::DeclarationCount},
            {"TotaleADebito", "", Role::TotalDue},
            {"Dal", "", Role::From},
            {"Al", "", Role::To},
        };
        for (const Named& named : kNamed) {
            if (name == named.name && (*named.parent == 0 || parent == named.parent))
                return named.role;
        }
        return Role::None;
    }
};

const Model& model()
{
    static const Model instance;
    return instance;
}

int number(std::string_view digits)
{
    int value = 0;
    for (const char c : digits)
        value = value * 10 + (c - '0');
    return value;
}

bool whitespace(std::string_view text)
{
    for (const char c : text) {
        if (c != ' ' && c != '\t' && c != '\r' && c != '\n')
            return false;
    }
    return true;
}

// A value of the file (UTF-8) as the messages quote it (Windows-1252).
std::string shown(std::string_view utf8)
{
    return quoted(records::utf8ToCp1252(utf8.substr(0, 60)));
}

// An element of the table with what it holds: "IdSettimana (numero della settimana nell'anno)".
std::string named(const ElementRow& row)
{
    return std::string(row.name) + " (" + row.label + ")";
}

// yyyy-mm as a number yyyymm, or 0.
int yearMonth(std::string_view text)
{
    if (text.size() != 7 || text[4] != '-' || !allDigits(text.substr(0, 4)) || !allDigits(text.substr(5, 2)))
        return 0;
    const int month = number(text.substr(5, 2));
    if (month < 1 || month > 12)
        return 0;
    return number(text.substr(0, 4)) * 100 + month;
}

std::string monthText(int month)
{
    return std::to_string(month % 100) + "/" + std::to_string(month / 100);
}

// Where libxml2's own messages name the problem, the clerk reads it in Italian.
// `openElement` is the innermost element still open, empty when none is; `documentType`
// whether the file declared a document type, which was left out.
std::string xmlProblem(const xmlError& error, const std::string& openElement, bool documentType)
{
    const std::string original = error.message ? records::utf8ToCp1252(error.message) : std::string();
    std::string detail;
    for (const char c : original)
        detail += c == '\n' || c == '\r' ? ' ' : c;
    while (!detail.empty() && detail.back() == ' ')
        detail.pop_back();
    const std::string name1 = error.str1 ? records::utf8ToCp1252(error.str1) : std::string();
    switch (error.code) {
    case XML_ERR_DOCUMENT_EMPTY: return "Il file e' vuoto";
    case XML_ERR_DOCUMENT_END:
    case XML_ERR_EXTRA_CONTENT:
        // Read piece by piece, a file that ends inside its elements is told apart from one
        // that goes on after them only by what is still open.
        if (!openElement.empty())
            return "Il file finisce prima di chiudere gli elementi aperti (l'ultimo aperto e' " + openElement
                + "): file troncato?";
        return "Testo dopo la fine del documento: dopo </DenunceMensili> non viene altro";
    case XML_ERR_INVALID_CHAR:
    case XML_ERR_INVALID_ENCODING:
        if (detail.find("UTF-8") != std::string::npos)
            return "Byte che non sono testo UTF-8, la codifica che il file dichiara (" + detail
                + "): una lettera accentata scritta in un'altra codifica?";
        return "Carattere non ammesso in un file XML (" + detail + ")";
    case XML_ERR_INVALID_CHARREF: return "Riferimento a un carattere non ammesso in XML (" + detail + ")";
    case XML_ERR_NAME_REQUIRED:
        if (detail.find("EntityRef") != std::string::npos)
            return "Il carattere & non introduce un'entita' nota: nel testo si scrive &amp; (" + detail + ")";
        return "Il carattere < non apre un elemento: nel testo si scrive &lt; (" + detail + ")";
    case XML_ERR_UNDECLARED_ENTITY:
    case XML_WAR_UNDECLARED_ENTITY:
        if (documentType)
            return "Riferimento all'entita' " + name1
                + ", che puo' essere dichiarata solo nel tipo di documento (DOCTYPE): il programma non lo legge e non "
                  "espande le entita', il valore non si conosce e il resto del file non e' controllato";
        return "Il carattere & non introduce un'entita' nota: nel testo si scrive &amp; (" + detail + ")";
    case XML_ERR_ENTITYREF_SEMICOL_MISSING:
        return "Il carattere & non introduce un'entita' nota: nel testo si scrive &amp; (" + detail + ")";
    case XML_ERR_LT_IN_ATTRIBUTE:
        return "Il carattere < non apre un elemento: nel testo si scrive &lt; (" + detail + ")";
    case XML_ERR_TAG_NAME_MISMATCH:
        return "Il tag di chiusura non corrisponde all'elemento aperto (" + detail + ")";
    case XML_ERR_TAG_NOT_FINISHED:
        return "Il file finisce prima di chiudere gli elementi aperti (" + detail + "): file troncato?";
    case XML_ERR_GT_REQUIRED:
    case XML_ERR_LTSLASH_REQUIRED:
        return "Tag non chiuso correttamente (" + detail + ")";
    case XML_ERR_UNSUPPORTED_ENCODING: return "Codifica dichiarata sconosciuta (" + detail + ")";
    case XML_ERR_ATTRIBUTE_REDEFINED: return "Attributo ripetuto (" + detail + ")";
    default: return "Il file non e' un XML ben formato (" + detail + ")";
    }
}

// A fault in the text of an element or attribute, and the rule it breaks.
struct Problem {
    RuleId rule;
    std::string text; // the end of a message that has named and quoted the value
};

} // namespace

struct FileChecker::Impl {
    Impl(FindingSink& sink, const CheckOptions& options)
        : sink(sink)
        , options(options)
    {
        std::memset(&handler, 0, sizeof handler);
        handler.initialized = XML_SAX2_MAGIC;
        handler.startElementNs = &Impl::startElement;
        handler.endElementNs = &Impl::endElement;
        handler.characters = &Impl::characters;
        handler.serror = &Impl::xmlError;
        // libxml2's own messages on its general channel (encoding errors) come to the check,
        // not to the program's error stream; they are libxml2's state for this thread.
        previousChannel = xmlGenericError;
        previousContext = xmlGenericErrorContext;
        xmlSetGenericErrorFunc(this, &Impl::libraryMessage);
    }
    ~Impl()
    {
        if (context) {
            // The reader may have made a document of its own for what the file declared.
            if (context->myDoc)
                xmlFreeDoc(context->myDoc);
            xmlFreeParserCtxt(context);
        }
        xmlSetGenericErrorFunc(previousContext, previousChannel);
    }

    struct Frame {
        int node = -1; // -1: not in the table, nor anything below it
        const char* name = "";
        int slot = -1;
        int count = 0;
        int chosen = -1;
        long long line = 0; // where the element starts
        std::string text;
        bool textReported = false;
        bool childReported = false;
        // Required slots passed over, with the line where that was seen: reported at the end
        // of the element, unless the element turns up later out of its order.
        std::vector<std::pair<int, long long>> passedOver;
        // The loose children seen, with how often.
        std::vector<std::pair<int, int>> loose;
    };

    // What the checks of one worker's month remember: the weeks the declaration covers and
    // the day being read, for the INPS checks of weeks against paid and worked days.
    struct Weeks {
        std::uint64_t declared = 0; // bit n: week n of the year is declared
        std::uint64_t covered = 0;  // paid in whole or in part (X or 2)
        std::uint64_t reported = 0; // a worked day in it was found uncovered
        bool unknownCoverage = false; // a week whose coverage, or place in the month, is not known
        bool daily = false;           // the days carry a coverage of their own
        int lastWeek = 0;
        int week = 0;                 // of the Settimana being read, 0 when outside the month
        std::string coverage;
        int day = 0;                  // of the Giorno being read
        bool worked = false;
        long long dayLine = 0;        // where the Giorno being read starts, 0 outside one
    };

    // Findings inside a worker's or collaborator's element name the person; the ones made
    // before the name is read wait for it, a few at most.
    static constexpr std::size_t kPendingFindings = 32;
    // No declaration nests its elements deeper; past this the file is not read on.
    static constexpr std::size_t kDepth = 100;
    // The positions, lists and workers remembered to find one twice: beyond them the file
    // says so once, and the rest is not sought.
    static constexpr std::size_t kRemembered = 100000;
    // The element names whose numbers are kept at hand.
    static constexpr std::size_t kNamesAtHand = 4096;

    FindingSink& sink;
    PlaceOrder order{sink};
    CheckOptions options;
    XmlGate gate;
    std::string passed; // what the gate let through of the last piece
    xmlGenericErrorFunc previousChannel = nullptr;
    void* previousContext = nullptr;
    std::string libraryMessages;
    xmlSAXHandler handler;
    xmlParserCtxtPtr context = nullptr;
    bool stopped = false;
    std::vector<Frame> stack;
    std::string pending; // the first bytes, until libxml2 can tell the encoding
    const Model& table = model();
    // libxml2 keeps each element name once: its address finds the name's number again.
    std::unordered_map<const void*, int> nameCache;

    // The person whose element is open.
    bool inPerson = false;
    bool personKnown = false;
    std::string personCode;
    std::string personSurname;
    std::string personName;
    std::vector<Finding> waiting;

    // What the checks across elements remember.
    int firstMonth = 0;
    int month = 0; // of the company being read, yyyymm
    std::string companyCode;
    bool companyHasPosition = false;
    bool companyHasList = false;
    std::set<std::string> matricolas; // company/matricola of the positions of the file
    std::set<std::string> lists;      // companies whose collaborators the file lists
    bool positionsNotSought = false;
    bool workersNotSought = false;
    long long declarations = 0; // of the contribution position, not cancelled
    long long contributions = 0; // their Contributo, in cents
    std::unordered_set<std::string> workers;
    bool cancelled = false; // the individual declaration has Elimina="S"
    int lastDay = 0;
    int hireDay = 0;
    int endDay = 0;
    Weeks weeks;
    Day from = 0;
    char amountSeparator = 0; // the first comma or point of an amount in the file
    long long amountSeparatorLine = 0;
    bool separatorsReported = false;

    long long line() const { return context ? xmlSAX2GetLineNumber(context) : 0; }

    std::string path() const
    {
        std::string text;
        for (const Frame& frame : stack) {
            if (!text.empty())
                text += '/';
            text += frame.name;
        }
        return text.empty() ? std::string("-") : text;
    }

    // ------------------------------------------------------------------ findings

    void emit(RuleId id, std::string message, long long at = 0, int position = 0)
    {
        const Rule& found = rule(id);
        Finding finding;
        finding.level = found.level();
        finding.line = at != 0 ? at : line();
        finding.position = position;
        finding.element = records::utf8ToCp1252(path());
        finding.message = found.said(std::move(message));
        finding.rule = &found;
        deliver(std::move(finding));
    }

    void deliver(Finding finding)
    {
        if (inPerson) {
            if (!personKnown && waiting.size() < kPendingFindings) {
                waiting.push_back(std::move(finding));
                return;
            }
            personIsKnown(); // a person with many findings before the name: it is named as far as it is known
            finding.personCode = records::utf8ToCp1252(personCode);
            finding.personName = shownName();
        }
        order.hold(std::move(finding));
        order.passOnBefore(holdFrom());
    }

    // The first line that a finding still to come may be about: an element missing from a
    // container is told when the container closes, at the line where it was missed; a day
    // worked in a week not covered, when the day closes, at its start.
    long long holdFrom() const
    {
        long long from = line();
        for (const Frame& frame : stack) {
            for (const auto& [slot, at] : frame.passedOver)
                from = std::min(from, at);
        }
        if (weeks.dayLine != 0)
            from = std::min(from, weeks.dayLine);
        return from;
    }

    std::string shownName() const
    {
        std::string name(records::trim(personSurname));
        if (const std::string_view given = records::trim(personName); !given.empty())
            name += (name.empty() ? "" : " ") + std::string(given);
        std::string shown = records::utf8ToCp1252(name);
        for (char& c : shown) {
            if (static_cast<unsigned char>(c) < 32)
                c = ' ';
        }
        return shown;
    }

    // The person's code and name are read as far as the file gives them: the findings that
    // waited for them go out, in their order.
    void personIsKnown()
    {
        if (personKnown)
            return;
        personKnown = true;
        const std::string code = records::utf8ToCp1252(personCode);
        const std::string name = shownName();
        for (Finding& finding : waiting) {
            finding.personCode = code;
            finding.personName = name;
            order.hold(std::move(finding));
        }
        waiting.clear();
        order.passOnBefore(holdFrom());
    }

    void personOpened()
    {
        inPerson = true;
        personKnown = false;
        personCode.clear();
        personSurname.clear();
        personName.clear();
    }

    void personClosed()
    {
        personIsKnown();
        inPerson = false;
    }

    const Node& node(int index) const { return table.nodes[static_cast<std::size_t>(index)]; }

    int nameIdOf(const char* name)
    {
        if (nameCache.size() >= kNamesAtHand && !nameCache.contains(name))
            nameCache.clear(); // a file of many names: their numbers are looked up again
        const auto [at, added] = nameCache.try_emplace(name, -1);
        if (added)
            at->second = table.nameId(name);
        return at->second;
    }

    std::string slotNames(const Node& parent, int slot) const
    {
        std::string text;
        const auto& nodes = parent.slots[static_cast<std::size_t>(slot)].nodes;
        for (std::size_t k = 0; k < nodes.size(); ++k) {
            if (k > 0)
                text += k + 1 == nodes.size() ? " o " : ", ";
            text += named(*node(nodes[k]).row);
        }
        return text;
    }

    // The slots of `frame` from `from` to `to` (not included) that it must have and has not.
    void missing(Frame& frame, int from, int to)
    {
        const Node& parent = node(frame.node);
        for (int slot = std::max(from, 0); slot < to; ++slot) {
            const int occurrences = slot == frame.slot ? frame.count : 0;
            if (occurrences == 0 && parent.slots[static_cast<std::size_t>(slot)].presence != Presence::Optional)
                frame.passedOver.emplace_back(slot, line());
        }
    }

    void reportMissing(const Frame& frame)
    {
        const Node& parent = node(frame.node);
        for (const auto& [slot, at] : frame.passedOver) {
            const Slot& missed = parent.slots[static_cast<std::size_t>(slot)];
            emit(missed.presence == Presence::Required ? RuleId::Required : RuleId::Usual,
                 std::string(missed.nodes.size() > 1 ? "Manca uno degli elementi " : "Manca l'elemento ")
                     + slotNames(parent, slot) + " in " + parent.row->name,
                 at);
        }
    }

    // ------------------------------------------------------------------ events

    static void startElement(void* user, const xmlChar* localName, const xmlChar*, const xmlChar*, int, const xmlChar**,
                             int attributeCount, int, const xmlChar** attributes)
    {
        auto* self = static_cast<Impl*>(static_cast<xmlParserCtxtPtr>(user)->_private);
        if (self)
            self->start(reinterpret_cast<const char*>(localName), attributeCount, attributes);
    }

    static void endElement(void* user, const xmlChar*, const xmlChar*, const xmlChar*)
    {
        if (auto* self = static_cast<Impl*>(static_cast<xmlParserCtxtPtr>(user)->_private))
            self->end();
    }

    static void characters(void* user, const xmlChar* text, int length)
    {
        if (auto* self = static_cast<Impl*>(static_cast<xmlParserCtxtPtr>(user)->_private))
            self->addText(std::string_view(reinterpret_cast<const char*>(text), static_cast<std::size_t>(length)));
    }

    static void xmlError(void* user, xmlErrorPtr error)
    {
        auto* self = static_cast<Impl*>(static_cast<xmlParserCtxtPtr>(user)->_private);
        if (!self || self->stopped)
            return;
        const bool warning = error->level == XML_ERR_WARNING;
        self->emit(warning ? RuleId::XmlWarning : RuleId::Xml,
                   xmlProblem(*error, self->stack.empty() ? std::string() : self->stack.back().name,
                              self->gate.documentTypeSeen()),
                   error->line,
                   error->int2);
        if (!warning)
            self->stop(); // the XML is broken: nothing after it is read as it was meant
    }

    // Nothing after this point of the file is read.
    void stop()
    {
        stopped = true;
        if (inPerson)
            personClosed();
    }

    void start(const char* name, int attributeCount, const xmlChar** attributes)
    {
        if (stopped)
            return;
        if (stack.size() >= kDepth) {
            emit(RuleId::Limit, "Elementi annidati per oltre " + std::to_string(kDepth)
                                    + " livelli: nessuna denuncia UniEmens ne ha tanti; il resto del file non e' controllato");
            stop();
            return;
        }
        Frame frame;
        frame.name = name;
        frame.line = line();
        if (stack.empty()) {
            if (std::strcmp(name, table.nodes.front().row->name) == 0)
                frame.node = 0;
            else
                emit(RuleId::Root, std::string("L'elemento principale del file e' ") + name + ": atteso DenunceMensili");
        } else if (Frame& parent = stack.back(); parent.node >= 0) {
            const Node& parentNode = node(parent.node);
            // Past the person's code and name, the person is known as the file names it.
            if (inPerson && !personKnown && (parentNode.role == Role::Declaration || parentNode.role == Role::Collaborator)
                && std::strcmp(name, "Cognome") != 0 && std::strcmp(name, "Nome") != 0
                && std::strcmp(name, "CFLavoratore") != 0 && std::strcmp(name, "CFCollaboratore") != 0)
                personIsKnown();
            if (parentNode.row->form != TextForm::Container) {
                if (!parent.childReported)
                    emit(RuleId::Nesting, "L'elemento " + named(*parentNode.row) + " contiene un valore, non altri elementi ("
                                              + name + ")");
                parent.childReported = true;
            } else if (const int child = table.child(parent.node, nameIdOf(name)); child < 0) {
                emit(RuleId::ElementUnknown, std::string("Elemento ") + name + " non previsto in " + named(*parentNode.row)
                                                 + " nel tracciato noto al programma: non controllato");
            } else {
                frame.node = child;
                place(parent, child);
            }
        }
        stack.push_back(std::move(frame));
        if (stack.back().node >= 0) {
            opened(stack.back().node);
            checkAttributes(attributeCount, attributes);
        }
    }

    // The next child of `parent`: in its slot, in order, not more often than allowed.
    void place(Frame& parent, int child)
    {
        const Node& parentNode = node(parent.node);
        const Node& childNode = node(child);
        const ElementRow& row = *childNode.row;
        const auto tooMany = [&](int count) {
            if (row.max != 0 && count == row.max + 1)
                emit(RuleId::Nesting, "Elemento " + named(row) + " ripetuto troppe volte in " + parentNode.row->name
                                          + ": al massimo " + std::to_string(row.max));
        };
        if (childNode.slot < 0) {
            auto seen = std::find_if(parent.loose.begin(), parent.loose.end(), [&](const auto& p) { return p.first == child; });
            if (seen == parent.loose.end())
                seen = parent.loose.insert(parent.loose.end(), {child, 0});
            tooMany(++seen->second);
            return;
        }
        const int slot = childNode.slot;
        if (slot == parent.slot) {
            if (parent.chosen != child) {
                emit(RuleId::Alternatives, "Gli elementi " + named(*node(parent.chosen).row) + " e " + named(row)
                                               + " si escludono: in " + parentNode.row->name + " va uno solo");
                return;
            }
            tooMany(++parent.count);
            return;
        }
        if (slot < parent.slot) {
            emit(RuleId::Order, "Elemento " + named(row) + " fuori ordine in " + parentNode.row->name + ": va prima di "
                                    + slotNames(parentNode, parent.slot));
            // It is not missing, only out of its place.
            std::erase_if(parent.passedOver, [slot](const auto& passed) { return passed.first == slot; });
            return;
        }
        missing(parent, parent.slot, slot);
        parent.slot = slot;
        parent.count = 1;
        parent.chosen = child;
    }

    void checkAttributes(int count, const xmlChar** attributes)
    {
        const Node& n = node(stack.back().node);
        if (count == 0 && n.attributes.empty())
            return;
        std::uint32_t seen = 0; // by the attribute's place among the element's rules
        for (int k = 0; k < count; ++k) {
            const char* name = reinterpret_cast<const char*>(attributes[k * 5]);
            const std::string_view value(reinterpret_cast<const char*>(attributes[k * 5 + 3]),
                                         static_cast<std::size_t>(attributes[k * 5 + 4] - attributes[k * 5 + 3]));
            std::size_t found = n.attributes.size();
            for (std::size_t a = 0; a < n.attributes.size(); ++a) {
                if (std::strcmp(n.attributes[a]->name, name) == 0)
                    found = a;
            }
            if (found == n.attributes.size()) {
                emit(RuleId::AttributeUnknown, std::string("Attributo ") + name + " dell'elemento " + named(*n.row)
                                                   + " non previsto nel tracciato noto al programma");
                continue;
            }
            seen |= 1u << found;
            const AttributeRule& rule = *n.attributes[found];
            const std::string what = std::string("Attributo ") + name + " " + shown(value);
            if (value.empty()) {
                emit(rule.required ? RuleId::Required : RuleId::EmptyOptional,
                     what + " vuoto" + (rule.required ? ": e' obbligatorio" : ""));
                continue;
            }
            if (const auto problem = formProblem(rule.form, 0, 0, rule.allowed, value)) {
                emit(problem->rule, what + problem->text);
                if (problem->rule == RuleId::ValueForm)
                    continue;
            }
            attribute(n, name, value);
        }
        for (std::size_t a = 0; a < n.attributes.size(); ++a) {
            if ((seen & (1u << a)) == 0 && n.attributes[a]->required)
                emit(RuleId::Required,
                     std::string("Manca l'attributo ") + n.attributes[a]->name + " dell'elemento " + n.row->name);
        }
    }

    void addText(std::string_view text)
    {
        if (stopped || stack.empty())
            return;
        Frame& frame = stack.back();
        if (frame.node >= 0 && node(frame.node).row->form != TextForm::Container) {
            if (frame.text.size() + text.size() > XmlGate::kTokenLimit) {
                emit(RuleId::Limit, "Valore dell'elemento " + named(*node(frame.node).row)
                                        + " di oltre 1 MB: nessuna denuncia UniEmens ne ha di cosi' lunghi; il resto del "
                                          "file non e' controllato",
                     frame.line);
                stop();
                return;
            }
            frame.text.append(text);
            return;
        }
        if (frame.node >= 0 && !frame.textReported && !whitespace(text)) {
            std::string_view words = text;
            while (!words.empty() && whitespace(words.substr(0, 1)))
                words.remove_prefix(1);
            while (!words.empty() && whitespace(words.substr(words.size() - 1)))
                words.remove_suffix(1);
            emit(RuleId::Nesting, "L'elemento " + named(*node(frame.node).row) + " contiene altri elementi, non il testo "
                                      + shown(words));
            frame.textReported = true;
        }
    }

    void end()
    {
        if (stopped || stack.empty())
            return;
        Frame& frame = stack.back();
        if (frame.node >= 0) {
            const Node& n = node(frame.node);
            if (n.row->form == TextForm::Container) {
                if (n.role == Role::Declaration || n.role == Role::Collaborator)
                    personIsKnown();
                missing(frame, frame.slot, static_cast<int>(n.slots.size()));
                reportMissing(frame);
            } else {
                leaf(frame);
            }
            closed(frame);
        }
        stack.pop_back();
        if (!order.empty())
            order.passOnBefore(holdFrom());
    }

    // The text of a leaf element against its form.
    void leaf(const Frame& frame)
    {
        const Node& n = node(frame.node);
        const ElementRow& row = *n.row;
        const std::string_view text = frame.text;
        if (text.empty()) {
            switch (row.presence) {
            case Presence::Required:
                emit(RuleId::Required, "Elemento " + named(row) + " vuoto: e' obbligatorio e richiede un valore");
                break;
            case Presence::Usual:
                emit(RuleId::Usual, "Elemento " + named(row) + " vuoto: richiede un valore");
                break;
            case Presence::Optional:
                emit(RuleId::EmptyOptional,
                     "Elemento " + named(row) + " vuoto: un elemento facoltativo senza valore di norma non si scrive");
                break;
            }
            return;
        }
        // The person is named by the code the file gives, right or wrong.
        if (inPerson && (n.role == Role::Worker || n.role == Role::CollaboratorCode))
            personCode = std::string(text);
        if (const auto problem = formProblem(row.form, row.length, row.minLength, row.allowed, text)) {
            emit(problem->rule, named(row) + " " + shown(text) + problem->text);
            if (problem->rule == RuleId::ValueForm)
                return;
        }
        if (row.form == TextForm::Amount)
            amount(row, text);
        if (row.form == TextForm::Date && options.today != 0) {
            if (const auto day = dayOfIsoDate(text); day && *day > options.today)
                emit(RuleId::FutureDate, std::string(row.name) + " " + dayText(*day) + " successiva alla data di oggi");
        }
        value(n, text);
    }

    // Amounts are written with a comma or a point, one form in a file; a zero amount in an
    // element that may be left out is left out.
    void amount(const ElementRow& row, std::string_view text)
    {
        const auto cents = centsOf(text);
        if (!cents)
            return;
        if (cents->separator != 0) {
            if (amountSeparator == 0) {
                amountSeparator = cents->separator;
                amountSeparatorLine = line();
            } else if (cents->separator != amountSeparator && !separatorsReported) {
                separatorsReported = true;
                const auto form = [](char c) { return std::string(c == ',' ? "la virgola" : "il punto"); };
                emit(RuleId::AmountSeparators,
                     named(row) + " " + shown(text) + " con " + form(cents->separator) + ", mentre l'importo della riga "
                         + std::to_string(amountSeparatorLine) + " ha " + form(amountSeparator)
                         + ": un file scrive gli importi in una forma sola (detto una volta per il file)");
            }
        }
        if (row.presence == Presence::Optional && cents->cents == 0)
            emit(RuleId::ZeroOptional,
                 named(row) + " " + shown(text) + ": importo zero in un elemento facoltativo, che di norma non si scrive");
    }

    // What is wrong with a text of the given form, if anything.
    std::optional<Problem> formProblem(TextForm form, int length, int minLength, const char* allowed,
                                       std::string_view text) const
    {
        const auto wrong = [](std::string message) { return Problem{RuleId::ValueForm, std::move(message)}; };
        switch (form) {
        case TextForm::Container:
        case TextForm::Text:
            return std::nullopt;
        case TextForm::FiscalCode:
            if (std::string fault = fiscalCodeFault(text); !fault.empty())
                return wrong(std::move(fault));
            return std::nullopt;
        case TextForm::SoftwareCode: {
            bool form16 = text.size() == 16;
            for (const char c : text)
                form16 = form16 && (isDigit(c) || (c >= 'A' && c <= 'Z'));
            if ((text.size() == 11 && allDigits(text)) || form16)
                return std::nullopt;
            return wrong(": atteso un codice fiscale di 11 cifre o di 16 caratteri");
        }
        case TextForm::Integer:
            if (allDigits(text))
                return std::nullopt;
            return wrong(": atteso un numero intero, senza segni, decimali o spazi");
        case TextForm::Amount:
            if (centsOf(text))
                return std::nullopt;
            return wrong(": atteso un importo in euro, con al piu' due decimali dopo la virgola o il punto, senza segni "
                         "ne' separatori delle migliaia (es. 1234,50)");
        case TextForm::Digits: {
            const int least = minLength != 0 ? minLength : length;
            const auto size = static_cast<int>(text.size());
            if (allDigits(text) && size >= least && size <= length)
                return std::nullopt;
            return wrong(least == length ? ": attese " + std::to_string(length) + " cifre"
                                         : ": attese da " + std::to_string(least) + " a " + std::to_string(length) + " cifre");
        }
        case TextForm::KnownCode:
            // Codes whose values the program knows from other software: another value may be
            // one INPS takes, and is named.
            if (allowedValue(allowed, text))
                return std::nullopt;
            return Problem{RuleId::KnownValues, ": valore diverso da quelli noti al programma (" + shownList(allowed) + ")"};
        case TextForm::Code: {
            bool letters = true;
            bool lower = false;
            for (const char c : text) {
                letters = letters && (isDigit(c) || (c >= 'A' && c <= 'Z'));
                lower = lower || (c >= 'a' && c <= 'z');
            }
            if (!letters)
                return wrong(lower ? ": i codici si scrivono in maiuscolo" : ": atteso un codice di lettere maiuscole e cifre");
            const auto size = static_cast<int>(text.size());
            if (length != 0 && size > length)
                return Problem{RuleId::CodeLength, (minLength == length ? ": attesi " : ": al massimo ")
                                                       + std::to_string(length) + " caratteri"};
            if (minLength != 0 && size < minLength)
                return Problem{RuleId::CodeLength, (minLength == length ? ": attesi " : ": almeno ")
                                                       + std::to_string(minLength) + " caratteri"};
            return std::nullopt;
        }
        case TextForm::Flag:
            if (allowedValue(allowed, text))
                return std::nullopt;
            return wrong(": valori ammessi " + shownList(allowed));
        case TextForm::YearMonth:
            if (yearMonth(text) != 0)
                return std::nullopt;
            return wrong(": atteso anno e mese aaaa-mm");
        case TextForm::Date:
            if (dayOfIsoDate(text))
                return std::nullopt;
            return wrong(": attesa una data esistente aaaa-mm-gg");
        case TextForm::Day:
            if (text.size() <= 2 && allDigits(text) && number(text) >= 1 && number(text) <= 31)
                return std::nullopt;
            return wrong(": atteso un giorno del mese, da 1 a 31");
        case TextForm::Municipality:
            if (text.size() == 4 && text[0] >= 'A' && text[0] <= 'Z' && allDigits(text.substr(1)))
                return std::nullopt;
            return wrong(": atteso il codice del comune, una lettera e tre cifre (es. H501)");
        case TextForm::Week:
            if (text.size() <= 2 && allDigits(text) && number(text) >= 1 && number(text) <= 53)
                return std::nullopt;
            return wrong(": atteso il numero di una settimana dell'anno, da 1 a 53");
        }
        return std::nullopt;
    }

    // ------------------------------------------------------------------ across elements

    void opened(int index)
    {
        switch (node(index).role) {
        case Role::Company:
            month = 0;
            companyCode.clear();
            companyHasPosition = false;
            companyHasList = false;
            break;
        case Role::Position:
            companyHasPosition = true;
            declarations = 0;
            contributions = 0;
            workers.clear();
            workersNotSought = false;
            break;
        case Role::CollaboratorList:
            companyHasList = true;
            if (!companyCode.empty() && remembered(lists) && !lists.insert(companyCode).second)
                emit(RuleId::ListTwice, "La lista dei collaboratori dell'azienda " + shown(companyCode)
                                            + " compare due volte nel file");
            break;
        case Role::Declaration:
            cancelled = false;
            lastDay = 0;
            hireDay = 0;
            endDay = 0;
            weeks = Weeks{};
            personOpened();
            break;
        case Role::Collaborator:
            from = 0;
            personOpened();
            break;
        case Role::WeekBlock:
            weeks.week = 0;
            weeks.coverage.clear();
            break;
        case Role::Day:
            weeks.day = 0;
            weeks.worked = false;
            weeks.dayLine = line();
            break;
        case Role::DailyCoverage: weeks.daily = true; break;
        default: break;
        }
    }

    void attribute(const Node& n, const char* name, std::string_view value)
    {
        if (std::strcmp(name, "Elimina") == 0 && value == "S") {
            cancelled = true;
        } else if (std::strcmp(name, "GG") == 0 && n.role == Role::Day && allDigits(value)) {
            const int day = number(value.substr(0, 2));
            if (month != 0 && day > records::daysInMonth(month / 100, month % 100)) {
                emit(RuleId::DayInMonth,
                     "Giorno " + std::string(value) + " inesistente nel mese della denuncia " + monthText(month));
                return;
            }
            if (day <= lastDay)
                emit(RuleId::DayOrder, "Giorno " + std::string(value) + " dopo il giorno " + std::to_string(lastDay)
                                           + ": i giorni vanno in ordine crescente, ognuno una volta");
            lastDay = std::max(lastDay, day);
            weeks.day = day;
        }
    }

    void value(const Node& n, std::string_view text)
    {
        const char* name = n.row->name;
        switch (n.role) {
        case Role::Month:
            month = yearMonth(text);
            if (firstMonth == 0) {
                firstMonth = month;
            } else if (month != firstMonth) {
                emit(RuleId::MonthDiffers, "Mese della denuncia " + std::string(text)
                                               + " diverso da quello della prima azienda del file ("
                                               + std::to_string(firstMonth / 100) + "-" + (firstMonth % 100 < 10 ? "0" : "")
                                               + std::to_string(firstMonth % 100) + ")");
            }
            if (options.today != 0 && month > options.today / 100)
                emit(RuleId::FutureDate, "Mese della denuncia " + std::string(text) + " successivo al mese in corso");
            break;
        case Role::CompanyCode: companyCode = std::string(text); break;
        case Role::Matricola:
            // A company has one contribution position per INPS matricola.
            if (remembered(matricolas) && !matricolas.insert(companyCode + "/" + std::string(text)).second)
                emit(RuleId::MatricolaTwice, "La matricola " + shown(text) + " dell'azienda " + shown(companyCode)
                                                 + " compare due volte nel file: una posizione contributiva per matricola");
            break;
        case Role::Worker:
            if (workers.size() >= kRemembered && !workersNotSought) {
                workersNotSought = true;
                emit(RuleId::NotSought, "Oltre " + std::to_string(kRemembered)
                                            + " denunce individuali nella posizione contributiva: un lavoratore "
                                              "ripetuto dopo di esse non e' cercato");
            }
            if (workers.size() < kRemembered && !workers.insert(std::string(text)).second)
                emit(RuleId::WorkerTwice, "Lavoratore " + shown(text)
                                              + " gia' presente in questa posizione contributiva: due denunce individuali "
                                                "per lo stesso codice fiscale");
            break;
        case Role::Surname:
            if (inPerson)
                personSurname = std::string(text);
            break;
        case Role::GivenName:
            if (inPerson) {
                personName = std::string(text);
                if (!personSurname.empty())
                    personIsKnown();
            }
            break;
        case Role::HireDay:
        case Role::EndDay: {
            const int day = number(text);
            if (month != 0 && day > records::daysInMonth(month / 100, month % 100)) {
                emit(RuleId::DayInMonth,
                     std::string(name) + " " + std::string(text) + " inesistente nel mese della denuncia " + monthText(month));
                break;
            }
            (n.role == Role::HireDay ? hireDay : endDay) = day;
            if (hireDay != 0 && endDay != 0 && endDay < hireDay)
                emit(RuleId::EndBeforeHire, "Cessazione il giorno " + std::to_string(endDay)
                                                + ", prima dell'assunzione del giorno " + std::to_string(hireDay));
            break;
        }
        case Role::Week: week(text); break;
        case Role::Coverage: weeks.coverage = std::string(text); break;
        case Role::Worked: weeks.worked = text == "S"; break;
        case Role::PaidDays: paidDays(text); break;
        case Role::Contribution:
            if (const auto cents = centsOf(text); cents && !cancelled)
                contributions += cents->cents;
            break;
        case Role::DeclarationCount:
            if (text.size() > 9 || number(text) != declarations)
                emit(RuleId::DeclarationCount, "NumDenIndiv " + std::string(text)
                                                   + " non corrisponde alle denunce individuali della posizione "
                                                     "contributiva: "
                                                   + std::to_string(declarations) + " (senza quelle con Elimina=\"S\")");
            break;
        case Role::TotalDue:
            // The total due is the sum of the contributions, rounded to the euro by some writers.
            if (const auto total = centsOf(text); total && std::llabs(total->cents - contributions) >= 100)
                emit(RuleId::TotalDue, "TotaleADebito " + shown(text)
                                           + " diverso dalla somma dei Contributo delle denunce individuali della "
                                             "posizione contributiva: "
                                           + centsText(contributions));
            break;
        case Role::From: from = dayOfIsoDate(text).value_or(0); break;
        case Role::To: {
            const Day to = dayOfIsoDate(text).value_or(0);
            if (from != 0 && to != 0 && to < from)
                emit(RuleId::PeriodBackwards,
                     "Periodo che finisce (" + dayText(to) + ") prima di cominciare (" + dayText(from) + ")");
            break;
        }
        default: break;
        }
    }

    // Whether `set` (positions or lists of the file) has room for one more; the first time it
    // has not, the file is told that repetitions are no longer sought.
    bool remembered(const std::set<std::string>& set)
    {
        if (set.size() < kRemembered)
            return true;
        if (!positionsNotSought) {
            positionsNotSought = true;
            emit(RuleId::NotSought, "Oltre " + std::to_string(kRemembered)
                                        + " posizioni contributive o liste dei collaboratori nel file: una matricola o "
                                          "una lista ripetuta dopo di esse non e' cercata");
        }
        return false;
    }

    // IdSettimana numbers a week of the year: the declared month has five or six of them.
    void week(std::string_view text)
    {
        const int n = number(text);
        if (month != 0) {
            const MonthWeeks range = weeksOfMonth(month / 100, month % 100);
            if (n < range.first || n > range.last) {
                emit(RuleId::WeekInMonth, "Settimana " + std::string(text) + " fuori dal mese della denuncia: "
                                              + monthText(month) + " ha le settimane dell'anno da "
                                              + std::to_string(range.first) + " a " + std::to_string(range.last));
                // Which week was meant is not known: the weeks are not held against the days.
                weeks.unknownCoverage = true;
                return;
            }
        }
        if (weeks.declared & (std::uint64_t{1} << n)) {
            emit(RuleId::WeekOrder, "Settimana " + std::string(text) + " ripetuta: ogni settimana si dichiara una volta");
            weeks.unknownCoverage = true; // which of the two holds is not known
        } else if (n < weeks.lastWeek) {
            emit(RuleId::WeekOrder, "Settimana " + std::string(text) + " dopo la settimana " + std::to_string(weeks.lastWeek)
                                        + ": le settimane vanno in ordine crescente");
        }
        weeks.lastWeek = std::max(weeks.lastWeek, n);
        weeks.week = n;
    }

    // The INPS checks of the paid days against the covered weeks. A week is covered when it
    // is paid in whole (X) or in part (2); the days of sport and entertainment workers carry
    // a coverage of their own instead of weeks.
    void paidDays(std::string_view text)
    {
        if (weeks.unknownCoverage || (weeks.daily && weeks.declared == 0) || text.size() > 9)
            return;
        const long long paid = number(text);
        const long long covered = std::popcount(weeks.covered);
        if (paid > 0 && covered == 0)
            emit(RuleId::PaidDaysWithoutWeeks,
                 "GiorniRetribuiti " + std::string(text)
                     + " senza alcuna settimana coperta (Settimana con TipoCopertura X o 2): errore INPS 02580E");
        else if (covered > paid)
            emit(RuleId::WeeksAbovePaidDays,
                 std::to_string(covered) + " settimane coperte e " + std::string(text)
                     + " giorni retribuiti: ogni settimana coperta ha almeno un giorno retribuito (errore INPS 02560E)");
        else if (covered * 6 < paid)
            emit(RuleId::PaidDaysAboveWeeks,
                 std::string(text) + " giorni retribuiti in " + std::to_string(covered)
                     + " settimane coperte: al piu' 6 giorni retribuiti per settimana (errore INPS 02570E)");
    }

    void closed(const Frame& frame)
    {
        switch (node(frame.node).role) {
        case Role::Declaration:
            if (!cancelled)
                ++declarations;
            personClosed();
            break;
        case Role::Collaborator: personClosed(); break;
        case Role::Company:
            if (!companyHasPosition && !companyHasList)
                emit(RuleId::CompanyEmpty,
                     "Manca uno degli elementi PosContributiva (posizione contributiva) o ListaCollaboratori (lista dei "
                     "collaboratori) in Azienda");
            break;
        case Role::WeekBlock:
            if (weeks.week > 0) {
                const std::uint64_t bit = std::uint64_t{1} << weeks.week;
                weeks.declared |= bit;
                if (weeks.coverage == "X" || weeks.coverage == "2")
                    weeks.covered |= bit;
                else if (weeks.coverage != "1")
                    weeks.unknownCoverage = true;
            }
            break;
        case Role::Day:
            if (weeks.worked && weeks.day > 0 && month != 0 && !weeks.daily && !weeks.unknownCoverage) {
                const int week = weekOfYear(month / 100, month % 100, weeks.day);
                const std::uint64_t bit = std::uint64_t{1} << week;
                if ((weeks.covered & bit) == 0 && (weeks.reported & bit) == 0) {
                    weeks.reported |= bit;
                    emit(RuleId::WorkedDayUncovered,
                         "Giorno " + std::to_string(weeks.day) + " lavorato nella settimana " + std::to_string(week)
                             + ", che la denuncia non dichiara coperta: errore INPS 07780E",
                         weeks.dayLine);
                }
            }
            weeks.dayLine = 0;
            break;
        default: break;
        }
    }

    // ------------------------------------------------------------------ feeding

    // The bytes pass the gate first: the reader sees no document type and no token longer
    // than a declaration has.
    void feed(std::string_view bytes)
    {
        while (!bytes.empty() && !stopped) {
            passed.clear();
            bytes.remove_prefix(gate.pass(bytes, passed));
            read(passed);
            gateEvent();
        }
    }

    void gateEvent()
    {
        const XmlGate::Event event = gate.takeEvent();
        if (stopped || event.kind == XmlGate::Event::Kind::None)
            return;
        if (event.kind == XmlGate::Event::Kind::DocumentType) {
            std::string message = "Dichiarazione del tipo di documento (DOCTYPE), non prevista nel tracciato noto al "
                                  "programma: non e' letta, e il resto del file e' controllato senza";
            if (event.entities > 0) {
                message += "; dichiara " + std::to_string(event.entities) + " entita' (";
                for (std::size_t k = 0; k < event.names.size(); ++k)
                    message += (k > 0 ? ", " : "") + records::utf8ToCp1252(event.names[k]);
                message += event.entities > static_cast<long long>(event.names.size()) ? ", ...)" : ")";
                message += ", che il programma non espande";
            }
            if (event.external)
                message += "; il file di dichiarazioni che nomina non e' letto";
            emit(RuleId::DocumentType, std::move(message), event.line);
            return;
        }
        static constexpr const char* kTokens[] = {
            "Testo", "Tag di apertura", "Tag di chiusura", "Commento", "Istruzione di elaborazione (<?...?>)",
            "Sezione CDATA", "Dichiarazione (<!...>)", "Dichiarazione del tipo di documento (DOCTYPE)",
        };
        const std::string size = event.limit >= XmlGate::kTokenLimit ? std::to_string(event.limit >> 20) + " MB"
                                                                      : std::to_string(event.limit >> 10) + " KB";
        emit(RuleId::Limit, std::string(kTokens[static_cast<std::size_t>(event.token)]) + " di oltre " + size
                                + " dalla riga " + std::to_string(event.line)
                                + ": nessuna denuncia UniEmens ne ha di cosi' lunghi; il resto del file non e' "
                                  "controllato",
             event.line);
        stop();
    }

    // What the gate let through, to the XML reader.
    void read(std::string_view bytes)
    {
        if (stopped || bytes.empty())
            return;
        if (!context) {
            // libxml2 tells the encoding from the first four bytes.
            pending.append(bytes);
            if (pending.size() < 4)
                return;
            context = xmlCreatePushParserCtxt(&handler, nullptr, pending.data(), 4, nullptr);
            if (!context) {
                stopped = true;
                emit(RuleId::Xml, "Il lettore XML non si e' potuto avviare");
                return;
            }
            context->_private = this;
            // Within libxml2's own limits, which the gate keeps the file far from.
            xmlCtxtUseOptions(context, XML_PARSE_NONET);
            const std::string rest = pending.substr(4);
            pending.clear();
            parse(rest, false);
            return;
        }
        parse(bytes, false);
    }

    void parse(std::string_view bytes, bool last)
    {
        // Chunks of at most 1 MB, as the parser takes an int.
        do {
            const std::size_t size = std::min<std::size_t>(bytes.size(), 1u << 20);
            readerStopped(xmlParseChunk(context, bytes.data(), static_cast<int>(size), last && size == bytes.size()));
            bytes.remove_prefix(size);
        } while (!bytes.empty() && !stopped);
    }

    // libxml2 stops without telling the check through its handler when the bytes cannot be
    // converted from the encoding the file declares: what it left unread is named.
    void readerStopped(int code)
    {
        // A code left by a warning, with the reader still going, is not a stop.
        if (code == 0 || stopped || !context || context->instate != XML_PARSER_EOF)
            return;
        std::string detail = libraryMessages.substr(0, libraryMessages.find('\n'));
        if (const auto colon = detail.find(" : "); colon != std::string::npos)
            detail.erase(0, colon + 3);
        const char* encoding = context && context->encoding ? reinterpret_cast<const char*>(context->encoding) : nullptr;
        if (code == XML_ERR_INVALID_ENCODING || code == XML_ERR_UNSUPPORTED_ENCODING || code == XML_IO_ENCODER) {
            // "input conversion failed due to input error, bytes 0x90 0x0A 0x3C 0x2F"
            const auto bytes = detail.find("bytes ");
            std::string what = encoding ? records::utf8ToCp1252(encoding) : std::string();
            if (bytes != std::string::npos)
                what += (what.empty() ? "" : ", ") + records::utf8ToCp1252(detail.substr(bytes));
            emit(RuleId::Xml,
                 "Byte che non sono testo nella codifica che il file dichiara"
                     + (what.empty() ? std::string() : " (" + what + ")")
                     + ": una lettera scritta in un'altra codifica? Il resto del file non e' controllato");
        } else {
            emit(RuleId::Xml, "Il file non e' un XML ben formato (errore " + std::to_string(code)
                                  + (detail.empty() ? std::string() : ": " + records::utf8ToCp1252(detail))
                                  + "); il resto del file non e' controllato");
        }
        stop();
    }

    // What libxml2 writes to its general error channel instead of the check's handler.
    static void libraryMessage(void* user, const char* format, ...)
    {
        auto* self = static_cast<Impl*>(user);
        if (!self || self->libraryMessages.size() > 4096)
            return;
        char text[512];
        va_list arguments;
        va_start(arguments, format);
        std::vsnprintf(text, sizeof text, format, arguments);
        va_end(arguments);
        self->libraryMessages += text;
    }

    void finish()
    {
        passed.clear();
        gate.finish(passed);
        read(passed);
        if (!context && !stopped) {
            // A file of fewer than four bytes.
            context = xmlCreatePushParserCtxt(&handler, nullptr, pending.data(), static_cast<int>(pending.size()), nullptr);
            if (context)
                context->_private = this;
            pending.clear();
        }
        if (context && !stopped)
            readerStopped(xmlParseChunk(context, nullptr, 0, 1));
        if (!stopped && context && stack.empty() && !context->wellFormed)
            stopped = true;
        personIsKnown();
        order.passOnAll();
    }
};

FileChecker::FileChecker(FindingSink& sink, const CheckOptions& options)
    : m(std::make_unique<Impl>(sink, options))
{
}

FileChecker::~FileChecker() = default;

void FileChecker::feed(std::string_view bytes)
{
    m->feed(bytes);
}

void FileChecker::finish()
{
    m->finish();
}

bool FileChecker::stopped() const
{
    return m->stopped;
}

} // namespace check::uniemens
