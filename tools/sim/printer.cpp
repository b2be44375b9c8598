#include "tools/sim/printer.h"

#include <iconv.h>

#include <cerrno>
#include <cstdio>

namespace sim {

std::string DecodeCp936(std::string_view bytes) {
    iconv_t cd = iconv_open("UTF-8", "CP936");
    std::string out;
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        return out;
    }
    auto* in = const_cast<char*>(bytes.data());
    size_t inLeft = bytes.size();
    while (inLeft > 0) {
        char buf[256];
        char* outPtr = buf;
        size_t outLeft = sizeof buf;
        const size_t r = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
        out.append(buf, sizeof buf - outLeft);
        if (r == static_cast<size_t>(-1) && errno != E2BIG) {
            out += "\xEF\xBF\xBD";  // U+FFFD
            const size_t skip = inLeft >= 2 ? 2 : 1;
            in += skip;
            inLeft -= skip;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
        }
    }
    iconv_close(cd);
    return out;
}

void Printer::Hex(unsigned char byte) {
    char hex[8];
    if (m_inHex) {  // bytes in a row share one bracket: <1B 21 08>
        m_text.pop_back();
        std::snprintf(hex, sizeof hex, " %02X>", byte);
    } else {
        std::snprintf(hex, sizeof hex, "<%02X>", byte);
    }
    m_text += hex;
    m_inHex = true;
}

void Printer::Finish(std::vector<std::string>& done) {
    m_paper.push_back(m_text);
    done.push_back(m_text);
    m_text.clear();
    m_inHex = false;
}

std::vector<std::string> Printer::Feed(std::string_view bytes) {
    std::vector<std::string> done;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (m_escape) {
            m_escape = false;
            if (m_command == 0x1B && byte == '@') {
                if (!m_text.empty()) {
                    Finish(done);
                }
                ++m_initialisations;
                m_text = "[initialise]";
                Finish(done);
            } else {
                Hex(static_cast<unsigned char>(m_command));
                Hex(byte);
            }
            continue;
        }
        if (!m_lead.empty()) {
            m_lead += c;
            m_text += DecodeCp936(m_lead);
            m_lead.clear();
            m_inHex = false;
            continue;
        }
        if (byte == '\n') {
            Finish(done);
        } else if (byte == '\r') {
            // the line is printed at LF
        } else if (byte == 0x1B || byte == 0x1D) {
            m_escape = true;
            m_command = c;
        } else if (byte < 0x20 || byte == 0x7F || byte == 0x80 || byte == 0xFF) {
            Hex(byte);
        } else if (byte >= 0x81) {
            m_lead = std::string(1, c);  // the first byte of a Chinese character
        } else {
            m_text += c;
            m_inHex = false;
        }
    }
    return done;
}

std::string Printer::Pending() const {
    return m_text;
}

}  // namespace sim
