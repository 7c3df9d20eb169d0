#include "registers/employee_code_lists.h"

#include <array>
#include <stdexcept>

#include "payroll/code_tables.h"
#include "records/text.h"

namespace registers {

namespace {

// Kind of employee (Tx 4).
const std::vector<std::string> kQualifications = {
    "1  Operaio", "2  Impiegato", "3  Dirigente", "4  Apprendista escluso dall'INAIL",
    "5  Apprendista soggetto all'INAIL", "6  Lavoratore a domicilio", "7  Equiparato", "8  Viaggiatore/piazzista",
    "9  Dirigenti az.industr.1/1/03 FPLD  ", "A  Atipica ex INPDAI                 ",
    "B  Lav.domestico dip.az.interinale   ", "E  Pilota (fondo volo)               ",
    "F  Pilota in addestramento (12 mesi) ", "G  Pilota collaudatore               ",
    "H  Tecnico di volo                   ", "L  Tecnico di volo in addestramento  ",
    "M  Tecnico di volo per i collaudi    ", "N  Assistente di volo                ",
    "P  Giornalista professionista        ", "Q  Lavoratore Quadro                 ",
    "R  Apprendista qualificato impiegato ", "S  Lavorat. autonomo dello spettacolo",
    "W  Apprendista qualificato           ", "U  Lavoratore autonomo sportivo professionista",
};

// Working time (Tx 5).
const std::vector<std::string> kWorkingTimes = {
    "F  Tempo pieno", "P  Tempo parziale", "V  Tempo parziale verticale", "M  Tempo parziale misto",
};

// Kind of contract (Tx 6).
const std::vector<std::string> kContractKinds = {
    "I  Tempo indeterminato", "S  Stagionale", "D  Tempo determinato o contratto a termine",
    "A  Tempo determinato per sostit.lav.assenti", "T  Stagion.per attivita' di cui al DPR.1525/63",
    "G  Stagionale dal 1/1/2013 al 31/12/2015",
};

// The items of a list of INPS codes: the code filled with blanks to the width of its box,
// a blank and its words, "(descrizione non disponibile)" when the table does not give them.
std::vector<std::string> codeItems(const payroll::CodeTable& table, std::size_t width,
                                   std::vector<std::string> first = {})
{
    std::vector<std::string> items = std::move(first);
    for (const payroll::CodeEntry& entry : table.entries())
        items.push_back(records::padRight(entry.code, width) + " " + *table.describe(entry.code));
    return items;
}

// Contribution type (Tx 7): "Normale" (four blanks), then the INPS codes.
const std::vector<std::string> kContributionTypes = codeItems(payroll::contributionTypes(), 4, {"    Normale"});

// Citizenship (Tx 8): the ISTAT codes of the states, 000 for Italy and 999 for stateless
// persons, in the order of the names.
const std::vector<std::string> kCitizenships = {
    "000 Italia", "301 Afghanistan", "201 Albania", "401 Algeria", "202 Andorra", "402 Angola",
    "503 Antigua e Barbuda", "302 Arabia Saudita", "358 Armenia", "602 Argentina", "701 Australia", "203 Austria",
    "359 Azerbaigian", "505 Bahamas", "304 Bahrein", "305 Bangladesh", "506 Barbados", "206 Belgio", "507 Belize",
    "406 Benin", "256 Bielorussia", "306 Bhutan", "604 Bolivia", "252 Bosnia-Erzegovina", "408 Botswana",
    "605 Brasile", "309 Brunei", "209 Bulgaria", "409 Burkina Faso", "410 Burundi", "310 Cambogia", "411 Camerun",
    "509 Canada", "413 Capo Verde", "415 Ciad", "606 Cile", "314 Cina", "315 Cipro", "246 Citta' del Vaticano",
    "608 Colombia", "417 Comore", "418 Congo", "463 Repubblica Democratica del Congo", "319 Corea del Nord",
    "320 Corea del Sud", "404 Costa d'Avorio", "513 Costa Rica", "250 Croazia", "514 Cuba", "212 Danimarca",
    "515 Dominica", "609 Ecuador", "419 Egitto", "517 El Salvador", "322 Emirati Arabi Uniti", "466 Eritrea",
    "247 Estonia", "420 Etiopia", "703 Figi", "323 Filippine", "214 Finlandia", "215 Francia", "421 Gabon",
    "422 Gambia", "360 Georgia", "216 Germania", "423 Ghana", "518 Giamaica", "326 Giappone", "424 Gibuti",
    "327 Giordania", "220 Grecia", "519 Grenada", "523 Guatemala", "425 Guinea", "426 Guinea-Bissau",
    "427 Guinea Equatoriale", "612 Guyana", "524 Haiti", "525 Honduras", "330 India", "331 Indonesia", "332 Iran",
    "333 Iraq", "221 Irlanda", "712 Isole Marshall", "223 Islanda", "334 Israele", "356 Kazakhstan", "428 Kenya",
    "361 Kirghizistan", "708 Kiribati", "272 Kosovo", "335 Kuwait", "336 Laos", "248 Lettonia", "429 Lesotho",
    "337 Libano", "430 Liberia", "431 Libia", "225 Liechtenstein", "249 Lituania", "226 Lussemburgo",
    "253 Macedonia", "432 Madagascar", "340 Malaysia", "434 Malawi", "339 Maldive", "435 Mali", "227 Malta",
    "436 Marocco", "437 Mauritania", "438 Maurizio", "527 Messico", "713 Micronesia", "254 Moldova", "229 Monaco",
    "341 Mongolia", "270 Montenegro", "440 Mozambico", "307 Myanmar", "441 Namibia", "715 Nauru", "342 Nepal",
    "529 Nicaragua", "442 Niger", "443 Nigeria", "231 Norvegia", "719 Nuova Zelanda", "343 Oman", "232 Paesi Bassi",
    "344 Pakistan", "720 Palau", "324 Territori dell'Autonomia Palestinese", "530 Panama", "721 Papua Nuova Guinea",
    "614 Paraguay", "615 Peru'", "233 Polonia", "234 Portogallo", "345 Qatar", "219 Regno Unito",
    "257 Repubblica Ceca", "414 Repubblica Centrafricana", "516 Repubblica Dominicana", "235 Romania", "446 Ruanda",
    "245 Federazione Russa", "236 San Marino", "534 Saint Kitts e Nevis", "532 Santa Lucia",
    "533 Saint Vincent e Grenadine", "725 Isole Salomone", "727 Samoa", "448 Sao Tome' e Principe",
    "449 Seychelles", "450 Senegal", "271 Serbia", "451 Sierra Leone", "346 Singapore", "348 Siria",
    "255 Slovacchia", "251 Slovenia", "453 Somalia", "239 Spagna", "311 Sri Lanka", "536 Stati Uniti d'America",
    "454 Sudafrica", "455 Sudan", "616 Suriname", "240 Svezia", "241 Svizzera", "456 Swaziland", "362 Tagikistan",
    "363 Taiwan", "457 Tanzania", "349 Thailandia", "338 Timor Orientale", "458 Togo", "730 Tonga",
    "617 Trinidad e Tobago", "460 Tunisia", "351 Turchia", "364 Turkmenistan", "731 Tuvalu", "243 Ucraina",
    "461 Uganda", "244 Ungheria", "618 Uruguay", "357 Uzbekistan", "732 Vanuatu", "619 Venezuela", "353 Vietnam",
    "354 Yemen", "464 Zambia", "465 Zimbabwe", "999 Apolide",
};

// Kind of hiring (Tx 15).
const std::vector<std::string> kHirings = {
    "   Nessuna indicazione", "1  Assunzione", "1N Assunzione a seguito di regolarizzazione",
    "1S Assunzione x stabilizzazione collaborazione", "2  Variazioni aziendali con cambio matricola INPS",
    "2T Assunz.x trasfer.azienda,cambio matricola INPS", "3  Rientro sospensione",
    "3E Rientro da aspettativa elettorale", "3S Rientro da aspettativa sindacale", "9  Altre motivazioni",
};

// Kind of termination (Tx 18).
const std::vector<std::string> kTerminations = {
    "   Nessuna indicazione", "1A Licenziamento", "1B Dimissioni", "1C Fine contratto",
    "1D Licenziamento per giusta causa/giustif.motivo oggettivo",
    "2  Variazioni aziendali con cambio matricola INPS",
    "2T Passaggio diretto/trasf.azienda con cambio soggetto giuridico", "3  Sospensione",
    "3E Sospensione per attivita' elettorale", "3S Sospensione per aspettativa sindacale", "4  Decesso",
    "9  Altre motivazioni",
};

// Worker type (Tx 19).
const std::vector<std::string> kWorkerTypes = codeItems(payroll::workerTypes(), 2);

// Particular worker kind or apprenticeship (Tx 20).
const std::vector<std::string> kWorkerKinds = {
    "     Nessuna indicazione", "CS01 Lavoratore con indennita' art.80 L.388/2000",
    "E000 Lavoratore in aspettativa per funzioni pubbl.elettive",
    "ICSM Lavoratore in progetto ICS - Ministero del lavoro", "ICSS Lavoratore progetto speciale Sardegna",
    "ISPT Lavoratore progetto incentivi Taranto", "LAPA Lavoratore programma P.A.R.I. 2007",
    "LS01 Lavoratore impegnato in LSU", "N000 Lavoratore marittimo con nazionalita' Paese S.E.E.",
    "NR00 Lavoratore non retribuito", "PARI Lavoratore interessato al programma P.A.R.I.",
    "S000 Lavoratore in aspettativa per cariche sindacali",
    "APPA Apprendistato per qualifica e diploma professionale",
    "APPB Apprendistato professionalizzante,Contratto di mestiere", "APPC Apprendistato alta formazione e ricerca",
};

} // namespace

const EmployeeCodeList& employeeCodeList(int combo)
{
    static const std::array<EmployeeCodeList, kEmployeeCodeListCount> lists = {{
        {4, 2, kQualifications},
        {5, 2, kWorkingTimes},
        {6, 2, kContractKinds},
        {7, 4, kContributionTypes},
        {8, 4, kCitizenships},
        {15, 2, kHirings},
        {18, 2, kTerminations},
        {19, 2, kWorkerTypes},
        {20, 4, kWorkerKinds},
    }};
    if (combo < 1 || combo > kEmployeeCodeListCount)
        throw std::out_of_range("employee code list " + std::to_string(combo));
    return lists[static_cast<std::size_t>(combo - 1)];
}

} // namespace registers
