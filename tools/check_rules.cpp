// The table of every rule of the check before sending: the rules across fields and
// elements, the positional fields of the CU records, the forms of the CU elements (grouped
// by form and ground) and the elements of the UniEmens declaration, each with its ground and
// the level that follows from it. Markdown, UTF-8, on the standard output.
#include <iostream>

#include "check/rules.h"
#include "records/cp1252.h"

int main()
{
    std::cout << records::cp1252ToUtf8(check::ruleTableText());
    return 0;
}
