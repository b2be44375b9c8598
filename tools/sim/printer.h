// The receipt printer behind COM0: turns what the tool sends into printed lines.
//
// Text is code page 936 (one byte for ASCII, two for Chinese). LF prints the line; CR is
// ignored, as by most receipt printers; ESC @ initialises the printer (and is noted on the
// paper as "[initialise]"). Every other control byte, and the bytes of other ESC/GS
// sequences, are shown on the line as hex in angle brackets ("<1B 21 08>"), so nothing the
// tool sends goes unseen.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace sim {

class Printer {
public:
    // Feeds bytes; returns the lines finished by them (UTF-8).
    std::vector<std::string> Feed(std::string_view bytes);
    // The line being printed, not yet ended.
    std::string Pending() const;
    // Every line printed since the start.
    const std::vector<std::string>& Paper() const { return m_paper; }
    int Initialisations() const { return m_initialisations; }

private:
    void Finish(std::vector<std::string>& done);
    void Hex(unsigned char byte);

    std::string m_text;     // the current line's text, UTF-8
    std::string m_lead;     // a first byte of a two-byte character waiting for its second
    bool m_inHex = false;   // the line ends in a bracket of hex bytes
    bool m_escape = false;  // after ESC or GS: the next byte says which command
    char m_command = 0;
    std::vector<std::string> m_paper;
    int m_initialisations = 0;
};

// Code page 936 bytes to UTF-8; a byte pair the code page lacks becomes U+FFFD.
std::string DecodeCp936(std::string_view bytes);

}  // namespace sim
