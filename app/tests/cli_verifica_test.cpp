#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <fstream>
#include <filesystem>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/cli.h"
#include "testing/temp_root.h"

using records::testing::TempRoot;

namespace fs = std::filesystem;

namespace {

// A JSON value, as much as the check's report needs, read strictly: anything that is not
// JSON fails the test.
struct Json {
    enum class Kind { Null, Number, String, Array, Object } kind = Kind::Null;
    long long number = 0;
    std::string text;
    std::vector<Json> items;
    std::map<std::string, Json> members;

    const Json& operator[](const std::string& key) const { return members.at(key); }
};

class JsonReader {
public:
    explicit JsonReader(std::string_view text)
        : m_text(text)
    {
    }

    Json document()
    {
        Json value = read();
        skip();
        if (m_at != m_text.size())
            throw std::runtime_error("text after the JSON value");
        return value;
    }

private:
    void skip()
    {
        while (m_at < m_text.size() && std::isspace(static_cast<unsigned char>(m_text[m_at])))
            ++m_at;
    }
    char next()
    {
        skip();
        if (m_at >= m_text.size())
            throw std::runtime_error("JSON cut short");
        return m_text[m_at];
    }
    void expect(char c)
    {
        if (next() != c)
            throw std::runtime_error(std::string("expected ") + c + " at " + std::to_string(m_at));
        ++m_at;
    }
    std::string string()
    {
        expect('"');
        std::string result;
        while (m_at < m_text.size() && m_text[m_at] != '"') {
            char c = m_text[m_at++];
            if (static_cast<unsigned char>(c) < 0x20)
                throw std::runtime_error("control character in a string");
            if (c == '\\') {
                const char e = m_text.at(m_at++);
                switch (e) {
                case '"': c = '"'; break;
                case '\\': c = '\\'; break;
                case 'n': c = '\n'; break;
                case 'r': c = '\r'; break;
                case 't': c = '\t'; break;
                case 'u': c = static_cast<char>(std::stoi(std::string(m_text.substr(m_at, 4)), nullptr, 16)); m_at += 4; break;
                default: throw std::runtime_error("bad escape");
                }
            }
            result += c;
        }
        expect('"');
        return result;
    }
    Json read()
    {
        Json value;
        const char c = next();
        if (c == '{') {
            value.kind = Json::Kind::Object;
            ++m_at;
            if (next() == '}') {
                ++m_at;
                return value;
            }
            do {
                const std::string key = string();
                expect(':');
                value.members[key] = read();
            } while (next() == ',' && ++m_at);
            expect('}');
        } else if (c == '[') {
            value.kind = Json::Kind::Array;
            ++m_at;
            if (next() == ']') {
                ++m_at;
                return value;
            }
            do {
                value.items.push_back(read());
            } while (next() == ',' && ++m_at);
            expect(']');
        } else if (c == '"') {
            value.kind = Json::Kind::String;
            value.text = string();
        } else if (m_text.substr(m_at, 4) == "null") {
            m_at += 4;
        } else {
            value.kind = Json::Kind::Number;
            std::size_t used = 0;
            value.number = std::stoll(std::string(m_text.substr(m_at)), &used);
            m_at += used;
        }
        return value;
    }

    std::string_view m_text;
    std::size_t m_at = 0;
};

std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> result;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        result.push_back(line);
    return result;
}

// An office with the demo installation, and its files as the command line writes them.
struct CliVerificaTest : ::testing::Test {
    TempRoot root;
    std::ostringstream out, err;

    void SetUp() override
    {
        ASSERT_EQ(app::cli::main({"telematico-cli", "demo", "--root", root.path().string(), "--force"}, out, err), 0);
    }

    std::string written(const std::vector<std::string>& command)
    {
        std::ostringstream written, messages;
        std::vector<std::string> argv = {"telematico-cli"};
        argv.insert(argv.end(), command.begin(), command.end());
        argv.insert(argv.begin() + 2, {"--root", root.path().string()});
        EXPECT_EQ(app::cli::main(argv, written, messages), 0) << messages.str();
        return lines(written.str()).front();
    }

    int verifica(const std::vector<std::string>& arguments)
    {
        out.str({});
        err.str({});
        std::vector<std::string> argv = {"telematico-cli", "verifica"};
        argv.insert(argv.end(), arguments.begin(), arguments.end());
        return app::cli::main(argv, out, err);
    }
};

} // namespace

// Every file the command line writes on the demo is ready to be sent: exit 0.
TEST_F(CliVerificaTest, TheDemoFilesAreReadyToBeSent)
{
    std::vector<std::string> files = {
        written({"cu", "--archive", "1"}),
        written({"cu", "--archive", "2", "--commitment-type", "1", "--commitment-date", "10032017"}),
        written({"cu", "--archive", "7"}),
        written({"uniemens", "--month", "3", "--company", "001", "--company", "002"}),
        written({"uniemens", "--month", "3", "--company", "005"}),
        written({"uniemens", "--month", "4", "--company", "004"}),
        written({"uniemens", "--month", "4", "--company", "005"}),
        written({"uniemens", "--month", "4", "--company", "006"}),
    };
    for (const std::string& file : files) {
        EXPECT_EQ(verifica({file}), 0) << out.str();
        EXPECT_EQ(out.str(), "Verificato " + file + ": 0 bloccanti, 0 avvisi\n");
        EXPECT_EQ(err.str(), "");
    }
    // The restaurant's entertainer has days without a coverage code: warnings, still 0.
    const std::string restaurant = written({"uniemens", "--month", "4", "--company", "003"});
    EXPECT_EQ(verifica({restaurant}), 0);
    EXPECT_EQ(lines(out.str()).back(), "Verificato " + restaurant + ": 0 bloccanti, 20 avvisi");
}

TEST_F(CliVerificaTest, LinesInTheOrderOfTheFileThenWhatTheWholeFileTellsThenTheVerdictAndExitOneWhenSomethingBlocks)
{
    const std::string file = written({"cu", "--archive", "1"});
    std::string bytes = TempRoot::readFile(file);
    bytes[11 * 1900 + 41] = '5'; // record Z counts 5 records D
    bytes[1 * 1900 + 408] = '3'; // record B declares 3 certifications: known only at the end of the file
    std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;

    // Record B's count is known at the end of the file, and said there.
    EXPECT_EQ(verifica({file}), 1);
    EXPECT_EQ(out.str(),
              "BLOCCANTE record 12 posizione 34: Il record Z conta 5 record di tipo D (posizioni 34-42), il file ne "
              "contiene 4\n"
              "BLOCCANTE record 2 posizione 402: Il record B indica 3 certificazioni (posizioni 402-409), il file ne "
              "contiene 4\n"
              "Verificato " + file + ": 2 bloccanti, 0 avvisi\n");
}

// The JSON form holds the same findings as the lines, and parses.
TEST_F(CliVerificaTest, TheJsonFormHoldsTheSameFindingsAsTheLines)
{
    const std::string cuFile = written({"cu", "--archive", "1"});
    std::string bytes = TempRoot::readFile(cuFile);
    bytes.replace(3 * 1900 + 458, 7, "Ferrari");      // lower-case letters in DA002002
    bytes.replace(4 * 1900 + 97, 16, "            0,00"); // an amount of zero written out
    std::ofstream(cuFile, std::ios::binary | std::ios::trunc) << bytes;
    const std::string xmlFile = written({"uniemens", "--month", "4", "--company", "003"});

    for (const auto& [file, kind] : {std::pair{cuFile, "cu"}, std::pair{xmlFile, "uniemens"}}) {
        SCOPED_TRACE(file);
        const int status = verifica({file});
        const std::vector<std::string> text = lines(out.str());
        ASSERT_EQ(verifica({"--json", file}), status);
        const Json report = JsonReader(out.str()).document();
        EXPECT_EQ(report["file"].text, file);
        EXPECT_EQ(report["kind"].text, kind);
        const auto& findings = report["findings"].items;
        ASSERT_EQ(findings.size() + 1, text.size());
        long long blocking = 0, warnings = 0;
        for (std::size_t k = 0; k < findings.size(); ++k) {
            const Json& f = findings[k];
            (f["level"].text == "BLOCCANTE" ? blocking : warnings) += 1;
            std::string line = f["level"].text;
            if (std::string(kind) == "cu") {
                line += " record " + std::to_string(f["record"].number) + " posizione "
                    + std::to_string(f["position"].number);
                if (f["element"].kind == Json::Kind::String)
                    line += " elemento " + f["element"].text;
            } else {
                line += " riga " + std::to_string(f["line"].number) + " elemento " + f["element"].text;
            }
            if (const Json& person = f["person"]; person.kind == Json::Kind::Object) {
                line += " persona";
                for (const char* part : {"fiscal_code", "name"}) {
                    if (person[part].kind == Json::Kind::String)
                        line += " " + person[part].text;
                }
            }
            EXPECT_EQ(line + ": " + f["message"].text, text[k]);
        }
        EXPECT_EQ(report["blocking"].number, blocking);
        EXPECT_EQ(report["warnings"].number, warnings);
        EXPECT_EQ(text.back(), "Verificato " + file + ": " + std::to_string(blocking) + " bloccanti, "
                                   + std::to_string(warnings) + " avvisi");
    }
    // The CU file: two lower-case letters of one element are one finding, and the zero warns.
    EXPECT_EQ(verifica({"--json", cuFile}), 1);
    const Json report = JsonReader(out.str()).document();
    EXPECT_EQ(report["blocking"].number, 1);
    EXPECT_EQ(report["warnings"].number, 1);
    EXPECT_EQ(report["findings"].items[0]["message"].text,
              "Lettera minuscola 'e' in posizione 460: i dati del file telematico si scrivono in maiuscolo");
    // The payee's name as the file holds it: "F" at 458, then the lower-case letters written
    // over 459-465.
    EXPECT_EQ(report["findings"].items[0]["person"]["fiscal_code"].text, "FRRLCU78E14L219A");
    EXPECT_EQ(report["findings"].items[0]["person"]["name"].text, "FFerrari LUCA");
}

// A finding inside a certification or a declaration names the person, after the place in
// the lines and as "person" in the JSON; one outside them names nobody.
TEST_F(CliVerificaTest, AFindingInsideACertificationOrADeclarationNamesThePerson)
{
    const std::string cuFile = written({"cu", "--archive", "1"});
    std::string bytes = TempRoot::readFile(cuFile);
    bytes[1 * 1900 + 410] = '0';                                // record B: the declarant has not signed
    bytes.replace(6 * 1900 + 289, 16, "              19");      // Romano's record G: a deduction code 19
    std::ofstream(cuFile, std::ios::binary | std::ios::trunc) << bytes;
    EXPECT_EQ(verifica({cuFile}), 0);
    EXPECT_EQ(out.str(),
              "AVVISO record 2 posizione 411: Firma del dichiarante (posizione 411) '0': il frontespizio firmato porta 1 "
              "(secondo i file di altri programmi, non secondo una regola nota dell'Agenzia)\n"
              "AVVISO record 7 posizione 290 elemento DB001341 persona RMNGPP69S02G273A ROMANO GIUSEPPE: Codice onere "
              "detraibile '              19' sconosciuto: codici ammessi da 1 a 18, da 20 a 33, 35, 36, 37, 41, 42, 99 "
              "(codici dell'elenco dei campi CU 2017 di un altro programma)\n"
              "Verificato " + cuFile + ": 0 bloccanti, 2 avvisi\n");
    EXPECT_EQ(verifica({"--json", cuFile}), 0);
    Json report = JsonReader(out.str()).document();
    EXPECT_EQ(report["findings"].items[0]["person"].kind, Json::Kind::Null);
    EXPECT_EQ(report["findings"].items[1]["person"]["fiscal_code"].text, "RMNGPP69S02G273A");
    EXPECT_EQ(report["findings"].items[1]["person"]["name"].text, "ROMANO GIUSEPPE");

    // Romano's March: 31 paid days in his five covered weeks.
    const std::string xmlFile = written({"uniemens", "--month", "3", "--company", "001"});
    bytes = TempRoot::readFile(xmlFile);
    const auto second = bytes.find("<GiorniRetribuiti>26<", bytes.find("<GiorniRetribuiti>26<") + 1);
    bytes.replace(second, 21, "<GiorniRetribuiti>31<");
    std::ofstream(xmlFile, std::ios::binary | std::ios::trunc) << bytes;
    EXPECT_EQ(verifica({xmlFile}), 1);
    EXPECT_EQ(out.str(),
              "BLOCCANTE riga 115 elemento DenunceMensili/Azienda/PosContributiva/DenunciaIndividuale/DatiRetributivi/"
              "GiorniRetribuiti persona RMNGPP69S02G273A ROMANO GIUSEPPE: 31 giorni retribuiti in 5 settimane coperte: "
              "al piu' 6 giorni retribuiti per settimana (errore INPS 02570E)\n"
              "Verificato " + xmlFile + ": 1 bloccanti, 0 avvisi\n");
    EXPECT_EQ(verifica({"--json", xmlFile}), 1);
    report = JsonReader(out.str()).document();
    EXPECT_EQ(report["findings"].items[0]["person"]["fiscal_code"].text, "RMNGPP69S02G273A");
    EXPECT_EQ(report["findings"].items[0]["person"]["name"].text, "ROMANO GIUSEPPE");
}

TEST_F(CliVerificaTest, AFileThatCannotBeReadOrIsOfNoKnownKindOrWrongOptionsExitTwo)
{
    const std::string cuFile = written({"cu", "--archive", "7"});
    root.write("lettera.txt", "Gentile cliente,\r\nle inviamo...\r\n");
    root.write("vuoto.dat", "");
    root.write("altro.xml", "<?xml version=\"1.0\"?>\r\n<Denunce></Denunce>\r\n");
    struct Case {
        std::vector<std::string> arguments;
        std::string error; // the start of the message on the error stream
    };
    const std::string folder = root.path().string();
    // A named pipe that nobody writes: refused at once, never waited on.
    ASSERT_EQ(::mkfifo((folder + "/pipe").c_str(), 0600), 0);
    const Case cases[] = {
        {{folder + "/pipe"}, "verifica: " + folder + "/pipe: e' una pipe (FIFO), non un file"},
        {{"--json", "/dev/zero"}, "verifica: /dev/zero: e' un dispositivo, non un file"},
        {{folder + "/manca.dat"}, "verifica: " + folder + "/manca.dat: il file non esiste"},
        {{folder}, "verifica: " + folder + ": e' una cartella, non un file"},
        {{folder + "/lettera.txt"}, "verifica: " + folder + "/lettera.txt: non e' un file telematico della CU"},
        {{folder + "/altro.xml"}, "verifica: " + folder + "/altro.xml: non e' un file telematico della CU"},
        {{folder + "/vuoto.dat"}, "verifica: " + folder + "/vuoto.dat: il file e' vuoto"},
        {{}, "telematico-cli verifica: manca il FILE da verificare"},
        {{cuFile, cuFile}, "telematico-cli verifica: un solo FILE alla volta"},
        {{cuFile, "--xml"}, "telematico-cli verifica: opzione sconosciuta: --xml"},
        {{cuFile, "--json=si"}, "telematico-cli verifica: opzione sconosciuta: --json"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.error);
        EXPECT_EQ(verifica(c.arguments), 2);
        EXPECT_EQ(out.str(), "");
        EXPECT_TRUE(err.str().starts_with(c.error)) << err.str();
    }
    // The file checked is left as it was.
    const std::string before = TempRoot::readFile(cuFile);
    EXPECT_EQ(verifica({cuFile}), 0);
    EXPECT_EQ(TempRoot::readFile(cuFile), before);
}

namespace {

// Runs the built program with its output on `output` (opened for writing, or the write end
// of a pipe whose reader has gone); the exit status and the error stream.
std::pair<int, std::string> runWithOutput(const std::vector<std::string>& arguments, const std::string& output)
{
    int errors[2];
    int closedPipe[2];
    if (::pipe(errors) != 0 || ::pipe(closedPipe) != 0)
        return {-1, {}};
    ::close(closedPipe[0]);
    const pid_t child = ::fork();
    if (child == 0) {
        const int out = output.empty() ? closedPipe[1] : ::open(output.c_str(), O_WRONLY);
        ::dup2(out, STDOUT_FILENO);
        ::dup2(errors[1], STDERR_FILENO);
        std::vector<char*> argv;
        const std::string program = TELEMATICO_CLI;
        argv.push_back(const_cast<char*>(program.c_str()));
        for (const std::string& argument : arguments)
            argv.push_back(const_cast<char*>(argument.c_str()));
        argv.push_back(nullptr);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    ::close(errors[1]);
    ::close(closedPipe[1]);
    std::string text;
    char buffer[4096];
    for (ssize_t n; (n = ::read(errors[0], buffer, sizeof buffer)) > 0;)
        text.append(buffer, static_cast<std::size_t>(n));
    ::close(errors[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, text};
}

} // namespace

// A report that cannot be written (a full disk, a reader gone) is exit 2 with a message,
// never 0 or 1 with the findings lost.
TEST_F(CliVerificaTest, AReportThatCannotBeWrittenIsExitTwo)
{
    const std::string file = written({"cu", "--archive", "1"});
    for (const bool json : {false, true}) {
        SCOPED_TRACE(json);
        std::vector<std::string> argv = {"telematico-cli", "verifica", file};
        if (json)
            argv.push_back("--json");
        std::ostream nowhere(nullptr); // a stream that takes nothing
        std::ostringstream messages;
        EXPECT_EQ(app::cli::main(argv, nowhere, messages), 2);
        EXPECT_EQ(messages.str(), "verifica: " + file + ": il risultato non si puo' scrivere\n");

        argv.erase(argv.begin());
        for (const std::string output : {std::string("/dev/full"), std::string()}) {
            const auto [status, errors] = runWithOutput(argv, output);
            EXPECT_EQ(status, 2) << output;
            EXPECT_TRUE(errors.starts_with("verifica: " + file + ": il risultato non si puo' scrivere (")) << errors;
        }
    }
}
