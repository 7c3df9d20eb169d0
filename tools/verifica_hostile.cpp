// Measures the check before sending on hostile and damaged files: each file is checked by
// `telematico-cli verifica` and by `telematico-cli verifica --json`, in a process of its own,
// and the program prints how it ended, how long it took and the most memory it held:
//
//   verifica_hostile [--dir DIR] [--only NAME] [--records N] [--keep]
//   (defaults: a new folder in $TMPDIR or /tmp, removed at the end unless --keep, every
//   file, 1000000 records)
//
// The files, written into the folder:
// - entities-other.xml: 405 KB whose document type declares entities that double each other,
//   the first one's value looking like the start of a UniEmens file ("><DenunceMensili>");
// - entities.xml: the same declared for DenunceMensili, whose root refers to the last entity;
// - laughs.xml: a 6 KB "billion laughs", ten entities of ten references each;
// - attributes.xml: 400,000 attributes in the start tag of DenunceMensili (4.7 MB);
// - comment.xml: a declaration whose first company holds a comment of 200 MB;
// - text.xml: a declaration whose first company code is a text of 200 MB;
// - depth.xml: 100,000 elements, each inside the one before;
// - fifo: a named pipe that nobody writes;
// - damaged.cu: a CU file of N records (A, B, then certifications whose records D and G are
//   damaged in several places each, then Z), written from the demo's first archive.
// Each must end in under 10 seconds and 200 MB (the CU file in 200 MB, its time is
// printed), the FIFO at once with status 2. The exit status is 1 when one of them does not.
// A check that runs for 60 seconds is stopped. The program is not a test; build it in
// Release for figures.

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr double kSeconds = 10;
constexpr double kMegabytes = 200;
constexpr double kGiveUp = 60;
constexpr std::size_t kRecord = 1900;

struct Ended {
    int status = -1; // the exit status; -1 when stopped or killed
    double seconds = 0;
    double megabytes = 0;
    std::string errors; // the first line of the error stream
};

// Runs the program with `arguments`, its output thrown away, and measures it.
Ended run(const std::vector<std::string>& arguments, const fs::path& errors)
{
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = ::fork();
    if (child == 0) {
        const int null = ::open("/dev/null", O_WRONLY);
        const int err = ::open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ::dup2(null, 1);
        ::dup2(err, 2);
        std::vector<char*> argv;
        for (const std::string& argument : arguments)
            argv.push_back(const_cast<char*>(argument.c_str()));
        argv.push_back(nullptr);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    Ended ended;
    int status = 0;
    rusage usage{};
    while (true) {
        const pid_t done = ::wait4(child, &status, WNOHANG, &usage);
        if (done == child)
            break;
        if (std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() > kGiveUp) {
            ::kill(child, SIGKILL);
            ::wait4(child, &status, 0, &usage);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    ended.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    ended.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    ended.megabytes = static_cast<double>(usage.ru_maxrss) / 1024.0;
    std::ifstream in(errors);
    std::getline(in, ended.errors);
    return ended;
}

std::string readFile(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Entities that each refer ten times to the one before: the last one stands for 10^levels
// copies of the first.
std::string laughs(int levels, const std::string& first)
{
    std::string text = "<!ENTITY l0 \"" + first + "\">\n";
    for (int k = 1; k <= levels; ++k) {
        text += "<!ENTITY l" + std::to_string(k) + " \"";
        for (int r = 0; r < 10; ++r)
            text += "&l" + std::to_string(k - 1) + ";";
        text += "\">\n";
    }
    return text;
}

// The head of a declaration up to the first company code, as a UniEmens file opens.
const char* const kHead = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n"
                          "<DenunceMensili>\n<DatiMittente><CFPersonaMittente>RSSMRA80A01H501U</CFPersonaMittente>"
                          "</DatiMittente>\n<Azienda><AnnoMeseDenuncia>2016-03</AnnoMeseDenuncia>\n";

void writeXml(const fs::path& folder)
{
    const auto write = [&](const char* name, const std::string& bytes) {
        std::ofstream(folder / name, std::ios::binary) << bytes;
    };
    // Doubling entities up to 405 KB, the first looking like a UniEmens file's start.
    std::string doubling = "<!ENTITY e0 \"><DenunceMensili><Azienda>\">\n";
    int last = 0;
    for (int k = 1; doubling.size() < 405 * 1024 - 200; ++k, ++last) {
        doubling += "<!ENTITY e" + std::to_string(k) + " \"";
        for (int r = 0; r < 400; ++r)
            doubling += "&e" + std::to_string(k - 1) + ";";
        doubling += "\">\n";
    }
    const std::string lastEntity = "&e" + std::to_string(last) + ";";
    write("entities-other.xml", "<?xml version=\"1.0\"?>\n<!DOCTYPE x [\n" + doubling + "]>\n<x>" + lastEntity + "</x>\n");
    write("entities.xml",
          "<?xml version=\"1.0\"?>\n<!DOCTYPE DenunceMensili [\n" + doubling + "]>\n<DenunceMensili>" + lastEntity
              + "</DenunceMensili>\n");

    std::string lol = "<?xml version=\"1.0\"?>\n<!DOCTYPE DenunceMensili [\n" + laughs(9, "lol") + "]>\n";
    lol += "<DenunceMensili>&l9;</DenunceMensili>\n";
    while (lol.size() < 6 * 1024)
        lol += "<!-- lol -->\n";
    write("laughs.xml", lol);

    std::string attributes = "<?xml version=\"1.0\"?>\n<DenunceMensili";
    for (int k = 0; k < 400000; ++k)
        attributes += " a" + std::to_string(k) + "=\"1\"";
    write("attributes.xml", attributes + ">\n</DenunceMensili>\n");

    const std::string tail = "</Azienda>\n</DenunceMensili>\n";
    {
        std::ofstream out(folder / "comment.xml", std::ios::binary);
        out << kHead << "<!--";
        const std::string block(1 << 20, 'x');
        for (int k = 0; k < 200; ++k)
            out << block;
        out << "-->\n" << tail;
    }
    {
        std::ofstream out(folder / "text.xml", std::ios::binary);
        out << kHead << "<CFAzienda>";
        const std::string block(1 << 20, '1');
        for (int k = 0; k < 200; ++k)
            out << block;
        out << "</CFAzienda>\n" << tail;
    }
    {
        std::string depth = "<?xml version=\"1.0\"?>\n<DenunceMensili>";
        for (int k = 0; k < 100000; ++k)
            depth += "<Azienda>";
        write("depth.xml", depth + "\n");
    }
}

// A CU file of `records` records from the demo's telematic file: A, B, then records D and G
// of certifications numbered on, each D with a lower-case name, a wrong sex and a bad birth
// date, each G with amounts in the wrong form, then Z. The file is damaged all through.
bool writeCu(const fs::path& cli, const fs::path& folder, long long records)
{
    const fs::path root = folder / "demo-root";
    const fs::path errors = folder / "errors.txt";
    if (run({cli.string(), "demo", "--root", root.string(), "--force"}, errors).status != 0)
        return false;
    const pid_t child = ::fork();
    const fs::path listing = folder / "cu-path.txt";
    if (child == 0) {
        const int out = ::open(listing.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(out, 1);
        ::dup2(null, 2);
        ::execl(cli.c_str(), cli.c_str(), "cu", "--root", root.c_str(), "--archive", "1", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    std::string path = readFile(listing);
    path = path.substr(0, path.find('\n'));
    const std::string demo = readFile(path);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || demo.size() < 12 * kRecord)
        return false;
    const auto record = [&](int n) { return demo.substr(static_cast<std::size_t>(n - 1) * kRecord, kRecord); };
    std::ofstream out(folder / "damaged.cu", std::ios::binary);
    out << record(1) << record(2);
    std::string d = record(4);
    std::string g = record(5);
    // Lower-case letters in the surname, a wrong fiscal code in DA002001's place of the
    // heading, amounts without their comma.
    for (std::size_t at = 458; at < 465; ++at)
        d[at] = static_cast<char>(d[at] | 0x20);
    d[30] = 'X';
    for (std::size_t slot = 0; slot < 10; ++slot)
        g[89 + slot * 24 + 8 + 13] = '.';
    for (long long k = 0; k + 3 < records; k += 2) {
        char number[8];
        std::snprintf(number, sizeof number, "%05lld", (k / 2) % 100000);
        d.replace(41, 5, number);
        g.replace(41, 5, number);
        out << d;
        if (k + 4 < records)
            out << g;
    }
    out << record(12);
    return static_cast<bool>(out);
}

} // namespace

int main(int argc, char** argv)
{
    fs::path folder;
    std::string only;
    long long records = 1000000;
    bool keep = false;
    for (int k = 1; k < argc; ++k) {
        const std::string option = argv[k];
        if (option == "--dir" && k + 1 < argc) {
            folder = argv[++k];
        } else if (option == "--only" && k + 1 < argc) {
            only = argv[++k];
        } else if (option == "--keep") {
            keep = true;
        } else if (option == "--records" && k + 1 < argc) {
            records = std::atoll(argv[++k]);
        } else {
            std::fprintf(stderr, "uso: verifica_hostile [--dir DIR] [--only NAME] [--records N] [--keep]\n");
            return 2;
        }
    }
    const fs::path cli = TELEMATICO_CLI;
    const bool ownFolder = folder.empty();
    if (ownFolder) {
        const char* tmp = std::getenv("TMPDIR");
        folder = fs::path(tmp ? tmp : "/tmp") / ("verifica_hostile." + std::to_string(::getpid()));
    }
    fs::create_directories(folder);
    std::printf("writing the files in %s ...\n", folder.c_str());
    std::fflush(stdout);
    writeXml(folder);
    ::mkfifo((folder / "fifo").c_str(), 0600);
    if (only.empty() || only == "damaged.cu") {
        if (!writeCu(cli, folder, records)) {
            std::fprintf(stderr, "the CU file could not be written from the demo\n");
            return 2;
        }
    }

    const char* const names[] = {"entities-other.xml", "entities.xml", "laughs.xml", "attributes.xml",
                                 "comment.xml",        "text.xml",     "depth.xml",  "fifo",
                                 "damaged.cu"};
    bool within = true;
    std::printf("%-20s %12s %-6s %5s %9s %9s  %s\n", "file", "bytes", "output", "exit", "seconds", "peak MB",
                "first error line");
    for (const char* name : names) {
        if (!only.empty() && only != name)
            continue;
        const fs::path file = folder / name;
        std::error_code error;
        const auto size = fs::is_regular_file(file, error) ? fs::file_size(file, error) : 0;
        for (const bool json : {false, true}) {
            std::vector<std::string> arguments = {cli.string(), "verifica"};
            if (json)
                arguments.push_back("--json");
            arguments.push_back(file.string());
            const Ended ended = run(arguments, folder / "errors.txt");
            const bool cu = std::string(name) == "damaged.cu";
            const bool fifo = std::string(name) == "fifo";
            bool ok = ended.megabytes < kMegabytes && ended.status >= 0 && ended.status <= 2;
            if (!cu)
                ok = ok && ended.seconds < kSeconds;
            if (fifo)
                ok = ok && ended.status == 2 && ended.seconds < 1;
            within = within && ok;
            std::printf("%-20s %12llu %-6s %5d %9.3f %9.1f  %s%s\n", name, static_cast<unsigned long long>(size),
                        json ? "json" : "text", ended.status, ended.seconds, ended.megabytes,
                        ended.errors.substr(0, 90).c_str(), ok ? "" : "  <-- OLTRE I LIMITI");
            std::fflush(stdout);
        }
    }
    if (ownFolder && !keep)
        fs::remove_all(folder);
    std::printf(within ? "every file within %.0f s and %.0f MB\n" : "NOT every file within %.0f s and %.0f MB\n",
                kSeconds, kMegabytes);
    return within ? 0 : 1;
}
