#pragma once

// Messages are one line and quote what the file holds; a control character in a key, a name or a
// field would break the line, so it is written as an escape.

#include <cstdio>
#include <string>
#include <string_view>

namespace xsect::io {

inline std::string Printable(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (u >= 0x20 && u != 0x7F) {
            out += c;
            continue;
        }
        char buf[8];
        std::snprintf(buf, sizeof buf, "\\x%02X", static_cast<unsigned>(u));
        out += buf;
    }
    return out;
}

}  // namespace xsect::io
