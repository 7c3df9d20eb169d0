#include <gtest/gtest.h>

#include <sys/stat.h>

#include <string>
#include <vector>

#include "check/tests/check_test_support.h"
#include "check/xml_gate.h"

using check::testing::checkPath;
using check::testing::joined;
using check::testing::Office;
using check::uniemens::XmlGate;

namespace {

struct Gated {
    std::string passed;
    std::vector<XmlGate::Event> events;
};

// The file through the gate in pieces of `piece` bytes.
Gated gate(std::string_view file, std::size_t piece)
{
    XmlGate gate;
    Gated gated;
    for (std::size_t at = 0; at < file.size() && !gate.stopped(); at += piece) {
        std::string_view rest = file.substr(at, piece);
        while (!rest.empty() && !gate.stopped()) {
            rest.remove_prefix(gate.pass(rest, gated.passed));
            if (XmlGate::Event event = gate.takeEvent(); event.kind != XmlGate::Event::Kind::None)
                gated.events.push_back(std::move(event));
        }
    }
    gate.finish(gated.passed);
    return gated;
}

} // namespace

// The reader sees the file without its document type, whose line ends stay so that the
// lines keep their numbers; quotes, comments and instructions inside it, and ">" in the
// file's values, comments and CDATA, do not end anything early. The same whatever the
// pieces the file comes in.
TEST(XmlGate, LeavesOutTheDocumentTypeAloneWhateverThePieces)
{
    const std::string file = "<?xml version=\"1.0\"?>\n"
                             "<!DOCTYPE DenunceMensili [\n"
                             "<!ENTITY a \"]>\">\n"
                             "<!-- ]> \" -->\n"
                             "<!ENTITY % p 'x'><?pi ]> ?>\n"
                             "]>\n"
                             "<DenunceMensili a=\">\" b='\"'><!-- -> --><![CDATA[]]]]><?pi >?>x &amp;</DenunceMensili>\n"
                             "<!DOCTYPE again>";
    const std::string passed = "<?xml version=\"1.0\"?>\n"
                               "\n"
                               "\n"
                               "\n"
                               "\n"
                               "\n"
                               "<DenunceMensili a=\">\" b='\"'><!-- -> --><![CDATA[]]]]><?pi >?>x &amp;</DenunceMensili>\n"
                               "<!DOCTYPE again>";
    for (const std::size_t piece : {std::size_t{1}, std::size_t{2}, std::size_t{3}, std::size_t{7}, file.size()}) {
        SCOPED_TRACE(piece);
        const Gated gated = gate(file, piece);
        EXPECT_EQ(gated.passed, passed);
        ASSERT_EQ(gated.events.size(), 1u);
        const XmlGate::Event& event = gated.events.front();
        EXPECT_EQ(event.kind, XmlGate::Event::Kind::DocumentType);
        EXPECT_EQ(event.line, 2);
        EXPECT_EQ(event.entities, 2);
        EXPECT_EQ(event.names, (std::vector<std::string>{"a", "%p"}));
    }
}

// A start tag of 64 KB passes, one byte more stops the gate at the line where it starts;
// likewise a comment of 1 MB.
TEST(XmlGate, StopsAtATagOrATokenLongerThanAnyDeclarationHas)
{
    struct Case {
        const char* what;
        std::string file;
        bool stops;
        XmlGate::Token token;
    };
    const auto tag = [](std::size_t length) { // "<a" + blanks + "x=\"\">", `length` bytes
        return "<a" + std::string(length - 7, ' ') + "x=\"\">";
    };
    const auto comment = [](std::size_t length) { return "<!--" + std::string(length - 8, 'c') + " -->"; };
    const Case cases[] = {
        {"tag of 64 KB", "<r>\n" + tag(64 * 1024) + "</a></r>", false, XmlGate::Token::Text},
        {"tag of 64 KB and a byte", "<r>\n" + tag(64 * 1024 + 1) + "</a></r>", true, XmlGate::Token::StartTag},
        {"comment of 1 MB", "<r>\n" + comment(1 << 20) + "</r>", false, XmlGate::Token::Text},
        {"comment of 1 MB and a byte", "<r>\n" + comment((1 << 20) + 1) + "</r>", true, XmlGate::Token::Comment},
        {"text of 1 MB and a byte", "<r>\n" + std::string((1 << 20) + 1, 'x') + "</r>", true, XmlGate::Token::Text},
    };
    for (const Case& c : cases) {
        for (const std::size_t piece : {std::size_t{4096}, c.file.size()}) {
            SCOPED_TRACE(std::string(c.what) + " in pieces of " + std::to_string(piece));
            const Gated gated = gate(c.file, piece);
            if (!c.stops) {
                EXPECT_TRUE(gated.passed == c.file);
                EXPECT_TRUE(gated.events.empty());
                continue;
            }
            ASSERT_EQ(gated.events.size(), 1u);
            EXPECT_EQ(gated.events[0].kind, XmlGate::Event::Kind::TooLong);
            EXPECT_EQ(gated.events[0].token, c.token);
            EXPECT_EQ(gated.events[0].line, c.token == XmlGate::Token::Text ? 1 : 2);
            EXPECT_LT(gated.passed.size(), c.file.size());
        }
    }
}

namespace {

std::string xmlOf(const std::string& body)
{
    return "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n" + body;
}

} // namespace

// Hostile XML files end quickly with what the clerk needs to know: no entity is expanded, no
// document type read, no token beyond what a declaration has read through.
TEST(HostileFiles, EachEndsWithAFindingThatSaysWhy)
{
    std::string laughs = "<!DOCTYPE DenunceMensili [\n<!ENTITY l0 \"lol\">\n";
    for (int k = 1; k <= 9; ++k) {
        laughs += "<!ENTITY l" + std::to_string(k) + " \"";
        for (int r = 0; r < 10; ++r)
            laughs += "&l" + std::to_string(k - 1) + ";";
        laughs += "\">\n";
    }
    laughs += "]>\n<DenunceMensili>&l9;</DenunceMensili>\n";
    std::string attributes = "<DenunceMensili";
    for (int k = 0; k < 10000; ++k)
        attributes += " a" + std::to_string(k) + "=\"\"";
    std::string deep = "<DenunceMensili>\n";
    for (int k = 0; k < 200; ++k)
        deep += "<Azienda>";
    std::string ninetyNine; // the path of the hundredth element open
    for (int k = 0; k < 99; ++k)
        ninetyNine += "/Azienda";
    const std::string limit = ": nessuna denuncia UniEmens ne ha di cosi' lunghi; il resto del file non e' controllato\n";
    struct Case {
        const char* what;
        std::string file;
        std::string lines;
    };
    const Case cases[] = {
        {"a billion laughs", xmlOf(laughs),
         "AVVISO riga 2 elemento -: Dichiarazione del tipo di documento (DOCTYPE), non prevista nel tracciato noto al "
         "programma: non e' letta, e il resto del file e' controllato senza; dichiara 10 entita' (l0, l1, l2, ...), che "
         "il programma non espande\n"
         "BLOCCANTE riga 14 elemento DenunceMensili: Riferimento all'entita' l9, che puo' essere dichiarata solo nel tipo "
         "di documento (DOCTYPE): il programma non lo legge e non espande le entita', il valore non si conosce e il resto "
         "del file non e' controllato\n"},
        {"a document type that names a file", xmlOf("<!DOCTYPE DenunceMensili SYSTEM \"/etc/passwd\">\n<DenunceMensili/>"),
         "AVVISO riga 2 elemento -: Dichiarazione del tipo di documento (DOCTYPE), non prevista nel tracciato noto al "
         "programma: non e' letta, e il resto del file e' controllato senza; il file di dichiarazioni che nomina non e' "
         "letto\n"
         "BLOCCANTE riga 3 elemento DenunceMensili: Manca l'elemento DatiMittente (dati di chi invia) in DenunceMensili\n"
         "BLOCCANTE riga 3 elemento DenunceMensili: Manca l'elemento Azienda (azienda) in DenunceMensili\n"},
        {"10000 attributes", xmlOf(attributes + ">\n</DenunceMensili>"),
         "BLOCCANTE riga 2 elemento -: Tag di apertura di oltre 64 KB dalla riga 2" + limit},
        {"a comment of 2 MB", xmlOf("<DenunceMensili>\n<!--" + std::string(2 << 20, '-') + " -->\n</DenunceMensili>"),
         "BLOCCANTE riga 3 elemento DenunceMensili: Commento di oltre 1 MB dalla riga 3" + limit},
        {"a value of CDATA pieces beyond 1 MB",
         xmlOf("<DenunceMensili><Azienda><CFAzienda>\n<![CDATA[" + std::string(700000, '1') + "]]><![CDATA["
               + std::string(700000, '1') + "]]></CFAzienda>"),
         "BLOCCANTE riga 2 elemento DenunceMensili/Azienda/CFAzienda: Valore dell'elemento CFAzienda (codice fiscale "
         "dell'azienda) di oltre 1 MB" + limit},
        {"200 elements nested", xmlOf(deep),
         "AVVISO riga 3 elemento DenunceMensili/Azienda: Elemento Azienda non previsto in Azienda (azienda) nel "
         "tracciato noto al programma: non controllato\n"
         "BLOCCANTE riga 3 elemento DenunceMensili" + ninetyNine + ": Elementi annidati per "
         "oltre 100 livelli: nessuna denuncia UniEmens ne ha tanti; il resto del file non e' controllato\n"},
        // Said at the line the reader had reached, with the bytes it could not convert.
        {"a byte the declared encoding lacks",
         "<?xml version=\"1.0\" encoding=\"windows-1252\"?>\n<DenunceMensili>\n\x81</DenunceMensili>\n",
         "BLOCCANTE riga 2 elemento DenunceMensili: Byte che non sono testo nella codifica che il file dichiara "
         "(windows-1252, bytes 0x81 0x3C 0x2F 0x44): una lettera scritta in un'altra codifica? Il resto del file non "
         "e' controllato\n"},
    };
    records::testing::TempRoot root;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const check::testing::Checked checked = checkPath(root.write("hostile.xml", c.file));
        EXPECT_EQ(checked.error, "");
        EXPECT_EQ(joined(checked.lines), c.lines);
    }
}

// A document type is left out and the rest of the file checked as it stands: the demo's
// declaration with one says only that.
TEST(HostileFiles, TheRestOfAFileWithADocumentTypeIsCheckedWithoutIt)
{
    Office office;
    std::string bytes = records::testing::TempRoot::readFile(office.uniemensSeries(3, {"001", "002"}));
    const auto declaration = bytes.find("?>") + 2;
    bytes.insert(declaration, "<!DOCTYPE DenunceMensili [<!ENTITY x \"1\">]>");
    EXPECT_EQ(joined(checkPath(office.root.write("doctype.xml", bytes)).lines),
              "AVVISO riga 1 elemento -: Dichiarazione del tipo di documento (DOCTYPE), non prevista nel tracciato noto "
              "al programma: non e' letta, e il resto del file e' controllato senza; dichiara 1 entita' (x), che il "
              "programma non espande\n");
}

// What is not a file, or not a file the check reads, is named as such and not waited for.
TEST(HostileFiles, OnlyFilesAreReadAndTheirKindIsNamed)
{
    records::testing::TempRoot root;
    const std::string fifo = (root.path() / "pipe").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::string utf16 = "\xFF\xFE";
    for (const char c : std::string("<?xml version=\"1.0\"?><DenunceMensili/>"))
        utf16 += std::string{c, '\0'};
    struct Case {
        std::string path;
        std::string error;
    };
    const Case cases[] = {
        {fifo, "e' una pipe (FIFO), non un file: si verificano solo i file"},
        {"/dev/null", "e' un dispositivo, non un file: si verificano solo i file"},
        {root.path().string(), "e' una cartella, non un file"},
        {root.write("utf16.xml", utf16).string(),
         "e' un file di testo in UTF-16 (due byte per carattere): la verifica legge i file UniEmens in UTF-8, "
         "ISO-8859-1 o Windows-1252; salvarlo in UTF-8 per verificarlo"},
        {root.write("other.xml", "<?xml version=\"1.0\"?>\n<!DOCTYPE x [<!ENTITY e \"><DenunceMensili>\">]><x>&e;</x>")
             .string(),
         "e' un file XML che dichiara il tipo di documento (DOCTYPE) x: non e' un file UniEmens (XML con l'elemento "
         "DenunceMensili)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        const check::testing::Checked checked = checkPath(c.path);
        EXPECT_EQ(checked.kind, check::FileKind::Unknown);
        EXPECT_EQ(checked.error, c.error);
        EXPECT_TRUE(checked.lines.empty());
    }
}
