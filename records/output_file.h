#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace records {

// The one way to write a whole new file: the bytes go to a temporary file beside the
// target, and the target takes them all at once, or never.
//
// create() makes the temporary file in the target's folder under a name of its own
// (see temporaryName()), exclusively: it never opens an existing file or follows a
// symbolic link planted under that name, and never empties anything. commit() pushes the
// file to the disk, renames it over the target and pushes the folder to the disk, so that
// the target holds either its earlier bytes or all the new ones, also after a power cut.
// discard() removes the temporary file; so do a failed commit(), the destructor, and a
// stop by SIGTERM, SIGINT, SIGHUP or SIGQUIT (see temporary_files.h). Until commit() the target
// is never touched.
//
// The descriptor may be duplicated for a writer on another thread; every byte written
// through any duplicate must be written before commit().
class OutputFile {
public:
    // What failed in a commit: pushing the bytes to the disk, or giving the file its name.
    enum class Step { None, Sync, Rename };
    struct Outcome {
        int error = 0; // errno value, 0 after a success
        Step step = Step::None;
    };
    // Source of the unique part of temporary names; the default draws random letters.
    using UniqueTags = std::function<std::string()>;

    OutputFile() = default;
    ~OutputFile() { discard(); }
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Creates the temporary file for `target` (a host path), open for reading and writing,
    // and locks it while it is written (see removeLeftovers()). 0, or the errno value of the
    // failure: the target's folder missing (ENOENT) or not a folder, the target a folder
    // (EISDIR), a name too long for the host, no permission...
    // A file already in preparation is discarded first. An existing target lends its
    // permission bits to the new file.
    int create(const std::filesystem::path& target, const UniqueTags& uniqueTags = {});
    bool active() const { return m_descriptor >= 0; }
    int descriptor() const { return m_descriptor; }
    const std::filesystem::path& target() const { return m_target; }
    // Host path of the temporary file (empty when none is in preparation).
    std::filesystem::path temporaryPath() const;

    // Pushes the file to the disk, closes it and renames it over the target. After a
    // failure of the sync or the rename the temporary file is removed and the target
    // untouched. When only the final push of the folder fails the target already holds
    // the new bytes: the outcome still reports the failure (step Sync).
    Outcome commit();
    // Closes and removes the temporary file; the target stays as it was.
    void discard();

    // The temporary name for a target named `targetName`: "~", the target's name (cut to
    // keep the whole within a host file name), ".", the unique tag, ".tmp". It never
    // matches a name that the program reads or writes as a file of the installation.
    static std::string temporaryName(std::string_view targetName, std::string_view tag);
    // True for names that temporaryName() makes, such as a file left by a killed run.
    static bool isTemporaryName(std::string_view name);
    // Removes from the folder `folder` (a host path) what runs that did not end left there:
    // the temporary files whose writer is gone (killed, or its computer stopped) and the
    // lock files that nobody holds (see FileLock). A temporary file is locked by its writer
    // while it is written, so one whose lock can be taken has no writer. Returns the names of
    // the temporary files removed, in alphabetical order; the lock files go without a word,
    // they only ever held a name.
    static std::vector<std::string> removeLeftovers(const std::filesystem::path& folder);

private:
    void release();

    std::filesystem::path m_target;
    std::string m_targetName;
    std::string m_temporaryName;
    int m_folder = -1;
    int m_descriptor = -1;
    int m_entry = -1; // in the table of temporary files
};

// Creates the file `path` (a host path) empty and open for reading and writing, only where
// no entry of that name exists, as the temporary files are created: never opening an
// existing file, never following a symbolic link planted under the name (one that leads
// nowhere included). The descriptor, or -1 with errno set (EEXIST when the name is taken).
int createExclusively(const std::filesystem::path& path);

} // namespace records
