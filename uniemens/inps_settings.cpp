#include "uniemens/inps_settings.h"

namespace uniemens {

namespace {

// Percent-encoding with lower-case digits, as the INPS pages write it ("%2f").
std::string percentEncoded(const std::string& text)
{
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string encoded;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        const bool unreserved = (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z')
            || (byte >= '0' && byte <= '9') || byte == '-' || byte == '_' || byte == '.' || byte == '~';
        if (unreserved) {
            encoded.push_back(c);
        } else {
            encoded.push_back('%');
            encoded.push_back(kDigits[byte >> 4]);
            encoded.push_back(kDigits[byte & 15]);
        }
    }
    return encoded;
}

} // namespace

std::string inpsLoginAddress(const InpsSettings& settings)
{
    return settings.loginHost + "/PassiWeb/jsp/login.jsp?uri=" + percentEncoded(settings.companyServicesHost)
        + "%2fdm10%2fmenuaziende%2fdefault.aspx%3fS%3dS" + "&S=S";
}

} // namespace uniemens
