#include "platform/win/cstring.h"

#include <algorithm>

#include "platform/win/text.h"

void CString::Empty() {
    m_text.clear();
}

int CString::Delete(int index, int count) {
    if (index >= 0 && count > 0 && static_cast<size_t>(index) < m_text.size()) {
        m_text.erase(static_cast<size_t>(index), static_cast<size_t>(count));
    }
    return GetLength();
}

CString::CString(const WCHAR* text) : m_text(text ? text : u"") {}

CString::CString(const WCHAR* text, int length)
    : m_text(text && length > 0 ? std::u16string(text, static_cast<size_t>(length))
                                : std::u16string()) {}

CString::CString(WCHAR ch, int repeat) : m_text(repeat > 0 ? static_cast<size_t>(repeat) : 0, ch) {}

CString CString::Left(int count) const {
    if (count <= 0) {
        return CString();
    }
    return CString(m_text.substr(0, static_cast<size_t>(count)));
}

CString CString::Right(int count) const {
    if (count <= 0) {
        return CString();
    }
    const size_t n = std::min(m_text.size(), static_cast<size_t>(count));
    return CString(m_text.substr(m_text.size() - n));
}

CString CString::Mid(int first) const {
    first = std::max(first, 0);
    if (static_cast<size_t>(first) >= m_text.size()) {
        return CString();
    }
    return CString(m_text.substr(static_cast<size_t>(first)));
}

int CString::Find(WCHAR ch, int start) const {
    if (start < 0 || static_cast<size_t>(start) >= m_text.size()) {
        return -1;
    }
    const size_t at = m_text.find(ch, static_cast<size_t>(start));
    return at == std::u16string::npos ? -1 : static_cast<int>(at);
}

int CString::ReverseFind(WCHAR ch) const {
    const size_t at = m_text.rfind(ch);
    return at == std::u16string::npos ? -1 : static_cast<int>(at);
}

CString& CString::operator=(LPCWSTR text) {
    m_text.assign(text ? text : u"");
    return *this;
}

CString& CString::operator+=(const CString& other) {
    m_text += other.m_text;
    return *this;
}

CString& CString::operator+=(LPCWSTR text) {
    m_text.append(text ? text : u"");
    return *this;
}

CString& CString::operator+=(WCHAR ch) {
    m_text += ch;
    return *this;
}

LPWSTR CString::GetBuffer(int minLength) {
    if (minLength > 0 && static_cast<size_t>(minLength) > m_text.size()) {
        m_text.resize(static_cast<size_t>(minLength));
    }
    return m_text.data();
}

void CString::ReleaseBuffer(int newLength) {
    if (newLength < 0) {
        m_text.resize(std::char_traits<char16_t>::length(m_text.c_str()));
    } else {
        m_text.resize(std::min(m_text.size(), static_cast<size_t>(newLength)));
    }
}

CString operator+(const CString& a, const CString& b) {
    return CString(a.m_text + b.m_text);
}

CString operator+(const CString& a, LPCWSTR b) {
    CString r(a);
    r += b;
    return r;
}

CString operator+(LPCWSTR a, const CString& b) {
    CString r(a);
    r += b;
    return r;
}

CString operator+(const CString& a, WCHAR b) {
    CString r(a);
    r += b;
    return r;
}
