#include "platform/afx/text_wrap_p.h"

#include <algorithm>

namespace afx_detail {

namespace {

// Without a limit, a run of characters that take no width would be one visual line of any
// length, and wrapping or painting it would cost as much as the whole text.
constexpr int kMaxLineLength = 2048;

bool IsBlank(QChar c) {
    return c == u' ' || c == u'\t';
}

}  // namespace

void CharAdvances::SetFont(const QFont& font) {
    m_metrics.emplace(font);
    for (size_t c = 0; c < m_ascii.size(); ++c) {
        m_ascii[c] = (c < 0x20 || c == 0x7f)
                         ? 0
                         : m_metrics->horizontalAdvance(QChar(static_cast<char16_t>(c)));
    }
    m_other.clear();
    const qreal average = m_metrics->averageCharWidth();
    m_tabStop = 8 * (average > 0 ? average : std::max<qreal>(m_ascii['x'], 1));
}

qreal CharAdvances::Of(char32_t code) const {
    const auto found = m_other.constFind(code);
    if (found != m_other.cend()) {
        return *found;
    }
    qreal width = 0;
    if (QChar::category(code) != QChar::Other_Control) {
        width = code > 0xffff ? m_metrics->horizontalAdvance(QString::fromUcs4(&code, 1))
                              : m_metrics->horizontalAdvance(QChar(static_cast<char16_t>(code)));
    }
    m_other.insert(code, width);
    return width;
}

qreal CharAdvances::Step(QStringView text, int& pos, qreal x) const {
    const QChar c = text[pos++];
    if (c.unicode() < m_ascii.size()) {
        return c == u'\t' ? (std::floor(x / m_tabStop) + 1) * m_tabStop : x + m_ascii[c.unicode()];
    }
    if (c.isHighSurrogate() && pos < text.size() && text[pos].isLowSurrogate()) {
        return x + Of(QChar::surrogateToUcs4(c, text[pos++]));
    }
    return x + Of(c.unicode());
}

void WrapIndex::Rebuild(QStringView text, const CharAdvances& advances, qreal width) {
    m_width = width;
    m_starts.assign(1, 0);
    WrapFrom(text, advances);
}

int WrapIndex::Extend(QStringView text, const CharAdvances& advances) {
    // What arrives may join the end of the line before the last: the LF of a CR LF, or the low
    // half of a surrogate pair.
    if (m_starts.size() > 1) {
        const QChar before = text[m_starts.back() - 1];
        if (before == u'\r' || before.isHighSurrogate()) {
            m_starts.pop_back();
        }
    }
    const int changed = Count() - 1;
    WrapFrom(text, advances);
    return changed;
}

int WrapIndex::DropFront(int count) {
    const int gone = LineOf(count);
    m_starts.erase(m_starts.begin(), m_starts.begin() + gone);
    for (int& start : m_starts) {
        start = std::max(0, start - count);
    }
    return gone;
}

int WrapIndex::LineOf(int pos) const {
    const auto after = std::upper_bound(m_starts.begin(), m_starts.end(), pos);
    return std::max(0, static_cast<int>(after - m_starts.begin()) - 1);
}

// Word wrap as an edit control does it: blanks never wrap (they hang past the edge), a line
// breaks after its last blank, and a word longer than the line breaks where it overflows.
void WrapIndex::WrapFrom(QStringView text, const CharAdvances& advances) {
    const int length = static_cast<int>(text.size());
    int lineStart = m_starts.back();
    int breakAfterBlank = -1;
    qreal x = 0;
    const auto newLine = [&](int start) {
        m_starts.push_back(start);
        lineStart = start;
        breakAfterBlank = -1;
        x = 0;
    };
    int pos = lineStart;
    while (pos < length) {
        const QChar c = text[pos];
        if (c == u'\n' || c == u'\r') {
            pos += (c == u'\r' && pos + 1 < length && text[pos + 1] == u'\n') ? 2 : 1;
            newLine(pos);
            continue;
        }
        const int at = pos;
        const qreal next = advances.Step(text, pos, x);
        if (IsBlank(c)) {
            breakAfterBlank = pos;
        } else if (next > m_width && at > lineStart) {
            pos = breakAfterBlank > lineStart ? breakAfterBlank : at;
            newLine(pos);
            continue;
        }
        x = next;
        if (pos - lineStart >= kMaxLineLength) {
            newLine(pos);
        }
    }
}

}  // namespace afx_detail
