#include "platform/win/find.h"

#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>

#include "platform/win/error_p.h"
#include "platform/win/handles.h"
#include "platform/win/handles_p.h"
#include "platform/win/text.h"

namespace {

// Seconds from 1601-01-01 (FILETIME's epoch) to 1970-01-01.
constexpr long long kEpochDelta = 11644473600LL;

FILETIME ToFileTime(const timespec& t) {
    long long ticks = (t.tv_sec + kEpochDelta) * 10000000LL + t.tv_nsec / 100;
    if (ticks < 0) {
        ticks = 0;
    }
    const auto value = static_cast<unsigned long long>(ticks);
    return FILETIME{static_cast<DWORD>(value), static_cast<DWORD>(value >> 32)};
}

void Describe(const std::string& name, const struct stat& st, WIN32_FIND_DATAW* data) {
    std::memset(data, 0, sizeof(*data));
    if (S_ISDIR(st.st_mode)) {
        data->dwFileAttributes |= FILE_ATTRIBUTE_DIRECTORY;
    }
    if ((st.st_mode & S_IWUSR) == 0) {
        data->dwFileAttributes |= FILE_ATTRIBUTE_READONLY;
    }
    if (data->dwFileAttributes == 0) {
        data->dwFileAttributes = FILE_ATTRIBUTE_NORMAL;
    }
    if (!S_ISDIR(st.st_mode)) {
        const auto size = static_cast<unsigned long long>(st.st_size);
        data->nFileSizeHigh = static_cast<DWORD>(size >> 32);
        data->nFileSizeLow = static_cast<DWORD>(size);
    }
    // stat has no birth time; the last write stands in for it.
    data->ftLastWriteTime = ToFileTime(st.st_mtim);
    data->ftCreationTime = data->ftLastWriteTime;
    data->ftLastAccessTime = ToFileTime(st.st_atim);

    const std::u16string wide = Utf8ToUtf16(name);
    size_t length = std::min<size_t>(wide.size(), MAX_PATH - 1);
    if (length < wide.size() && length > 0 && wide[length - 1] >= 0xD800 &&
        wide[length - 1] <= 0xDBFF) {
        --length;  // never leave half a surrogate pair behind
    }
    std::copy_n(wide.data(), length, data->cFileName);
    data->cFileName[length] = 0;
}

// Follows symbolic links, but an entry that is a dangling link still exists.
bool StatEntry(int dirFd, const char* name, struct stat* st) {
    return fstatat(dirFd, name, st, 0) == 0 || fstatat(dirFd, name, st, AT_SYMLINK_NOFOLLOW) == 0;
}

bool HasWildcard(const std::string& pattern) {
    return pattern.find_first_of("*?") != std::string::npos;
}

// fnmatch treats brackets as sets; here they are ordinary characters. "*.*" means every entry,
// with or without an extension, as it always has on the terminal.
std::string ToFnmatchPattern(const std::string& pattern) {
    if (pattern == "*.*") {
        return "*";
    }
    std::string out;
    for (const char c : pattern) {
        if (c == '[' || c == ']') {
            out += '\\';
        }
        out += c;
    }
    return out;
}

bool IsDotEntry(const std::string& name) {
    return name == "." || name == "..";
}

class FindObject : public win_detail::KernelObject {
public:
    // A search over a folder's entries.
    FindObject(DIR* dir, std::string pattern) : m_dir(dir), m_pattern(std::move(pattern)) {}
    // A search for one named entry, already reported: nothing follows it.
    FindObject() = default;
    ~FindObject() override {
        if (m_dir) {
            closedir(m_dir);
        }
    }

    // The next matching entry, or false at the end (the last error says which end).
    bool Next(WIN32_FIND_DATAW* data) {
        std::lock_guard lock(m_mutex);
        if (!m_dir) {
            SetLastError(ERROR_NO_MORE_FILES);
            return false;
        }
        for (;;) {
            errno = 0;
            const dirent* entry = readdir(m_dir);
            if (!entry) {
                SetLastError(errno == 0 ? ERROR_NO_MORE_FILES : win_detail::ErrorFromErrno(errno));
                return false;
            }
            const std::string name = entry->d_name;
            if (IsDotEntry(name) || fnmatch(m_pattern.c_str(), name.c_str(), 0) != 0) {
                continue;
            }
            struct stat st {};
            if (!StatEntry(dirfd(m_dir), entry->d_name, &st)) {
                continue;  // removed since it was listed
            }
            Describe(name, st, data);
            return true;
        }
    }

    void Close() override {
        std::lock_guard lock(m_mutex);
        if (m_dir) {
            closedir(m_dir);
            m_dir = nullptr;
        }
    }

private:
    std::mutex m_mutex;
    DIR* m_dir = nullptr;
    std::string m_pattern;
};

// A missing entry is "file not found" only when its folder exists.
DWORD MissingError(const std::string& folder) {
    struct stat st {};
    return stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode) ? ERROR_FILE_NOT_FOUND
                                                                 : ERROR_PATH_NOT_FOUND;
}

HANDLE Failed(DWORD error) {
    SetLastError(error);
    return INVALID_HANDLE_VALUE;
}

}  // namespace

HANDLE FindFirstFileW(LPCWSTR path, LPWIN32_FIND_DATAW data) {
    if (!path || !data) {
        return Failed(ERROR_INVALID_PARAMETER);
    }
    const std::string posix = ToPosixPath(path);
    const size_t slash = posix.rfind('/');
    const std::string folder = slash == std::string::npos ? "."
                               : slash == 0               ? "/"
                                                          : posix.substr(0, slash);
    const std::string pattern = slash == std::string::npos ? posix : posix.substr(slash + 1);
    if (pattern.empty() || IsDotEntry(pattern)) {
        return Failed(posix.empty() ? ERROR_PATH_NOT_FOUND : ERROR_FILE_NOT_FOUND);
    }

    if (!HasWildcard(pattern)) {
        struct stat st {};
        if (!StatEntry(AT_FDCWD, posix.c_str(), &st)) {
            return Failed(errno == ENOENT    ? MissingError(folder)
                          : errno == ENOTDIR ? ERROR_PATH_NOT_FOUND
                                             : win_detail::ErrorFromErrno(errno));
        }
        Describe(pattern, st, data);
        return win_detail::InsertHandle(std::make_shared<FindObject>());
    }

    DIR* dir = opendir(folder.c_str());
    if (!dir) {
        return Failed(errno == ENOENT || errno == ENOTDIR ? ERROR_PATH_NOT_FOUND
                                                          : win_detail::ErrorFromErrno(errno));
    }
    auto find = std::make_shared<FindObject>(dir, ToFnmatchPattern(pattern));
    if (!find->Next(data)) {
        const DWORD error = GetLastError();
        return Failed(error == ERROR_NO_MORE_FILES ? ERROR_FILE_NOT_FOUND : error);
    }
    return win_detail::InsertHandle(std::move(find));
}

BOOL FindNextFileW(HANDLE find, LPWIN32_FIND_DATAW data) {
    const auto object = win_detail::LookupHandleAs<FindObject>(find);
    if (!object) {
        return win_detail::Fail(ERROR_INVALID_HANDLE);
    }
    if (!data) {
        return win_detail::Fail(ERROR_INVALID_PARAMETER);
    }
    return object->Next(data) ? TRUE : FALSE;
}

BOOL FindClose(HANDLE find) {
    if (!win_detail::LookupHandleAs<FindObject>(find)) {
        return win_detail::Fail(ERROR_INVALID_HANDLE);
    }
    return CloseHandle(find);
}
