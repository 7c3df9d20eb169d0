// Times a complete CU run on a large synthetic archive against a plain copy of the same
// archive, in one temporary installation:
//
//   cu_run_bench [EMPLOYEES] [--rounds N] [--cold] [--keep DIR] [--only-run]
//   (defaults 100000 and 3)
//
// It builds the CU header file and a CU archive of EMPLOYEES fully filled certificates
// (written record by record), then measures (a) copying the archive's bytes to a new file
// in the same folder, (b) the whole run of the createl window (open the archive, choose
// "N=Normale", FASE 3) and (c) the synced I/O floor of the run: reading the archive and
// writing as many bytes as the telematic file holds, pushed to the disk, N rounds each. It
// prints the best time of each, their ratios, the processor time of the run per
// certification, the share of the run during which the run's thread waited instead of
// computing, the records handled per second and the peak memory of the process. The
// installation is removed at the end; with --keep the telematic file is first copied into
// DIR, so that runs of different builds can be compared byte for byte. --only-run skips the
// copies and runs once, for a profiler.

#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <random>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "app/program_values.h"
#include "cu/createl_form.h"
#include "cu/telematic/quadri_dc_df_dn.h"
#include "cu/telematic/quadro_db.h"
#include "cu/telematic/quadro_rows.h"
#include "payroll/cu_archive.h"
#include "payroll/cu_header.h"
#include "records/host_paths.h"
#include "records/installation.h"
#include "records/prompter.h"
#include "records/text.h"
#include "testing/cu_headers.h"
#include "tools/measure.h"
#include "tools/quiet_operator.h"

namespace fs = std::filesystem;
using namespace cu::telematic;

using tools::CpuTimes;
using tools::NoLauncher;
using tools::best;
using tools::cpuTimes;
using tools::peakMegabytes;
using tools::seconds;
using tools::SilentPrompter;

namespace {

constexpr long kMaxCertifications = 99999; // five digits in records D and G

// The employee count of the second header record has four characters; larger counts are
// written with an exponent, which the numeric value of a text reads ("1E5" is 100000).
std::string employeeCountText(long count)
{
    if (count <= 9999)
        return records::padLeft(std::to_string(count), 4);
    for (int exponent = 1; exponent <= 9; ++exponent) {
        long scale = 1;
        for (int i = 0; i < exponent; ++i)
            scale *= 10;
        if (count % scale != 0)
            continue;
        const std::string text = std::to_string(count / scale) + "E" + std::to_string(exponent);
        if (text.size() <= 4 && count / scale < 100)
            return records::padLeft(text, 4);
    }
    return {};
}

std::string headerFile(long employees)
{
    // A company sending its own CU; the employee count of the header does not matter here.
    return payroll::packHeaderRecord(testing::sampleHeader()) + testing::secondHeaderRecord('1', employeeCountText(employees));
}

void setEntry(payroll::CuFields& fields, Source source, const std::string& text)
{
    if (source.table == Table::Cu)
        fields.cu[source.entry] = records::fitRight(text, payroll::cuFieldSlot(source.entry).length);
    else
        fields.cu2[source.entry] = records::fitRight(text, payroll::secondCuFieldSlot(source.entry).length);
}

// A certificate with every entry filled so that nearly every field of records G is written
// (about 360 fields, five records G), and the personal data of quadro DA.
payroll::CuFields fullCertificate()
{
    payroll::CuFields f;
    payroll::unpackArchiveRecord("$" + std::string(payroll::kArchiveRecordLength - 1, ' '), f);
    for (const auto rows : {quadroDbRows(), dependantRows(), quadroDcRows(), quadroDfRows(), quadroDnRows()}) {
        for (const FieldRow& row : rows) {
            if (row.source.entry == 0)
                continue;
            const int width = row.source.table == Table::Cu ? payroll::cuFieldSlot(row.source.entry).length
                                                             : payroll::secondCuFieldSlot(row.source.entry).length;
            std::string text;
            switch (row.form) {
            case Form::Amount:
            case Form::Whole:
                text = width >= 7 ? std::to_string(row.source.entry) + ".37" : width >= 3 ? "12" : "7";
                break;
            case Form::Flag:
            case Form::LetterFD:
            case Form::LetterFAD:
                text = "X";
                break;
            case Form::LetterC:
                text = "C";
                break;
            case Form::Months:
                for (int month = 0; month < 12; ++month)
                    setEntry(f, cu::telematic::cu(row.source.entry + month), month % 3 == 0 ? "X" : " ");
                continue;
            case Form::DayCount:
                text = "310";
                break;
            case Form::Text:
                text = "RSSMRA80A01H501U";
                break;
            case Form::Trimmed:
            case Form::Entry:
            case Form::BlanksTrimmed:
                text = row.when == When::IsAOrBOrC || row.when == When::TrimmedIsAOrB ? "A"
                    : row.when == When::TrimmedOne || width == 1                     ? "B"
                    : row.when == When::Positive || row.when == When::MunicipalityCode ? "F205"
                                                                                         : "AB";
                break;
            default:
                text = std::string(static_cast<std::size_t>(width), '1');
                break;
            }
            if (row.form == Form::PairedCodes)
                setEntry(f, cu::telematic::cu(row.param), "12");
            setEntry(f, row.source, text);
        }
    }
    f.cu2[17] = records::fitRight("99999.99", 12); // DF group B above its capped amount
    f.cu[368] = " "; // month strings instead of "all months"
    f.cu[385] = " ";

    const std::pair<int, const char*> personal[] = {
        {1, "RSSMRA80A01H501U"}, {2, "ROSSI"}, {3, "MARIO"}, {4, "M"}, {5, "01011980"}, {6, "ROMA"}, {7, "RM"},
        {9, "1"}, {10, "1"}, {11, "MILANO"}, {12, "MI"}, {13, "F205"}, {14, "MILANO"}, {15, "MI"}, {16, "F205"},
    };
    for (const auto& [entry, text] : personal)
        setEntry(f, cu::telematic::cu(entry), text);
    return f;
}

// Writes the CU archive record by record; employees beyond the five-digit certification
// numbers are stored as records not in use, which the run skips.
void writeArchive(const fs::path& file, long records)
{
    payroll::CuFields employee = fullCertificate();
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    for (long k = 1; k <= records; ++k) {
        // Each employee has a fiscal code and amounts of his own.
        char code[17];
        std::snprintf(code, sizeof code, "RSSMRA80A01%05ld", k % 100000);
        employee.cu[1] = code;
        employee.cu[22] = records::fitRight(std::to_string(20000 + k % 9973) + ".5" + std::to_string(k % 10), 12);
        const std::string record = payroll::packArchiveRecord(employee, k <= kMaxCertifications ? payroll::kInUse : ' ');
        out.write(record.data(), static_cast<std::streamsize>(record.size()));
    }
}

// Copies a file as cp does: reads and writes 1 MiB at a time. With `durable` the copy is
// also pushed to the disk before it counts as done, as the run does with the telematic file
// before giving it its name.
void copyFile(const fs::path& from, const fs::path& to, bool durable)
{
    std::FILE* in = tools::openUnbuffered(from, "rb");
    std::FILE* out = tools::openUnbuffered(to, "wb");
    std::vector<char> buffer(1 << 20);
    std::size_t n = 0;
    while ((n = std::fread(buffer.data(), 1, buffer.size(), in)) > 0) {
        if (std::fwrite(buffer.data(), 1, n, out) != n)
            std::exit(2);
    }
    if (durable && ::fdatasync(::fileno(out)) != 0)
        std::exit(2);
    std::fclose(in);
    std::fclose(out);
}

// Writes `bytes` bytes as the run writes its file, while reading `from` as the run reads
// the archive, 1 MiB at a time each, and pushes the written file to the disk: the reading
// and writing that no run can avoid.
void ioFloor(const fs::path& from, const fs::path& to, std::uintmax_t bytes)
{
    std::FILE* in = tools::openUnbuffered(from, "rb");
    std::FILE* out = tools::openUnbuffered(to, "wb");
    const std::size_t block = 1 << 20;
    std::vector<char> buffer(block, ' ');
    std::uintmax_t written = 0;
    for (;;) {
        const std::size_t n = std::fread(buffer.data(), 1, block, in);
        const std::size_t m = n == 0 ? 0 : static_cast<std::size_t>(std::min<std::uintmax_t>(block, bytes - written));
        if (m > 0 && std::fwrite(buffer.data(), 1, m, out) != m)
            std::exit(2);
        written += m;
        if (n == 0)
            break;
    }
    // The file is larger than the archive: the rest is written once the archive is read.
    for (; written < bytes; written += block) {
        const auto m = static_cast<std::size_t>(std::min<std::uintmax_t>(block, bytes - written));
        if (std::fwrite(buffer.data(), 1, m, out) != m)
            std::exit(2);
    }
    if (::fdatasync(::fileno(out)) != 0)
        std::exit(2);
    std::fclose(in);
    std::fclose(out);
}

// Processor time of the calling thread alone, in seconds.
double threadCpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

// One complete run, as the operator starts it in the createl window, with its wall time,
// the processor time of the process and that of the thread that makes the run (the writer
// thread is the other).
struct RunMeasure {
    RunResult result;
    std::vector<std::string> shown;
    double seconds = 0;
    CpuTimes cpu;
    double runThreadCpu = 0;
};

RunMeasure measureRun(const fs::path& root)
{
    SilentPrompter prompter;
    NoLauncher launcher;
    app::ProgramValues shared(root);
    cu::CreatelForm form(shared.workplace(prompter, launcher));

    RunMeasure measure;
    const CpuTimes cpuBefore = cpuTimes();
    const double threadBefore = threadCpuSeconds();
    const auto start = std::chrono::steady_clock::now();
    form.load();
    form.openArchive("1");
    form.chooseSupplyKind(0); // "N=Normale"
    measure.result = form.run();
    measure.seconds = seconds(std::chrono::steady_clock::now() - start);
    measure.runThreadCpu = threadCpuSeconds() - threadBefore;
    const CpuTimes cpuAfter = cpuTimes();
    measure.cpu = {cpuAfter.user - cpuBefore.user, cpuAfter.system - cpuBefore.system};
    measure.shown = std::move(prompter.shown);
    return measure;
}

// Each measurement starts with the memory prepared alike (tools::warmMemory). With `cold`
// the opposite: nothing is written, and the measurement waits until memory freed before has
// gone back to the host, as it has when a program starts on a machine that was doing
// something else.
void prepareMemory(const fs::path& folder, std::uintmax_t bytes, bool cold)
{
    if (!cold) {
        tools::warmMemory(folder, bytes);
        return;
    }
    ::sync();
    std::this_thread::sleep_for(std::chrono::seconds(8));
}

// The floor's wall time; `cpu` receives its processor time, that of the system mostly.
double timedFloor(const fs::path& from, const fs::path& to, std::uintmax_t bytes, CpuTimes& cpu)
{
    const CpuTimes before = cpuTimes();
    const auto start = std::chrono::steady_clock::now();
    ioFloor(from, to, bytes);
    const double time = seconds(std::chrono::steady_clock::now() - start);
    const CpuTimes after = cpuTimes();
    cpu = {after.user - before.user, after.system - before.system};
    fs::remove(to);
    return time;
}

double timedCopy(const fs::path& from, const fs::path& to, bool durable)
{
    const auto start = std::chrono::steady_clock::now();
    copyFile(from, to, durable);
    const double time = seconds(std::chrono::steady_clock::now() - start);
    fs::remove(to);
    return time;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The measurements of one kind of memory, round by round.
struct Condition {
    const char* name = "";
    std::vector<double> copy;
    std::vector<double> durableCopy;
    std::vector<double> run;
    std::vector<double> floor;
    std::vector<double> runUser; // processor time (user) of each round's run
    CpuTimes bestRunCpu;
    CpuTimes bestFloorCpu;
    double bestRunWaiting = 0; // share of the fastest run in which the run's thread did not compute
};

// The rounds alternate (a) the archive's bytes copied to a new file of the same size in the
// same folder, (a') the same copy pushed to the disk (the run pushes the telematic file to
// the disk before giving it its name, a plain copy does not), (b) the complete run and (c)
// the synced I/O floor: the archive read and a file of the telematic file's size written
// and pushed to the disk, the like-for-like reference. Each measurement starts with nothing waiting to be written to the
// disk and the memory prepared alike (see prepareMemory()). Other work on the machine only
// ever adds time, so the best round of each is the figure to compare; the median shows how
// steady the machine was. False, after saying why, when a run did not complete.
bool measureCondition(Condition& condition, bool cold, int rounds, const fs::path& root, const fs::path& archive,
                      const fs::path& keepFolder, std::uintmax_t& telematicBytes)
{
    const fs::path data = archive.parent_path();
    const auto archiveBytes = fs::file_size(archive);
    for (int round = 0; round < rounds; ++round) {
        prepareMemory(data, archiveBytes, cold);
        condition.copy.push_back(timedCopy(archive, data / "DCU1.copy", false));
        prepareMemory(data, archiveBytes, cold);
        condition.durableCopy.push_back(timedCopy(archive, data / "DCU1.copy", true));
        // The telematic file takes 1.9 times the archive.
        prepareMemory(data, 2 * archiveBytes, cold);
        const RunMeasure measure = measureRun(root);
        if (measure.result.outcome != RunOutcome::Completed) {
            std::fprintf(stderr, "the run did not complete:\n");
            for (const std::string& text : measure.shown)
                std::fprintf(stderr, "  %s\n", text.c_str());
            return false;
        }
        if (condition.run.empty() || measure.seconds < best(condition.run)) {
            condition.bestRunCpu = measure.cpu;
            condition.bestRunWaiting = std::max(0.0, 1 - measure.runThreadCpu / measure.seconds);
        }
        condition.run.push_back(measure.seconds);
        condition.runUser.push_back(measure.cpu.user);
        const fs::path telematicFile = measure.result.telematicHostPath;
        telematicBytes = fs::file_size(telematicFile);
        if (round + 1 == rounds && !keepFolder.empty()) {
            std::error_code ec;
            fs::create_directories(keepFolder, ec);
            fs::copy_file(telematicFile, keepFolder / telematicFile.filename(), fs::copy_options::overwrite_existing,
                          ec);
            if (ec)
                std::fprintf(stderr, "the telematic file could not be kept in %s\n", keepFolder.c_str());
        }
        fs::remove(telematicFile); // every round writes the file anew
        prepareMemory(data, 2 * archiveBytes, cold);
        CpuTimes floorCpu;
        const double floorTime = timedFloor(archive, data / "floor.tmp", telematicBytes, floorCpu);
        if (condition.floor.empty() || floorTime < best(condition.floor))
            condition.bestFloorCpu = floorCpu;
        condition.floor.push_back(floorTime);
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    long employees = 100000;
    int rounds = 3;
    bool warm = true;
    bool cold = true;
    bool onlyRun = false; // for a profiler: no copies, one run
    fs::path keepFolder;
    for (int k = 1; k < argc; ++k) {
        const std::string argument = argv[k];
        if (argument == "--keep" && k + 1 < argc)
            keepFolder = argv[++k];
        else if (argument == "--warm")
            cold = false;
        else if (argument == "--cold")
            warm = false;
        else if (argument == "--only-run")
            onlyRun = true;
        else if (argument == "--rounds" && k + 1 < argc)
            rounds = std::atoi(argv[++k]);
        else
            employees = std::atol(argument.c_str());
    }
    if (employees <= 0 || employeeCountText(employees).empty() || rounds < 1 || (!warm && !cold)) {
        std::fprintf(stderr, "EMPLOYEES must fit the four characters of the CU header: up to 9999, or a "
                             "multiple such as 10000 (1E4), 25000 (25E3), 100000 (1E5); ROUNDS at least 1; "
                             "--warm or --cold, not both\n");
        return 1;
    }

    std::random_device device;
    const fs::path root = fs::temp_directory_path() / ("telematico-bench-" + std::to_string(device()));
    const fs::path data = root / "c" / "nolv" / "nv770" / records::kCuIncomeYear / "dati";
    fs::create_directories(data);
    std::ofstream(root / "c" / "disco.ute", std::ios::binary) << "C:        ";
    std::ofstream(data / (std::string("FCU1") + records::kCuFileExtension), std::ios::binary) << headerFile(employees);
    const fs::path archive = data / (std::string("DCU1") + records::kCuFileExtension);
    const auto start = std::chrono::steady_clock::now();
    writeArchive(archive, employees);
    const double buildTime = seconds(std::chrono::steady_clock::now() - start);
    const auto archiveBytes = fs::file_size(archive);
    const double memoryBefore = peakMegabytes();
    const auto removeInstallation = [&] {
        std::error_code ec;
        fs::remove_all(root, ec);
    };
    if (onlyRun) {
        ::sync();
        const RunMeasure measure = measureRun(root);
        std::printf("CU run: %.3f s; processor %.3f s user, %.3f s system; the run's thread %.3f s\n",
                    measure.seconds, measure.cpu.user, measure.cpu.system, measure.runThreadCpu);
        removeInstallation();
        return measure.result.outcome == RunOutcome::Completed ? 0 : 1;
    }

    std::vector<Condition> conditions;
    std::uintmax_t telematicBytes = 0;
    for (const bool coldMemory : {false, true}) {
        if (coldMemory ? !cold : !warm)
            continue;
        Condition& condition = conditions.emplace_back();
        condition.name = coldMemory ? "cold" : "warm";
        if (!measureCondition(condition, coldMemory, rounds, root, archive, keepFolder, telematicBytes)) {
            removeInstallation();
            return 1;
        }
    }
    removeInstallation();

    const long written = std::min(employees, kMaxCertifications);
    const double telematicRecords = static_cast<double>(telematicBytes) / kTelematicRecordLength;
    std::printf("employees in the archive : %ld (%ld written%s)\n", employees, written,
                employees > written ? ", the rest not in use" : "");
    std::printf("archive                  : %.1f MB, built in %.3f s\n", static_cast<double>(archiveBytes) / 1e6,
                buildTime);
    std::printf("telematic file           : %.1f MB, %.0f records (%.2f per employee)\n",
                static_cast<double>(telematicBytes) / 1e6, telematicRecords,
                telematicRecords / static_cast<double>(written));
    std::printf("rounds                   : %d; best of each, median in brackets, in seconds\n\n", rounds);
    std::printf("memory  copy           synced copy    synced floor   CU run         run/copy  run/floor  "
                "run processor (user, system)\n");
    for (const Condition& c : conditions) {
        const double run = best(c.run);
        std::printf("%-6s  %.3f (%.3f)  %.3f (%.3f)  %.3f (%.3f)  %.3f (%.3f)  %8.2f  %9.2f  %.3f, %.3f\n", c.name,
                    best(c.copy), median(c.copy), best(c.durableCopy), median(c.durableCopy), best(c.floor),
                    median(c.floor), run, median(c.run), run / best(c.copy), run / best(c.floor), c.bestRunCpu.user,
                    c.bestRunCpu.system);
    }
    std::printf("\n");
    for (const Condition& c : conditions) {
        const double perCertification = 1e6 / static_cast<double>(written);
        std::printf("%-6s processor per certification: %.2f us user, %.2f us system (the floor's own: %.2f us, "
                    "%.2f us); the run's thread waited %.0f%% of the run (reads, the writer thread, the push "
                    "to the disk)\n",
                    c.name, c.bestRunCpu.user * perCertification, c.bestRunCpu.system * perCertification,
                    c.bestFloorCpu.user * perCertification, c.bestFloorCpu.system * perCertification,
                    100 * c.bestRunWaiting);
        // Round by round: the run against the floor measured right after it.
        std::printf("%-6s each round, run/floor and user processor per certification:", c.name);
        for (std::size_t round = 0; round < c.run.size(); ++round)
            std::printf("  %.2f (%.2f us)", c.run[round] / c.floor[round], c.runUser[round] * perCertification);
        std::printf("\n");
    }
    const double fastestRun = best(conditions.front().run);
    std::printf("\ntarget                   : run at most 1.1 times the synced floor, at most 3 us of processor "
                "time (user) per certification\n");
    std::printf("archive records per s    : %.0f (fastest run)\n", static_cast<double>(employees) / fastestRun);
    std::printf("telematic records per s  : %.0f\n", telematicRecords / fastestRun);
    std::printf("peak memory              : %.1f MB (%.1f MB before the runs; target under 64)\n", peakMegabytes(),
                memoryBefore);
    return 0;
}
