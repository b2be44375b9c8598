// The device check run as a second process, and what it prints.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/child.h"

namespace rvtest {

// The device check built beside the tests, with its arguments.
Ran RunDevices(const std::vector<std::string>& args);

// Whether text holds part; a failure shows both.
testing::AssertionResult Has(const std::string& text, const std::string& part);

}  // namespace rvtest
