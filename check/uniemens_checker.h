#pragma once

#include <memory>
#include <string_view>

#include "check/finding.h"
#include "check/options.h"

namespace check::uniemens {

// Checks a UniEmens XML file as it streams past, never holding it whole: well-formed XML
// in the encoding it declares (libxml2 reads it); the elements against the table of
// uniemens_format.h (nesting, order, occurrences, the form of each text, empty elements),
// naming those it does not know; fiscal codes with their check character, dates, days,
// weeks of the year and amounts; the INPS checks of weeks against paid and worked days; the
// individual declarations counted and their contributions summed against the position's
// totals; a matricola twice in one file. The findings inside a worker's or collaborator's
// element name the person. The bytes pass an XmlGate first: libxml2 never sees a document
// type, so no entity is ever expanded, nor any token longer than a declaration has; the
// elements nest at most 100 deep. What the checks remember to find a repetition is bounded
// too: memory does not grow with the file.
class FileChecker {
public:
    FileChecker(FindingSink& sink, const CheckOptions& options);
    ~FileChecker();
    FileChecker(const FileChecker&) = delete;
    FileChecker& operator=(const FileChecker&) = delete;

    // The next bytes of the file, in order.
    void feed(std::string_view bytes);
    // After the last byte.
    void finish();

    // Set after an error that ends the reading of the XML: what follows is not checked.
    bool stopped() const;

    struct Impl;

private:
    std::unique_ptr<Impl> m;
};

} // namespace check::uniemens
