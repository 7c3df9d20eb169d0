#pragma once

#include <string>

namespace uniemens {

// Where the INPS pages that the inditta window opens lie. They are settings because INPS
// moves its services from host to host; a program that knows better passes its own values
// to the form. Each host is a scheme and a host name, without a trailing slash.
struct InpsSettings {
    // Host of the login page of the INPS services for companies ("Sito INPS invio").
    std::string loginHost = "https://serviziweb2.inps.it";
    // Host of the company services menu to which the login page leads.
    std::string companyServicesHost = "https://serviziweb2.inps.it";
};

// The address of the login page: loginHost + "/PassiWeb/jsp/login.jsp?uri=" and the
// percent-encoded address of the company services menu
// (companyServicesHost + "/dm10/menuaziende/default.aspx?S=S"), then "&S=S".
std::string inpsLoginAddress(const InpsSettings& settings);

} // namespace uniemens
