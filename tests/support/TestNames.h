#pragma once

#include <QString>

#include <cstddef>
#include <string>

namespace TestNames {

// The name gtest shows for a case of a parameterised test, made of its
// readable name: letters and digits kept, anything else as one '_', led by
// the case's place in its table so that no two are alike.
inline std::string of(const QString &name, std::size_t index)
{
    std::string out = std::to_string(index);
    bool gap = true;
    for (const QChar c : name) {
        if (c.unicode() < 128 && c.isLetterOrNumber()) {
            if (gap)
                out += '_';
            out += char(c.unicode());
            gap = false;
        } else {
            gap = true;
        }
    }
    return out;
}

} // namespace TestNames
