// The layers stay honest: the tool's own code reaches the system only through platform/.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace {

namespace fs = std::filesystem;

bool IsOwnHeader(const std::string& header) {
    for (const char* layer : {"platform/", "io/", "pages/", "app/", "res/"}) {
        if (header.rfind(layer, 0) == 0) {
            return true;
        }
    }
    return false;
}

// Standard C++ headers have no extension and no folder; <string.h> is the C library's memset.
bool IsStandardHeader(const std::string& header) {
    return header.find('/') == std::string::npos &&
           (header.find('.') == std::string::npos || header == "string.h") && header[0] != 'Q';
}

// The directive of a preprocessor line ("include", "ifdef"...) and what follows it.
bool Directive(const std::string& line, std::string& name, std::string& rest) {
    size_t i = line.find_first_not_of(" \t");
    if (i == std::string::npos || line[i] != '#') {
        return false;
    }
    i = line.find_first_not_of(" \t", i + 1);
    const size_t end = line.find_first_of(" \t<\"", i);
    name = line.substr(i, end == std::string::npos ? std::string::npos : end - i);
    rest = end == std::string::npos ? "" : line.substr(end);
    return true;
}

TEST(LayersTest, AppPagesAndIoIncludeOnlyPlatformHeadersAndTheStandardLibrary) {
    int files = 0;
    for (const char* layer : {"app", "pages", "io"}) {
        const fs::path dir = fs::path(RV_SOURCE_DIR) / layer;
        if (!fs::exists(dir)) {
            continue;
        }
        for (const auto& entry : fs::recursive_directory_iterator(dir)) {
            const std::string ext = entry.path().extension().string();
            if (ext != ".h" && ext != ".cpp") {
                continue;
            }
            ++files;
            std::ifstream in(entry.path());
            std::string line;
            for (int number = 1; std::getline(in, line); ++number) {
                std::string name;
                std::string rest;
                if (!Directive(line, name, rest)) {
                    continue;
                }
                const std::string where = entry.path().string() + ":" + std::to_string(number);
                if (name == "include") {
                    const size_t open = rest.find_first_of("<\"");
                    ASSERT_NE(open, std::string::npos) << where;
                    const size_t close = rest.find_first_of(">\"", open + 1);
                    const std::string header = rest.substr(open + 1, close - open - 1);
                    const bool ok =
                        rest[open] == '"' ? IsOwnHeader(header) : IsStandardHeader(header);
                    EXPECT_TRUE(ok) << where << " includes " << header;
                } else if (name.rfind("if", 0) == 0) {
                    for (const char* guard : {"__linux__", "__unix__", "_WIN32", "__APPLE__"}) {
                        EXPECT_EQ(rest.find(guard), std::string::npos) << where;
                    }
                }
            }
        }
    }
    EXPECT_GT(files, 0);
}

}  // namespace
