// Runs a program as a second process and collects what it prints, with a hang bound.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace rvtest {

struct Ran {
    int status = -1;  // exit status; -1 when it did not exit by itself
    std::string out;
    std::string err;
};

// argv[0] is the program's path; the environment is this process's.
Ran RunProgram(const std::vector<std::string>& argv, int timeoutMs = 30000);

// The device check built beside the tests, with its arguments.
Ran RunDevices(const std::vector<std::string>& args);

// Whether text holds part; a failure shows both.
testing::AssertionResult Has(const std::string& text, const std::string& part);

}  // namespace rvtest
