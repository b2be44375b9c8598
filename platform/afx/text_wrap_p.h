// Private to the platform: only code under platform/ (and the platform's own tests) includes
// this header; it may change with the platform's inner workings.
//
// Word wrap for TextView (text_view_p.h): the width of each character in a font, and the
// start of every visual line of a text wrapped to a width. CR LF, a lone CR and a lone LF
// each break the line; tabs advance to the next multiple of eight average character widths;
// other control characters take no width.
#pragma once

#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QStringView>

#include <array>
#include <deque>
#include <optional>

namespace afx_detail {

// Advances of characters in one font: ASCII from a table, the rest cached on first use.
class CharAdvances {
public:
    void SetFont(const QFont& font);

    // The x after the character at pos when it starts at x; pos moves past it (a surrogate
    // pair is one character). Tabs go to the next stop, control characters take no width.
    qreal Step(QStringView text, int& pos, qreal x) const;

private:
    qreal Of(char32_t code) const;

    std::optional<QFontMetricsF> m_metrics;
    std::array<qreal, 128> m_ascii{};
    mutable QHash<char32_t, qreal> m_other;
    qreal m_tabStop = 1;
};

// Start positions of the visual lines of a text wrapped to a width. Lines before the last
// one never change when text is appended, so growing the text re-wraps only the last line.
// When the text loses its first characters, the lines before the cut go and the line that
// holds it begins there: it is not wrapped anew with the line after it.
class WrapIndex {
public:
    void Rebuild(QStringView text, const CharAdvances& advances, qreal width);
    // The text grew at its end; returns the first line whose start or content changed.
    int Extend(QStringView text, const CharAdvances& advances);
    // The text lost its first count characters; returns how many lines went.
    int DropFront(int count);

    int Count() const { return static_cast<int>(m_starts.size()); }
    int Start(int line) const { return m_starts[static_cast<size_t>(line)]; }
    int End(int line, int length) const { return line + 1 < Count() ? Start(line + 1) : length; }
    // The line shown holding pos; a position where a line wraps belongs to the later line.
    int LineOf(int pos) const;

private:
    void WrapFrom(QStringView text, const CharAdvances& advances);

    // A deque: growing it never copies what it holds, and its front goes without moving the
    // rest.
    std::deque<int> m_starts{0};
    qreal m_width = 0;
};

}  // namespace afx_detail
