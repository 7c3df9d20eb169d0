#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "uniemens/tests/uniemens_fixtures.h"

namespace uniemens::testing {

// The text content (UTF-8) of every element named `element`, in document order. Fails the
// test when the file is not well-formed XML.
inline std::vector<std::string> parsedTexts(const std::string& xml, std::string_view element)
{
    std::string error;
    std::vector<std::string> texts = elementTexts(xml, element, error);
    EXPECT_TRUE(error.empty()) << error;
    return texts;
}

} // namespace uniemens::testing
