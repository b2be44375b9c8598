// The layers stay honest: the tool's own code reaches the system only through the platform's
// public headers, the POSIX half of the platform knows nothing of Qt, the framework reaches
// POSIX only through that half, and what is private to the platform says so and stays there.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct Include {
    std::string header;
    bool angled = false;
    std::string where;  // file:line
};

struct Source {
    fs::path path;  // relative to the source tree
    std::string firstLine;
    std::vector<Include> includes;
    std::vector<std::pair<std::string, std::string>> conditions;  // where, the #if's text
    std::vector<std::string> internals;  // where the platform's inner namespaces are named
};

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

Source Read(const fs::path& relative) {
    Source source{relative, {}, {}, {}};
    std::ifstream in(fs::path(RV_SOURCE_DIR) / relative);
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        if (number == 1) {
            source.firstLine = line;
        }
        const std::string where = relative.string() + ":" + std::to_string(number);
        if (line.find("win_detail::") != std::string::npos ||
            line.find("afx_detail::") != std::string::npos) {
            source.internals.push_back(where);
        }
        std::string name;
        std::string rest;
        if (!Directive(line, name, rest)) {
            continue;
        }
        if (name == "include") {
            const size_t open = rest.find_first_of("<\"");
            const size_t close =
                open == std::string::npos ? open : rest.find_first_of(">\"", open + 1);
            if (close == std::string::npos) {
                ADD_FAILURE() << where << ": an include this check cannot read";
                continue;
            }
            source.includes.push_back(
                {rest.substr(open + 1, close - open - 1), rest[open] == '<', where});
        } else if (name.rfind("if", 0) == 0) {
            source.conditions.emplace_back(where, rest);
        }
    }
    return source;
}

// Every header and source under the folders, read once.
std::vector<Source> Sources(std::initializer_list<const char*> folders) {
    std::vector<Source> sources;
    for (const char* folder : folders) {
        const fs::path dir = fs::path(RV_SOURCE_DIR) / folder;
        if (!fs::exists(dir)) {
            continue;
        }
        for (const auto& entry : fs::recursive_directory_iterator(dir)) {
            const std::string ext = entry.path().extension().string();
            if (ext == ".h" || ext == ".cpp") {
                sources.push_back(Read(fs::relative(entry.path(), RV_SOURCE_DIR)));
            }
        }
    }
    return sources;
}

bool StartsWith(const std::string& text, const std::string& prefix) {
    return text.rfind(prefix, 0) == 0;
}

bool EndsWith(const std::string& text, const std::string& suffix) {
    return text.size() >= suffix.size() &&
           text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

bool IsPrivate(const std::string& header) {
    return EndsWith(header, "_p.h");
}

bool IsQt(const Include& include) {
    return include.angled && (include.header[0] == 'Q' || StartsWith(include.header, "Qt"));
}

// The C++ library's headers have neither extension nor folder; <string.h> is memset's.
bool IsStandard(const Include& include) {
    const std::string& h = include.header;
    return include.angled && !IsQt(include) && h.find('/') == std::string::npos &&
           (h.find('.') == std::string::npos || h == "string.h");
}

bool IsOwn(const Include& include) {
    if (include.angled) {
        return false;
    }
    for (const char* layer : {"platform/", "io/", "pages/", "app/", "res/"}) {
        if (StartsWith(include.header, layer)) {
            return true;
        }
    }
    return false;
}

TEST(LayersTest, AppPagesAndIoReachTheSystemOnlyThroughThePlatformsPublicHeaders) {
    const auto sources = Sources({"app", "pages", "io"});
    ASSERT_FALSE(sources.empty());
    for (const Source& source : sources) {
        for (const Include& include : source.includes) {
            EXPECT_TRUE(IsOwn(include) || IsStandard(include))
                << include.where << " includes " << include.header;
            EXPECT_FALSE(IsPrivate(include.header))
                << include.where << " includes " << include.header;
        }
        for (const std::string& where : source.internals) {
            ADD_FAILURE() << where << " names the platform's inner namespace";
        }
        for (const auto& [where, condition] : source.conditions) {
            for (const char* guard : {"__linux__", "__unix__", "_WIN32", "__APPLE__"}) {
                EXPECT_EQ(condition.find(guard), std::string::npos) << where;
            }
        }
    }
}

// The platform's own tests (tests/platform, tests/afx) and fuzz targets may look inside it.
TEST(LayersTest, ToolsBenchmarksAndTheirSupportUseOnlyPublicPlatformHeaders) {
    const auto sources = Sources({"tools", "bench", "tests/support", "tests/pages", "tests/app",
                                  "tests/io", "tests/e2e", "tests/tools", "tests/display"});
    ASSERT_FALSE(sources.empty());
    for (const Source& source : sources) {
        for (const Include& include : source.includes) {
            EXPECT_FALSE(IsPrivate(include.header))
                << include.where << " includes " << include.header;
        }
        for (const std::string& where : source.internals) {
            ADD_FAILURE() << where << " names the platform's inner namespace";
        }
    }
}

TEST(LayersTest, ThePosixHalfKnowsNoQtAndTheFrameworkNoPosix) {
    const auto win = Sources({"platform/win"});
    const auto afx = Sources({"platform/afx"});
    ASSERT_FALSE(win.empty());
    ASSERT_FALSE(afx.empty());
    for (const Source& source : win) {
        for (const Include& include : source.includes) {
            EXPECT_FALSE(IsQt(include)) << include.where << " includes " << include.header;
            EXPECT_FALSE(StartsWith(include.header, "platform/afx/"))
                << include.where << " includes " << include.header;
        }
    }
    for (const Source& source : afx) {
        for (const Include& include : source.includes) {
            EXPECT_TRUE(!include.angled || IsQt(include) || IsStandard(include))
                << include.where << " includes " << include.header;
        }
    }
}

TEST(LayersTest, PrivateHeadersSaySoAndNoPublicHeaderIncludesOne) {
    const auto sources = Sources({"platform"});
    int privates = 0;
    for (const Source& source : sources) {
        const std::string name = source.path.filename().string();
        const bool isHeader = source.path.extension() == ".h";
        if (IsPrivate(name)) {
            ++privates;
            EXPECT_TRUE(StartsWith(source.firstLine, "// Private to the platform"))
                << source.path.string() << " opens with " << source.firstLine;
        } else if (isHeader) {
            for (const Include& include : source.includes) {
                EXPECT_FALSE(IsPrivate(include.header))
                    << include.where << " includes " << include.header;
                // The framework's public face is plain C++: its users never see a widget.
                if (StartsWith(source.path.string(), "platform/afx/")) {
                    EXPECT_FALSE(IsQt(include)) << include.where << " includes " << include.header;
                }
            }
        }
    }
    EXPECT_GT(privates, 0);
}

TEST(LayersTest, EachPlatformSourceIncludesItsOwnHeaderFirst) {
    for (const Source& source : Sources({"platform"})) {
        if (source.path.extension() != ".cpp") {
            continue;
        }
        // X.cpp implements X.h, X_p.h or both; either opens its includes.
        const fs::path stem = source.path.parent_path() / source.path.stem();
        std::vector<std::string> own;
        for (const char* ending : {".h", "_p.h"}) {
            if (fs::exists(fs::path(RV_SOURCE_DIR) / (stem.string() + ending))) {
                own.push_back(stem.string() + ending);
            }
        }
        if (own.empty()) {
            continue;
        }
        ASSERT_FALSE(source.includes.empty()) << source.path.string();
        EXPECT_NE(std::find(own.begin(), own.end(), source.includes.front().header), own.end())
            << source.path.string() << " opens with " << source.includes.front().header;
    }
}

}  // namespace
