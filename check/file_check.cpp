#include "check/file_check.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <ctime>
#include <mutex>
#include <thread>
#include <vector>

#include "check/cu_checker.h"
#include "check/cu_format.h"
#include "check/uniemens_checker.h"

namespace check {

namespace {

constexpr std::size_t kProbe = 4096;
// The CU file is read a few thousand records at a time, the XML file in pieces of 256 KB.
constexpr std::size_t kCuChunk = static_cast<std::size_t>(cu::kRecordLength) * 1024;
constexpr std::size_t kXmlChunk = 256 * 1024;

std::string_view skipBlanks(std::string_view text)
{
    while (!text.empty() && (text[0] == ' ' || text[0] == '\t' || text[0] == '\r' || text[0] == '\n'))
        text.remove_prefix(1);
    return text;
}

// An open file descriptor, closed at the end.
class File {
public:
    explicit File(int descriptor)
        : m_descriptor(descriptor)
    {
    }
    ~File()
    {
        if (m_descriptor >= 0)
            ::close(m_descriptor);
    }
    File(const File&) = delete;
    File& operator=(const File&) = delete;
    int get() const { return m_descriptor; }

private:
    int m_descriptor;
};

// Reads up to `size` bytes, as many as there are; -1 after an error (errno set).
long long readFully(int descriptor, char* buffer, std::size_t size)
{
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::read(descriptor, buffer + done, size - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return -1;
        }
        if (n == 0)
            break;
        done += static_cast<std::size_t>(n);
    }
    return static_cast<long long>(done);
}

std::string readError(int error)
{
    switch (error) {
    case ENOENT: return "il file non esiste";
    case EACCES:
    case EPERM: return "non si ha il permesso di leggere il file";
    case EISDIR: return "e' una cartella, non un file";
    case EIO: return "errore di lettura del disco";
    default: return std::string("lettura non riuscita (") + std::strerror(error) + ")";
    }
}

std::string notAFile(mode_t mode)
{
    if (S_ISDIR(mode))
        return readError(EISDIR);
    if (S_ISFIFO(mode))
        return "e' una pipe (FIFO), non un file: si verificano solo i file";
    if (S_ISSOCK(mode))
        return "e' un socket, non un file: si verificano solo i file";
    return "e' un dispositivo, non un file: si verificano solo i file";
}

// Reads the file on a thread of its own, a piece ahead of the check: while one piece is
// checked the next is read, so a large file costs little more than reading it.
class ReadAhead {
public:
    ReadAhead(int descriptor, std::size_t chunk)
        : m_descriptor(descriptor)
        , m_buffers{std::vector<char>(chunk), std::vector<char>(chunk)}
        , m_thread([this] { run(); })
    {
    }
    ~ReadAhead()
    {
        {
            std::lock_guard lock(m_mutex);
            m_quit = true;
        }
        m_changed.notify_all();
        m_thread.join();
    }

    // The next piece; empty at the end of the file. `error` is set after a read error.
    std::string_view next(int& error)
    {
        std::unique_lock lock(m_mutex);
        if (m_taken >= 0) {
            m_free[static_cast<std::size_t>(m_taken)] = true; // the piece given before is done with
            m_taken = -1;
            m_changed.notify_all();
        }
        m_changed.wait(lock, [this] { return m_ready[m_front] || m_finished; });
        if (!m_ready[m_front]) {
            error = m_error;
            return {};
        }
        const int index = m_front;
        m_ready[static_cast<std::size_t>(index)] = false;
        m_taken = index;
        m_front = 1 - m_front;
        return std::string_view(m_buffers[static_cast<std::size_t>(index)].data(), m_sizes[static_cast<std::size_t>(index)]);
    }

private:
    void run()
    {
        int index = 0;
        while (true) {
            {
                std::unique_lock lock(m_mutex);
                m_changed.wait(lock, [&] { return m_free[static_cast<std::size_t>(index)] || m_quit; });
                if (m_quit)
                    return;
                m_free[static_cast<std::size_t>(index)] = false;
            }
            std::vector<char>& buffer = m_buffers[static_cast<std::size_t>(index)];
            const long long n = readFully(m_descriptor, buffer.data(), buffer.size());
            std::lock_guard lock(m_mutex);
            if (n <= 0) {
                m_error = n < 0 ? errno : 0;
                m_finished = true;
                m_changed.notify_all();
                return;
            }
            m_sizes[static_cast<std::size_t>(index)] = static_cast<std::size_t>(n);
            m_ready[static_cast<std::size_t>(index)] = true;
            m_changed.notify_all();
            if (static_cast<std::size_t>(n) < buffer.size()) {
                m_finished = true;
                return;
            }
            index = 1 - index;
        }
    }

    int m_descriptor;
    std::vector<char> m_buffers[2];
    std::size_t m_sizes[2] = {0, 0};
    bool m_ready[2] = {false, false};
    bool m_free[2] = {true, true};
    int m_front = 0;
    int m_taken = -1;
    bool m_finished = false;
    bool m_quit = false;
    int m_error = 0;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::thread m_thread;
};

} // namespace

namespace {

// The kind of a file by its first bytes; for a file of no known kind, why, when more can be
// said than that it is neither.
FileKind recognise(std::string_view start, std::string* why)
{
    if (start.empty())
        return FileKind::Unknown;
    if (start[0] == 'A')
        return FileKind::Cu;
    if (start.size() >= static_cast<std::size_t>(cu::kRecordLength)
        && start.substr(cu::kEndMarker - 1, 3) == std::string_view("A\r\n", 3))
        return FileKind::Cu;
    const auto said = [&](std::string text) {
        if (why)
            *why = std::move(text);
        return FileKind::Unknown;
    };
    // Text of two or four bytes a character, with its byte order mark or by the "<" that an
    // XML file starts with.
    const auto startsWith = [&](std::string_view bytes) { return start.starts_with(bytes); };
    using namespace std::string_view_literals;
    if (startsWith("\xFF\xFE\0\0"sv) || startsWith("\0\0\xFE\xFF"sv) || startsWith("<\0\0\0"sv) || startsWith("\0\0\0<"sv))
        return said("e' un file di testo in UTF-32 (quattro byte per carattere): la verifica legge i file UniEmens in "
                    "UTF-8, ISO-8859-1 o Windows-1252; salvarlo in UTF-8 per verificarlo");
    if (startsWith("\xFF\xFE"sv) || startsWith("\xFE\xFF"sv) || startsWith("<\0"sv) || startsWith("\0<"sv))
        return said("e' un file di testo in UTF-16 (due byte per carattere): la verifica legge i file UniEmens in "
                    "UTF-8, ISO-8859-1 o Windows-1252; salvarlo in UTF-8 per verificarlo");
    std::string_view text = start;
    if (text.starts_with("\xEF\xBB\xBF"))
        text.remove_prefix(3);
    // The declaration, comments and a document type may come before the first element.
    while (true) {
        text = skipBlanks(text);
        if (text.starts_with("<!DOCTYPE")) {
            // The document type names the first element: its declarations are not read here.
            std::string_view name = skipBlanks(text.substr(9));
            std::size_t length = 0;
            while (length < name.size() && length < 60 && name[length] != '[' && name[length] != '>'
                   && skipBlanks(name.substr(length, 1)).size() == 1)
                ++length;
            name = name.substr(0, length);
            if (name == "DenunceMensili")
                return FileKind::Uniemens;
            std::string shown;
            for (const char c : name)
                shown += c > ' ' && c < 127 ? c : '?';
            return said("e' un file XML che dichiara il tipo di documento (DOCTYPE) " + shown
                        + ": non e' un file UniEmens (XML con l'elemento DenunceMensili)");
        }
        if (text.starts_with("<?") || text.starts_with("<!--") || text.starts_with("<!")) {
            const std::string_view end = text.starts_with("<?") ? "?>" : text.starts_with("<!--") ? "-->" : ">";
            const auto at = text.find(end);
            if (at == std::string_view::npos)
                return FileKind::Unknown;
            text.remove_prefix(at + end.size());
            continue;
        }
        break;
    }
    if (text.starts_with("<DenunceMensili")) {
        const std::string_view after = text.substr(std::string_view("<DenunceMensili").size());
        if (after.empty() || after[0] == '>' || after[0] == ' ' || after[0] == '/' || after[0] == '\r'
            || after[0] == '\n' || after[0] == '\t')
            return FileKind::Uniemens;
    }
    return FileKind::Unknown;
}

} // namespace

FileKind kindOf(std::string_view start)
{
    return recognise(start, nullptr);
}

FileCheckResult checkFile(const std::string& hostPath, FindingSink& sink, const CheckOptions& options,
                          const CheckProgress& progress)
{
    FileCheckResult result;
    // Opened without waiting: a named pipe that nobody writes would keep open() waiting for
    // ever. Only a file is checked; a pipe, a device or a folder is named as such.
    const File file(::open(hostPath.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (file.get() < 0) {
        result.error = readError(errno);
        return result;
    }
    struct stat status {};
    if (::fstat(file.get(), &status) != 0) {
        result.error = readError(errno);
        return result;
    }
    if (!S_ISREG(status.st_mode)) {
        result.error = notAFile(status.st_mode);
        return result;
    }
    if (const int flags = ::fcntl(file.get(), F_GETFL); flags >= 0)
        ::fcntl(file.get(), F_SETFL, flags & ~O_NONBLOCK);
    const auto total = static_cast<std::uint64_t>(status.st_size);
#ifdef POSIX_FADV_SEQUENTIAL
    ::posix_fadvise(file.get(), 0, 0, POSIX_FADV_SEQUENTIAL);
#endif

    // The first bytes tell the kind; they are then checked with the rest.
    std::string first(kCuChunk, '\0');
    const long long firstSize = readFully(file.get(), first.data(), first.size());
    if (firstSize < 0) {
        result.error = readError(errno);
        return result;
    }
    first.resize(static_cast<std::size_t>(firstSize));
    std::string why;
    result.kind = recognise(std::string_view(first).substr(0, std::max(kProbe, static_cast<std::size_t>(cu::kRecordLength))),
                            &why);
    if (result.kind == FileKind::Unknown) {
        result.error = first.empty()  ? "il file e' vuoto"
                       : !why.empty() ? why
                                      : "non e' un file telematico della CU (record di 1900 byte che iniziano con il "
                                        "record A) ne' un file UniEmens (XML con l'elemento DenunceMensili)";
        return result;
    }
    sink.started(result.kind);
    const auto cancelled = [&] { return progress.cancel && progress.cancel->load(); };
    std::uint64_t done = 0;
    const auto advance = [&](std::size_t bytes) {
        done += bytes;
        result.bytes = done;
        if (progress.advanced)
            progress.advanced(done, std::max(total, done));
    };

    if (result.kind == FileKind::Cu) {
        cu::FileChecker checker(sink, options);
        std::string carry; // a record cut between two pieces
        const auto take = [&](std::string_view piece) {
            const std::size_t record = cu::kRecordLength;
            if (!carry.empty()) {
                const std::size_t missing = record - carry.size();
                carry.append(piece.substr(0, missing));
                piece.remove_prefix(std::min(missing, piece.size()));
                if (carry.size() < record)
                    return;
                checker.record(carry);
                carry.clear();
            }
            while (piece.size() >= record && !checker.stopped()) {
                checker.record(piece.substr(0, record));
                piece.remove_prefix(record);
            }
            carry.assign(piece);
        };
        take(first);
        advance(first.size());
        first = std::string();
        if (static_cast<std::size_t>(firstSize) == kCuChunk) {
            ReadAhead reader(file.get(), kCuChunk);
            while (!checker.stopped()) {
                if (cancelled()) {
                    result.error = "verifica interrotta";
                    return result;
                }
                int error = 0;
                const std::string_view piece = reader.next(error);
                if (error != 0) {
                    result.error = readError(error);
                    return result;
                }
                if (piece.empty())
                    break;
                take(piece);
                advance(piece.size());
            }
        }
        if (!carry.empty() && !checker.stopped())
            checker.record(carry);
        checker.finish();
        return result;
    }

    uniemens::FileChecker checker(sink, options);
    // The first bytes in pieces too, so that a check given up stops within one of them.
    for (std::size_t at = 0; at < first.size() && !checker.stopped(); at += kXmlChunk) {
        if (cancelled()) {
            result.error = "verifica interrotta";
            return result;
        }
        const std::string_view piece = std::string_view(first).substr(at, kXmlChunk);
        checker.feed(piece);
        advance(piece.size());
    }
    std::vector<char> buffer(kXmlChunk);
    while (static_cast<std::size_t>(firstSize) == kCuChunk && !checker.stopped()) {
        if (cancelled()) {
            result.error = "verifica interrotta";
            return result;
        }
        const long long n = readFully(file.get(), buffer.data(), buffer.size());
        if (n < 0) {
            result.error = readError(errno);
            return result;
        }
        if (n == 0)
            break;
        checker.feed(std::string_view(buffer.data(), static_cast<std::size_t>(n)));
        advance(static_cast<std::size_t>(n));
    }
    checker.finish();
    return result;
}

Day today()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return (local.tm_year + 1900) * 10000 + (local.tm_mon + 1) * 100 + local.tm_mday;
}

} // namespace check
