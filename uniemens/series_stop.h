#pragma once

#include <stdexcept>
#include <string>

namespace uniemens {

inline constexpr const char* kAccessTitle = "Accesso";

// Ends a series of declarations before its end: the XML file is abandoned. The text is the
// stop message to show the operator (stop icon, title "Accesso"); it is empty when the
// record channels have already shown why (a read or write failure).
class SeriesStopped : public std::runtime_error {
public:
    explicit SeriesStopped(const std::string& message = {})
        : std::runtime_error(message)
    {
    }
};

} // namespace uniemens
