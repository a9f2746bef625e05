#pragma once
// Table rows carry a `label`: it names the generated test and is what a
// failure message prints for the row, in place of its raw bytes.

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace kw::test {

template <typename Case>
auto operator<<(std::ostream& os, const Case& testCase) -> decltype(testCase.label, os)
{
    return os << testCase.label;
}

struct CaseLabel {
    template <typename Case>
    std::string operator()(const testing::TestParamInfo<Case>& info) const
    {
        return info.param.label;
    }
};

} // namespace kw::test
