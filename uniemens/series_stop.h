#pragma once

#include <stdexcept>
#include <string>

#include "records/file_result.h"

namespace uniemens {

inline constexpr const char* kAccessTitle = "Accesso";

// Ends a series of declarations before its end: the XML file is abandoned. The operator is
// shown, in this order, the failure of the file that could not be read or written (as the
// record files show theirs: no icon, default title), when there was one, and the stop
// message (stop icon, title "Accesso"), when there is one.
class SeriesStopped : public std::runtime_error {
public:
    explicit SeriesStopped(const std::string& message = {}, records::FileResult failure = {})
        : std::runtime_error(message)
        , m_failure(std::move(failure))
    {
    }
    explicit SeriesStopped(records::FileResult failure)
        : SeriesStopped(std::string(), std::move(failure))
    {
    }

    const records::FileResult& failure() const { return m_failure; }

private:
    records::FileResult m_failure;
};

} // namespace uniemens
