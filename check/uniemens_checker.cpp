#include "check/uniemens_checker.h"

#include <libxml/SAX2.h>
#include <libxml/parser.h>
#include <libxml/xmlerror.h>

#include <cstring>
#include <set>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "check/uniemens_format.h"
#include "check/values.h"
#include "records/cp1252.h"
#include "records/text.h"

namespace check::uniemens {

namespace {

using records::isDigit;
using records::allDigits;

constexpr Level kBlocking = Level::Blocking;
constexpr Level kWarning = Level::Warning;

// The table as a tree: each element's children grouped in slots, one slot for an element
// or for a group of alternatives, in the order of the file.
struct Slot {
    int min = 0;
    std::vector<int> nodes;
};

// The elements that the checks across elements look at.
enum class Role : std::uint8_t {
    None, Company, Position, Declaration, Collaborator, Month, CompanyCode, Matricola, Worker, HireDay, EndDay, Week,
    DeclarationCount, From, To,
};

struct Node {
    const ElementRow* row = nullptr;
    int parent = -1;
    int slot = -1; // in the parent's slots
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
                if (row.choice == 0 || row.choice != previousChoice) {
                    node.slots.emplace_back();
                    node.slots.back().min = row.min;
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
            {"DenunciaIndividuale", "", Role::Declaration},
            {"Collaboratore", "", Role::Collaborator},
            {"AnnoMeseDenuncia", "", Role::Month},
            {"CFAzienda", "", Role::CompanyCode},
            {"Matricola", "PosContributiva", Role::Matricola},
            {"CFLavoratore", "", Role::Worker},
            {"GiornoAssunzione", "", Role::HireDay},
            {"GiornoCessazione", "", Role::EndDay},
            {"IdSettimana", "", Role::Week},
            {"NumDenIndiv", "", Role::DeclarationCount},
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

// Where libxml2's own messages name the problem, the clerk reads it in Italian.
// `openElement` is the innermost element still open, empty when none is.
std::string xmlProblem(const xmlError& error, const std::string& openElement)
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
    case XML_ERR_ENTITYREF_SEMICOL_MISSING:
    case XML_ERR_UNDECLARED_ENTITY:
    case XML_WAR_UNDECLARED_ENTITY:
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
    }
    ~Impl()
    {
        if (context)
            xmlFreeParserCtxt(context);
    }

    struct Frame {
        int node = -1; // -1: not in the table, nor anything below it
        const char* name = "";
        int slot = -1;
        int count = 0;
        int chosen = -1;
        std::string text;
        bool textReported = false;
        bool childReported = false;
        // Required slots passed over, with the line where that was seen: reported at the end
        // of the element, unless the element turns up later out of its order.
        std::vector<std::pair<int, long long>> passedOver;
    };

    FindingSink& sink;
    CheckOptions options;
    xmlSAXHandler handler;
    xmlParserCtxtPtr context = nullptr;
    bool stopped = false;
    std::vector<Frame> stack;
    std::string pending; // the first bytes, until libxml2 can tell the encoding
    const Model& table = model();
    // libxml2 keeps each element name once: its address finds the name's number again.
    std::unordered_map<const void*, int> nameCache;

    // What the checks across elements remember.
    int firstMonth = 0;
    int month = 0; // of the company being read, yyyymm
    std::string companyCode;
    std::string matricola;
    std::set<std::string> companies;
    long long declarations = 0; // of the contribution position, not cancelled
    std::unordered_set<std::string> workers;
    bool cancelled = false; // the individual declaration has Elimina="S"
    int lastDay = 0;
    int hireDay = 0;
    int lastWeek = 0;
    Day from = 0;

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

    void emit(Level level, std::string message, long long at = 0)
    {
        Finding finding;
        finding.level = level;
        finding.line = at != 0 ? at : line();
        finding.element = records::utf8ToCp1252(path());
        finding.message = std::move(message);
        sink.found(std::move(finding));
    }

    const Node& node(int index) const { return table.nodes[static_cast<std::size_t>(index)]; }

    int nameIdOf(const char* name)
    {
        const auto [at, added] = nameCache.try_emplace(name, -1);
        if (added)
            at->second = table.nameId(name);
        return at->second;
    }

    static std::string nameOf(const Node& n) { return n.row->name; }

    std::string slotNames(const Node& parent, int slot) const
    {
        std::string text;
        const auto& nodes = parent.slots[static_cast<std::size_t>(slot)].nodes;
        for (std::size_t k = 0; k < nodes.size(); ++k) {
            if (k > 0)
                text += k + 1 == nodes.size() ? " o " : ", ";
            text += node(nodes[k]).row->name;
        }
        return text;
    }

    // The required slots of `frame` from `from` to `to` (not included) that it has not filled.
    void missing(Frame& frame, int from, int to)
    {
        const Node& parent = node(frame.node);
        for (int slot = std::max(from, 0); slot < to; ++slot) {
            const int occurrences = slot == frame.slot ? frame.count : 0;
            if (occurrences < parent.slots[static_cast<std::size_t>(slot)].min)
                frame.passedOver.emplace_back(slot, line());
        }
    }

    void reportMissing(const Frame& frame)
    {
        const Node& parent = node(frame.node);
        for (const auto& [slot, at] : frame.passedOver) {
            const bool alternatives = parent.slots[static_cast<std::size_t>(slot)].nodes.size() > 1;
            emit(kBlocking,
                 std::string(alternatives ? "Manca uno degli elementi " : "Manca l'elemento ") + slotNames(parent, slot)
                     + " in " + parent.row->name,
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
        const Level level = error->level == XML_ERR_WARNING ? kWarning : kBlocking;
        Finding finding;
        finding.level = level;
        finding.line = error->line;
        finding.position = error->int2;
        finding.element = records::utf8ToCp1252(self->path());
        finding.message = xmlProblem(*error, self->stack.empty() ? std::string() : self->stack.back().name);
        self->sink.found(std::move(finding));
        if (level == kBlocking)
            self->stopped = true; // the XML is broken: nothing after it is read as it was meant
    }

    void start(const char* name, int attributeCount, const xmlChar** attributes)
    {
        if (stopped)
            return;
        Frame frame;
        frame.name = name;
        if (stack.empty()) {
            if (std::strcmp(name, table.nodes.front().row->name) == 0)
                frame.node = 0;
            else
                emit(kBlocking, std::string("L'elemento principale del file e' ") + name + ": atteso DenunceMensili");
        } else if (Frame& parent = stack.back(); parent.node >= 0) {
            const Node& parentNode = node(parent.node);
            if (parentNode.row->form != TextForm::Container) {
                if (!parent.childReported)
                    emit(kBlocking, std::string("L'elemento ") + parentNode.row->name + " contiene un valore, non altri elementi ("
                                        + name + ")");
                parent.childReported = true;
            } else if (const int child = table.child(parent.node, nameIdOf(name)); child < 0) {
                emit(kBlocking, std::string("Elemento ") + name + " non previsto in " + parentNode.row->name);
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
        const int slot = childNode.slot;
        const char* name = childNode.row->name;
        if (slot == parent.slot) {
            if (parent.chosen != child) {
                emit(kBlocking, std::string("Gli elementi ") + node(parent.chosen).row->name + " e " + name
                                    + " si escludono: in " + parentNode.row->name + " va uno solo");
                return;
            }
            ++parent.count;
            if (childNode.row->max != 0 && parent.count == childNode.row->max + 1)
                emit(kBlocking, std::string("Elemento ") + name + " ripetuto troppe volte in " + parentNode.row->name
                                    + ": al massimo " + std::to_string(childNode.row->max));
            return;
        }
        if (slot < parent.slot) {
            emit(kBlocking, std::string("Elemento ") + name + " fuori ordine in " + parentNode.row->name
                                + ": va prima di " + slotNames(parentNode, parent.slot));
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
                emit(kBlocking, std::string("Attributo ") + name + " non previsto per l'elemento " + n.row->name);
                continue;
            }
            seen |= 1u << found;
            const AttributeRule& rule = *n.attributes[found];
            const std::string what = std::string("Attributo ") + name + " " + shown(value);
            if (value.empty()) {
                emit(rule.required ? kBlocking : kWarning,
                     what + " vuoto" + (rule.required ? ": e' obbligatorio" : ""));
                continue;
            }
            if (std::string problem = formProblem(rule.form, 0, false, rule.allowed, value); !problem.empty())
                emit(kBlocking, what + problem);
            attribute(n, name, value);
        }
        for (std::size_t a = 0; a < n.attributes.size(); ++a) {
            if ((seen & (1u << a)) == 0 && n.attributes[a]->required)
                emit(kBlocking, std::string("Manca l'attributo ") + n.attributes[a]->name + " dell'elemento " + n.row->name);
        }
    }

    void addText(std::string_view text)
    {
        if (stopped || stack.empty())
            return;
        Frame& frame = stack.back();
        if (frame.node >= 0 && node(frame.node).row->form != TextForm::Container) {
            frame.text.append(text);
            return;
        }
        if (frame.node >= 0 && !frame.textReported && !whitespace(text)) {
            std::string_view words = text;
            while (!words.empty() && whitespace(words.substr(0, 1)))
                words.remove_prefix(1);
            while (!words.empty() && whitespace(words.substr(words.size() - 1)))
                words.remove_suffix(1);
            emit(kBlocking, std::string("L'elemento ") + frame.name + " contiene altri elementi, non il testo "
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
                missing(frame, frame.slot, static_cast<int>(n.slots.size()));
                reportMissing(frame);
            } else {
                leaf(frame);
            }
            closed(frame.node);
        }
        stack.pop_back();
    }

    // The text of a leaf element against its form.
    void leaf(const Frame& frame)
    {
        const Node& n = node(frame.node);
        const ElementRow& row = *n.row;
        const std::string_view text = frame.text;
        const bool required = n.parent >= 0 && node(n.parent).slots[static_cast<std::size_t>(n.slot)].min > 0;
        if (text.empty()) {
            emit(required ? kBlocking : kWarning,
                 std::string("Elemento ") + row.name + " vuoto"
                     + (required ? ": e' obbligatorio e richiede un valore"
                                 : ": un elemento facoltativo senza valore di norma non si scrive"));
            return;
        }
        if (std::string problem = formProblem(row.form, row.length, row.exact, row.allowed, text); !problem.empty()) {
            emit(kBlocking, std::string(row.name) + " " + shown(text) + problem);
            return;
        }
        if (row.form == TextForm::Amount && !required && text.find_first_not_of("0.") == std::string_view::npos)
            emit(kWarning, std::string(row.name) + " " + shown(text)
                               + ": importo zero in un elemento facoltativo, che di norma non si scrive");
        if (row.form == TextForm::Date && options.today != 0) {
            if (const auto day = dayOfIsoDate(text); day && *day > options.today)
                emit(kWarning, std::string(row.name) + " " + dayText(*day) + " successiva alla data di oggi");
        }
        value(n, text);
    }

    // What is wrong with a text of the given form; empty when it is right.
    std::string formProblem(TextForm form, int length, bool exact, const char* allowed, std::string_view text) const
    {
        switch (form) {
        case TextForm::Container:
        case TextForm::Text:
            return {};
        case TextForm::FiscalCode:
            return fiscalCodeFault(text);
        case TextForm::SoftwareCode: {
            bool form16 = text.size() == 16;
            for (const char c : text)
                form16 = form16 && (isDigit(c) || (c >= 'A' && c <= 'Z'));
            if ((text.size() == 11 && allDigits(text)) || form16)
                return {};
            return ": atteso un codice fiscale di 11 cifre o di 16 caratteri";
        }
        case TextForm::Integer:
            return allDigits(text) ? std::string() : ": atteso un numero intero, senza segni, decimali o spazi";
        case TextForm::Amount: {
            const auto point = text.find('.');
            const std::string_view whole = text.substr(0, point);
            const bool form = allDigits(whole)
                && (point == std::string_view::npos
                    || (text.size() - point - 1 >= 1 && text.size() - point - 1 <= 2 && allDigits(text.substr(point + 1))));
            if (form)
                return {};
            if (text.find(',') != std::string_view::npos)
                return ": negli importi i decimali si separano con il punto, non con la virgola (es. 1234.50)";
            return ": atteso un importo in euro, con il punto e al piu' due decimali, senza segni (es. 1234.50)";
        }
        case TextForm::Digits:
            if (static_cast<int>(text.size()) == length && allDigits(text))
                return {};
            return ": attese " + std::to_string(length) + " cifre";
        case TextForm::Code: {
            bool letters = true;
            bool lower = false;
            for (const char c : text) {
                letters = letters && (isDigit(c) || (c >= 'A' && c <= 'Z'));
                lower = lower || (c >= 'a' && c <= 'z');
            }
            if (!letters)
                return lower ? ": i codici si scrivono in maiuscolo" : ": atteso un codice di lettere maiuscole e cifre";
            if (length != 0 && (exact ? static_cast<int>(text.size()) != length : static_cast<int>(text.size()) > length))
                return std::string(exact ? ": attesi esattamente " : ": al massimo ") + std::to_string(length)
                    + " caratteri";
            return {};
        }
        case TextForm::Choice:
            return allowedValue(allowed, text) ? std::string() : ": valori ammessi " + shownList(allowed);
        case TextForm::YearMonth:
            return yearMonth(text) != 0 ? std::string() : ": atteso anno e mese aaaa-mm";
        case TextForm::Date:
            return dayOfIsoDate(text) ? std::string() : ": attesa una data esistente aaaa-mm-gg";
        case TextForm::Day:
            if (text.size() <= 2 && allDigits(text) && number(text) >= 1 && number(text) <= 31)
                return {};
            return ": atteso un giorno del mese, da 1 a 31";
        case TextForm::Municipality:
            if (text.size() == 4 && text[0] >= 'A' && text[0] <= 'Z' && allDigits(text.substr(1)))
                return {};
            return ": atteso il codice del comune, una lettera e tre cifre (es. H501)";
        }
        return {};
    }

    // ------------------------------------------------------------------ across elements

    void opened(int index)
    {
        switch (node(index).role) {
        case Role::Company:
            month = 0;
            companyCode.clear();
            matricola.clear();
            break;
        case Role::Position:
            declarations = 0;
            workers.clear();
            break;
        case Role::Declaration:
            cancelled = false;
            lastDay = 0;
            hireDay = 0;
            lastWeek = 0;
            break;
        case Role::Collaborator: from = 0; break;
        default: break;
        }
    }

    void attribute(const Node& n, const char* name, std::string_view value)
    {
        if (std::strcmp(name, "Elimina") == 0 && value == "S") {
            cancelled = true;
        } else if (std::strcmp(name, "GG") == 0 && std::strcmp(n.row->name, "Giorno") == 0 && allDigits(value)) {
            const int day = number(value.substr(0, 2));
            if (month != 0 && day > records::daysInMonth(month / 100, month % 100))
                emit(kBlocking, "Giorno " + std::string(value) + " inesistente nel mese della denuncia "
                                    + std::to_string(month % 100) + "/" + std::to_string(month / 100));
            else if (day <= lastDay)
                emit(kBlocking, "Giorno " + std::string(value) + " dopo il giorno " + std::to_string(lastDay)
                                    + ": i giorni vanno in ordine crescente, ognuno una volta");
            lastDay = std::max(lastDay, day);
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
                emit(kWarning, "Mese della denuncia " + std::string(text) + " diverso da quello della prima azienda del file ("
                                   + std::to_string(firstMonth / 100) + "-" + (firstMonth % 100 < 10 ? "0" : "")
                                   + std::to_string(firstMonth % 100) + ")");
            }
            if (options.today != 0 && month > options.today / 100)
                emit(kWarning, "Mese della denuncia " + std::string(text) + " successivo al mese in corso");
            break;
        case Role::CompanyCode: companyCode = std::string(text); break;
        case Role::Matricola: matricola = std::string(text); break;
        case Role::Worker:
            if (!workers.insert(std::string(text)).second)
                emit(kWarning, "Lavoratore " + shown(text)
                                   + " gia' presente in questa posizione contributiva: due denunce individuali per lo "
                                     "stesso codice fiscale");
            break;
        case Role::HireDay:
        case Role::EndDay: {
            const int day = number(text);
            if (month != 0 && day > records::daysInMonth(month / 100, month % 100))
                emit(kBlocking, std::string(name) + " " + std::string(text) + " inesistente nel mese della denuncia "
                                    + std::to_string(month % 100) + "/" + std::to_string(month / 100));
            if (n.role == Role::HireDay)
                hireDay = day;
            else if (hireDay != 0 && day < hireDay)
                emit(kWarning, "Cessazione il giorno " + std::string(text) + ", prima dell'assunzione del giorno "
                                   + std::to_string(hireDay));
            break;
        }
        case Role::Week: {
            const int week = number(text);
            if (week <= lastWeek)
                emit(kBlocking, "Settimana " + std::string(text) + " dopo la settimana " + std::to_string(lastWeek)
                                    + ": le settimane vanno in ordine crescente, ognuna una volta");
            lastWeek = std::max(lastWeek, week);
            break;
        }
        case Role::DeclarationCount:
            if (text.size() > 9 || number(text) != declarations)
                emit(kBlocking, "NumDenIndiv " + std::string(text) + " non corrisponde alle denunce individuali della "
                                    "posizione contributiva: " + std::to_string(declarations)
                                    + " (senza quelle con Elimina=\"S\")");
            break;
        case Role::From:
            from = dayOfIsoDate(text).value_or(0);
            break;
        case Role::To: {
            const Day to = dayOfIsoDate(text).value_or(0);
            if (from != 0 && to != 0 && to < from)
                emit(kWarning, "Periodo che finisce (" + dayText(to) + ") prima di cominciare (" + dayText(from) + ")");
            break;
        }
        default: break;
        }
    }

    void closed(int index)
    {
        const Role role = node(index).role;
        if (role == Role::Declaration) {
            if (!cancelled)
                ++declarations;
        } else if (role == Role::Company) {
            const std::string key = companyCode + "/" + matricola;
            if (!companyCode.empty() && !companies.insert(key).second)
                emit(kBlocking, "L'azienda " + shown(companyCode)
                                    + (matricola.empty() ? std::string() : " con matricola " + shown(matricola))
                                    + " compare due volte nel file: una denuncia per posizione");
        }
    }

    // ------------------------------------------------------------------ feeding

    void feed(std::string_view bytes)
    {
        if (stopped)
            return;
        if (!context) {
            // libxml2 tells the encoding from the first four bytes.
            pending.append(bytes);
            if (pending.size() < 4)
                return;
            context = xmlCreatePushParserCtxt(&handler, nullptr, pending.data(), 4, nullptr);
            if (!context) {
                stopped = true;
                emit(kBlocking, "Il lettore XML non si e' potuto avviare");
                return;
            }
            context->_private = this;
            xmlCtxtUseOptions(context, XML_PARSE_NONET | XML_PARSE_HUGE);
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
            xmlParseChunk(context, bytes.data(), static_cast<int>(size), last && size == bytes.size());
            bytes.remove_prefix(size);
        } while (!bytes.empty() && !stopped);
    }

    void finish()
    {
        if (!context && !stopped) {
            // A file of fewer than four bytes.
            context = xmlCreatePushParserCtxt(&handler, nullptr, pending.data(), static_cast<int>(pending.size()), nullptr);
            if (context)
                context->_private = this;
            pending.clear();
        }
        if (context && !stopped)
            xmlParseChunk(context, nullptr, 0, 1);
        if (!stopped && context && stack.empty() && !context->wellFormed)
            stopped = true;
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
