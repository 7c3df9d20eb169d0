// Runs the CU run of the createl form on damaged inputs, case after case, and checks that no
// input costs a file:
//
//   cu_fuzz [--seconds N] [--seed S] [--cases N] [--case K] [--dir DIR] [--verbose]
//   (defaults: 10 seconds, a random seed, a new folder in /dev/shm or $TMPDIR)
//
// Each case starts from the CU files of the demo installation (drive file, header files and
// archives 1, 2 and 7), damages the header file and the archive of one of them (bytes
// changed, records cut short or added, employee counts such as "1E99", " -3" or "9999",
// header fields and CU entries with odd values), plants an older file, a link or a folder
// where the telematic file goes and what a killed run leaves beside it, and makes the
// operator's moves in the form: optionally "FASE 1" with Yes, "FASE 2" on the archive, a
// kind of supply (ordinary, annulment, replacement, single) with texts in the boxes,
// sometimes odd ones, and "FASE 3", answering the confirmation Yes or No. After each case it checks:
// - the outcome: a completed run (exit 0 on the command line) has shown the success
//   message once and left a complete telematic file (1900-byte records ending in "A" CR LF,
//   A first, Z last, the counts of record Z right); a stopped or declined run (exit 1) has
//   shown no success;
// - no temporary file or lock file is left anywhere, and none is listed for removal any
//   more; the files of a killed run planted beside the telematic file (its temporary file,
//   its lock file) are gone after a completed run, which said so, and a folder, a link or a
//   FIFO planted at the lock file's name is left as it was;
// - every file that was there before is untouched byte for byte, except the telematic
//   file's target, which a completed run replaces whole, and the report and its batch file;
//   the run's own header file and archive are never changed, nor what a planted link
//   points to.
// A crash is found by the sanitizers of the build. Each case draws from its own generator,
// seeded by the seed and the case number: "--seed S --case K" repeats case K alone. The
// number of cases and how they ended are printed at the end; the exit status is 1 after the
// first case that fails a check.

#include <algorithm>
#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "app/program_values.h"
#include "cu/createl_form.h"
#include "cu/telematic/questions.h"
#include "demo/demo_installation.h"
#include "demo/record_builders.h"
#include "payroll/cu_archive.h"
#include "payroll/cu_header.h"
#include "records/cp1252.h"
#include "records/host_paths.h"
#include "records/installation.h"
#include "records/output_file.h"
#include "records/prompter.h"
#include "records/temporary_files.h"
#include "records/text.h"
#include "tools/fuzz_support.h"
#include "tools/quiet_operator.h"

namespace fs = std::filesystem;
using cu::telematic::RunOutcome;

using tools::NoLauncher;
using namespace tools::fuzz;

namespace {

constexpr std::size_t kRecord = 1900;
constexpr std::size_t kHeaderRecord = payroll::kHeaderRecordLength;
constexpr std::size_t kArchiveRecord = payroll::kArchiveRecordLength;
constexpr const char* kSuccess = "Memorizazione regolarmente effettuata...";
constexpr int kArchives[] = {1, 2, 7};

// The operator: answers the report question and the confirmation as the case says, and
// keeps every box it was shown.
class Operator : public records::Prompter {
public:
    struct Shown {
        std::string title;
        std::string text;
        bool question = false;
    };

    bool reportWanted = false;
    bool confirm = false;
    std::vector<Shown> shown;

    void message(std::string_view title, std::string_view text, records::Icon) override
    {
        shown.push_back({std::string(title), std::string(text), false});
    }
    bool askYesNo(records::Question question, std::string_view title, std::string_view text, records::Icon) override
    {
        shown.push_back({std::string(title), std::string(text), true});
        if (question == cu::telematic::kReportWanted)
            return reportWanted;
        if (question == cu::telematic::kConfirmAnnulment)
            return confirm;
        return false;
    }
    int successes() const
    {
        return static_cast<int>(std::count_if(shown.begin(), shown.end(), [](const Shown& s) {
            return !s.question && s.text == kSuccess && s.title == "Creazione Telematico";
        }));
    }
};

// Empty when `bytes` is a complete telematic file, else what is wrong with it.
std::string telematicFault(const std::string& bytes)
{
    if (bytes.empty() || bytes.size() % kRecord != 0)
        return "a file of " + std::to_string(bytes.size()) + " bytes";
    std::map<char, long> counts;
    const std::size_t records = bytes.size() / kRecord;
    for (std::size_t k = 0; k < records; ++k) {
        const std::string_view record(bytes.data() + k * kRecord, kRecord);
        if (record.substr(kRecord - 3) != "A\r\n")
            return "record " + std::to_string(k + 1) + " does not end in A CR LF";
        const char type = record[0];
        const bool known = std::string_view("ABCDGZ").find(type) != std::string_view::npos;
        if ((k == 0) != (type == 'A') || (k + 1 == records) != (type == 'Z') || !known)
            return "record " + std::to_string(k + 1) + " of type " + std::string(1, type) + " out of place";
        ++counts[type];
    }
    // Record Z counts the records B, C, D and G in nine digits each from position 16.
    const std::string_view z(bytes.data() + (records - 1) * kRecord, kRecord);
    std::size_t position = 15;
    for (const char type : {'B', 'C', 'D', 'G'}) {
        const std::string expected = records::padLeft(std::to_string(counts[type]), 9, '0');
        if (z.substr(position, 9) != expected)
            return "record Z counts " + std::string(z.substr(position, 9)) + " records " + type + ", the file holds "
                + expected;
        position += 9;
    }
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

    // Runs the case; an empty text when every check holds, else the first that fails.
    std::string run(RunOutcome& outcome, bool& opened)
    {
        prepareInstallation();
        const fs::path outside = m_work / "outside.dat";
        writeFile(outside, "a file outside the installation");
        plantOutput(outside);

        const Snapshot before = snapshot(m_root);
        const std::string ownHeader = readFile(m_ownHeader);
        const std::string ownArchive = readFile(m_ownArchive);

        Operator person;
        person.reportWanted = m_report;
        person.confirm = m_confirm;
        NoLauncher launcher;
        cu::telematic::RunResult result;
        fs::path output;
        {
            app::ProgramValues shared(m_root);
            cu::CreatelForm form(shared.workplace(person, launcher));
            form.load();
            if (m_askReport)
                form.askForReport();
            opened = form.openArchive(m_archiveText);
            if (opened) {
                form.setSupplyOptions(m_supply);
                output = shared.paths.hostPath(form.outputFolder.text + form.outputName.text);
                result = form.run();
            }
        }
        outcome = result.outcome;
        m_log.push_back("outcome " + outcomeName(opened, outcome));
        for (const Operator::Shown& shown : person.shown)
            m_log.push_back(std::string(shown.question ? "asked: " : "shown: ") + shown.title + " | " + shown.text);

        const auto planted = [&](const fs::path& path) {
            return std::find(m_mayGo.begin(), m_mayGo.end(), path) != m_mayGo.end();
        };
        for (const fs::path& left : temporaryFilesBelow(m_work)) {
            if (!planted(left))
                return "a temporary or lock file was left: " + left.string();
        }
        if (records::temporary_files::count() != 0)
            return "temporary files are still listed for removal";
        if (readFile(m_ownHeader) != ownHeader || readFile(m_ownArchive) != ownArchive)
            return "the run's own header file or archive was changed";
        if (readFile(outside) != "a file outside the installation")
            return "the file a planted link points to was changed";

        const bool completed = opened && (outcome == RunOutcome::Completed || outcome == RunOutcome::Reported);
        if (completed) {
            if (person.successes() != 1)
                return "a completed run showed the success message " + std::to_string(person.successes()) + " times";
            if (result.telematicHostPath != output.string())
                return "the run names " + result.telematicHostPath + " instead of " + output.string();
            if (const std::string fault = telematicFault(readFile(output)); !fault.empty())
                return "a completed run left an incomplete telematic file: " + fault;
            const bool reportShown = readFile(result.reportHostPath).starts_with("   CERTIFICAZIONE UNICA");
            if (outcome == RunOutcome::Reported && !reportShown)
                return "a run with its report shown left no report";
            // The run took over a killed run's lock file and removed the killed run's
            // temporary file of its folder, saying so.
            for (const fs::path& left : m_mayGo) {
                std::error_code ec;
                if (left.parent_path() != output.parent_path())
                    continue;
                if (fs::exists(fs::symlink_status(left, ec)))
                    return "a completed run left a killed run's file: " + left.string();
                const std::string name = records::utf8ToCp1252(left.filename().string());
                const bool told = std::any_of(person.shown.begin(), person.shown.end(), [&](const Operator::Shown& s) {
                    return s.text.starts_with("Rimoss") && s.text.find(name) != std::string::npos;
                });
                if (records::OutputFile::isTemporaryName(left.filename().string()) && !told)
                    return "a killed run's file was removed without a word: " + left.string();
            }
        } else {
            if (person.successes() != 0)
                return "a run that did not complete showed the success message";
            if (opened && outcome == RunOutcome::Stopped && (person.shown.empty() || person.shown.back().question))
                return "a stopped run showed no message";
            if (opened && outcome == RunOutcome::Declined && (person.shown.empty() || !person.shown.back().question))
                return "a declined run did not end at the question";
            if (!opened && person.shown.empty())
                return "an archive that could not be opened showed no message";
        }

        // Nothing else may have changed: the telematic file's target only by a completed
        // run, the report and its batch file only after a success with the report asked for.
        const fs::path dataFolder = m_root / "c/nolv/nv770" / records::kCuIncomeYear;
        const auto mayChange = [&](const fs::path& path) {
            if ((completed && path == output) || planted(path))
                return true;
            return m_askReport && m_report && person.successes() == 1
                && (path == dataFolder / "dati/report.txt" || path == dataFolder / "avstp.bat");
        };
        return differences(before, snapshot(m_root), mayChange);
    }

    const std::vector<std::string>& log() const { return m_log; }

    static std::string outcomeName(bool opened, RunOutcome outcome)
    {
        if (!opened)
            return "archive not opened (exit 1)";
        switch (outcome) {
        case RunOutcome::Completed: return "completed (exit 0)";
        case RunOutcome::Reported: return "reported (exit 0)";
        case RunOutcome::Stopped: return "stopped (exit 1)";
        case RunOutcome::Declined: return "declined (exit 1)";
        }
        return "?";
    }

private:
    bool chance(double p) { return m_dice.chance(p); }
    std::size_t below(std::size_t n) { return m_dice.below(n); }
    template <typename T>
    const T& pick(const std::vector<T>& items)
    {
        return m_dice.pick(items);
    }
    char anyByte() { return m_dice.anyByte(); }
    std::string randomText(std::size_t most, std::string_view letters = {}) { return m_dice.randomText(most, letters); }
    // A value that the payroll data never holds but a damaged file may.
    std::string oddValue()
    {
        static const std::vector<std::string> values = {
            "", " ", "0", "1", "2", "X", "A", "B", "S", "$", "AA", "0 ", "1E99", "-1E99", "9E15", "1E14", "-5",
            "99999999999999999", "12345678901234567890", "00000000", "29022017", "1.5", "1D3", "NaN",
            std::string(4, '\0'), std::string(16, '\0'), "\x1B[2J", "\xFF\xFE",
        };
        return chance(0.8) ? pick(values) : randomText(20);
    }
    void damageHeader(std::string& header)
    {
        if (chance(0.5))
            return;
        static const std::vector<std::string> counts = {
            "1E99", " -3", "9999", "0000", "   0", "0001", "0002", "0003", "0004", "0005", "  12", "1e5", "2.5",
            "D999", "9E99", "-0", std::string(4, '\0'), "abcd", "    ",
        };
        const int damages = static_cast<int>(below(3)) + 1;
        for (int k = 0; k < damages; ++k) {
            switch (below(6)) {
            case 0: {
                const std::string count = chance(0.8) ? pick(counts) : randomText(4, "0123456789 -+.Ee");
                put(header, kHeaderRecord + 2, 4, (std::string(4, ' ') + count).substr(count.size()));
                m_log.push_back("header count \"" + count + "\"");
                break;
            }
            case 1: {
                const char kind = pick(std::vector<char>{'0', '1', '2', ' ', '\0', 'X'});
                put(header, kHeaderRecord + 1, 1, std::string(1, kind));
                m_log.push_back("header kind " + std::to_string(kind));
                break;
            }
            case 2: {
                const int field = static_cast<int>(below(payroll::kHeaderFieldCount)) + 1;
                const payroll::HeaderSlot slot = payroll::headerFieldSlot(field);
                const std::string value = oddValue();
                put(header, static_cast<std::size_t>(slot.position - 1), static_cast<std::size_t>(slot.length), value);
                m_log.push_back("header field " + std::to_string(field) + " \"" + value + "\"");
                break;
            }
            case 3:
                for (int n = static_cast<int>(below(8)) + 1; n > 0; --n)
                    put(header, below(header.size()), 1, std::string(1, anyByte()));
                m_log.push_back("header bytes changed");
                break;
            case 4: {
                const std::size_t size = pick(std::vector<std::size_t>{0, 1, 600, 1199, 1200, 1201, 1205, 2000, 2399});
                header.resize(std::min(size, header.size()));
                m_log.push_back("header cut to " + std::to_string(header.size()) + " bytes");
                break;
            }
            default:
                header.append(randomText(1300));
                m_log.push_back("header lengthened");
                break;
            }
        }
    }

    void damageArchive(std::string& archive)
    {
        if (chance(0.4))
            return;
        const int damages = static_cast<int>(below(3)) + 1;
        for (int k = 0; k < damages; ++k) {
            const std::size_t records = archive.size() / kArchiveRecord;
            const std::size_t record = below(std::max<std::size_t>(records, 1));
            switch (below(6)) {
            case 0: {
                const int entry = static_cast<int>(below(payroll::kCuFieldCount)) + 1;
                const payroll::EntrySlot slot = payroll::cuFieldSlot(entry);
                if (slot.position == 0)
                    break;
                const std::string value = oddValue();
                put(archive, record * kArchiveRecord + static_cast<std::size_t>(slot.position - 1),
                    static_cast<std::size_t>(slot.length), value);
                m_log.push_back("archive record " + std::to_string(record + 1) + " CU " + std::to_string(entry) + " \""
                                + value + "\"");
                break;
            }
            case 1: {
                const char marker = pick(std::vector<char>{'$', ' ', '\0', '*'});
                put(archive, record * kArchiveRecord, 1, std::string(1, marker));
                m_log.push_back("archive record " + std::to_string(record + 1) + " marked " + std::to_string(marker));
                break;
            }
            case 2:
                for (int n = static_cast<int>(below(16)) + 1; n > 0; --n)
                    put(archive, below(archive.size()), 1, std::string(1, anyByte()));
                m_log.push_back("archive bytes changed");
                break;
            case 3: {
                const std::size_t kept = below(records + 1) * kArchiveRecord;
                const std::size_t size
                    = pick(std::vector<std::size_t>{kept, kept + 1, kept + 3000, kept > 0 ? kept - 1 : 0});
                archive.resize(std::min(size, archive.size()));
                m_log.push_back("archive cut to " + std::to_string(archive.size()) + " bytes");
                break;
            }
            case 4: {
                if (records == 0)
                    break;
                const std::string copy = archive.substr(record * kArchiveRecord, kArchiveRecord);
                for (std::size_t n = below(20) + 1; n > 0; --n)
                    archive += copy;
                m_log.push_back("archive lengthened to " + std::to_string(archive.size() / kArchiveRecord)
                                + " records");
                break;
            }
            default:
                archive.append(randomText(7000));
                m_log.push_back("archive lengthened by odd bytes");
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
        const int archive = kArchives[below(std::size(kArchives))];
        m_archiveText = records::digitsText(archive);
        static const std::vector<demo::DemoFile> demoFiles = demo::demoInstallationFiles();
        for (const demo::DemoFile& file : demoFiles) {
            const std::string& name = file.path;
            const bool drive = name == records::kDriveFile;
            const bool cuFile
                = name.find("\\dati\\FCU") != std::string::npos || name.find("\\dati\\DCU") != std::string::npos;
            if (!drive && !cuFile)
                continue;
            std::string bytes = file.bytes;
            const fs::path host = paths.hostPath(name);
            if (name.ends_with("FCU" + m_archiveText + records::kCuFileExtension)) {
                damageHeader(bytes);
                m_ownHeader = host;
            } else if (name.ends_with("DCU" + m_archiveText + records::kCuFileExtension)) {
                damageArchive(bytes);
                m_ownArchive = host;
            } else if (drive && chance(0.02)) {
                bytes = pick(std::vector<std::string>{"", "D:", "C", std::string("C:\0", 3), "\xC0\xAF"});
                m_log.push_back("drive file \"" + bytes + "\"");
            }
            writeFile(host, bytes);
        }
        m_log.insert(m_log.begin(), "archive " + m_archiveText);

        // The operator's moves.
        if (chance(0.05))
            m_archiveText = pick(std::vector<std::string>{"0", "abc", " " + m_archiveText + " ", "3", "1E2", ""});
        m_askReport = chance(0.3);
        m_report = chance(0.8);
        m_confirm = chance(0.8);
        const char kind = pick(std::vector<char>{'N', 'N', 'A', 'S', 'T'});
        if (chance(0.9))
            m_supply.kind = kind;
        const std::vector<std::string> recordTexts
            = {"1", "2", "3", "4", "5", "0", "-1", "abc", "1E99", "1.5", " 2", "", "9999"};
        if (kind != 'N' || chance(0.1))
            m_supply.employeeRecord = chance(0.9) ? pick(recordTexts) : randomText(6);
        if (kind == 'A' || kind == 'S' || chance(0.1)) {
            m_supply.replacedSubmission
                = chance(0.85) ? "17030612345678901" : pick(std::vector<std::string>{"", "   ", randomText(20)});
            m_supply.replacedCertificate
                = chance(0.85) ? "000123" : pick(std::vector<std::string>{"", " ", randomText(8)});
        }
        // Archive 2 states no commitment: the operator usually types it.
        if (chance(m_archiveText == "2" ? 0.8 : 0.2))
            m_supply.commitmentType = pick(std::vector<std::string>{"1", "2", "1", "2", "", "x", " "});
        if (chance(m_archiveText == "2" ? 0.8 : 0.2))
            m_supply.commitmentDate
                = pick(std::vector<std::string>{"01032017", "01032017", "", "99999999", "1E99", " "});
        chooseOutputPath();
        m_log.push_back(std::string("supply ") + (m_supply.kind ? std::string(1, *m_supply.kind) : "as stored")
                        + ", record \"" + m_supply.employeeRecord.value_or("-") + "\", report "
                        + (m_askReport && m_report ? "yes" : "no") + ", confirmation " + (m_confirm ? "yes" : "no"));
    }

    void chooseOutputPath()
    {
        const std::string n(records::trim(m_archiveText));
        const std::string year = records::kCuIncomeYear;
        const std::string extension = records::kCuFileExtension;
        if (chance(0.4)) {
            const std::vector<std::string> folders = {
                "C:\\manca\\", "C:\\loop\\", "C:\\nolv\\nv770\\" + year + "\\DATI\\",
                "\\NOLV\\nv770\\" + year + "\\dati",
                "D:\\", "C:\\",
                "C:\\nolv\\nv770\\" + year + "\\dati\\..\\dati\\", std::string("C:\\\0\\", 4), "C:\\\x1B\\",
            };
            m_supply.outputFolder = pick(folders);
        }
        if (chance(0.5)) {
            const std::vector<std::string> names = {
                "TCU" + n + records::kCuYearDigits, "DCU" + n + extension, "fcu" + n + extension, "DCU1" + extension,
                "FCU7" + extension, "disco.ute", "",
                "..", ".", "..\\..\\TCU", "sub\\TCU", "x\x1By", std::string("TCU\0.x", 6), "a\x7F",
                std::string(300, 'n'), "TCU\xE8", "nolv",
            };
            m_supply.outputName = chance(0.8) ? pick(names) : randomText(12, "abcXYZ019 .\\/~\xE8\xA0");
        }
        m_log.push_back("output \"" + m_supply.outputFolder.value_or("(as the window has it)") + "\" + \""
                        + m_supply.outputName.value_or("(as the window has it)") + "\"");
    }

    // Puts something where the telematic file goes: an older file, a complete telematic
    // file, a link to a file outside the installation, or a folder with a file in it.
    void plantOutput(const fs::path& outside)
    {
        if (chance(0.3))
            fs::create_directory_symlink("loop", m_root / "c/loop");
        const std::string folder = m_supply.outputFolder.value_or(std::string("C:") + records::kCuDataFolder);
        const std::string name
            = m_supply.outputName.value_or("TCU" + std::string(records::trim(m_archiveText)) + records::kCuYearDigits);
        const fs::path target = records::PathMapper(m_root).hostPath(folder + name);
        std::error_code ec;
        if (!target.empty() && fs::is_directory(target.parent_path(), ec) && chance(0.3))
            m_mayGo = plantLeftovers(target, outside, m_dice, m_log);
        if (target.empty() || !fs::is_directory(target.parent_path(), ec) || fs::exists(fs::symlink_status(target, ec)))
            return;
        switch (below(5)) {
        case 0:
            return;
        case 1:
            writeFile(target, "an older file");
            break;
        case 2:
            writeFile(target, "A" + std::string(kRecord - 4, ' ') + "A\r\nZ" + std::string(kRecord - 4, '0') + "A\r\n");
            break;
        case 3:
            fs::create_symlink(outside, target, ec);
            break;
        default:
            writeFile(target / "kept.dat", "kept");
            break;
        }
        m_log.push_back("planted something at " + target.string());
    }

    fs::path m_work;
    fs::path m_root;
    Dice m_dice;
    std::vector<std::string> m_log;
    std::string m_archiveText;
    fs::path m_ownHeader;
    fs::path m_ownArchive;
    bool m_askReport = false;
    bool m_report = false;
    bool m_confirm = false;
    cu::SupplyOptions m_supply;
    std::vector<fs::path> m_mayGo; // a killed run's files, planted: a run may remove them
};

} // namespace

int main(int argc, char** argv)
{
    Options options;
    if (!parse(argc, argv, "cu_fuzz", options))
        return 2;
    return runCases("cu_fuzz", options, [&](const fs::path& folder, long number) {
        Case c(folder, options.seed, number);
        RunOutcome outcome = RunOutcome::Stopped;
        bool opened = false;
        CaseResult result;
        result.failure = c.run(outcome, opened);
        result.outcome = Case::outcomeName(opened, outcome);
        result.log = c.log();
        return result;
    });
}
