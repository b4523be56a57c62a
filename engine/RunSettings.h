// The six values that steer a replacement run, with their defaults.
#pragma once

#include <cstdint>
#include <string>

namespace kavex {

struct RunSettings {
    std::string m_sES3 = "exe,dll";  // exclude list: extensions without the dot, comma-separated
    std::string m_sES2 = "txt,c,cpp,h";  // include list, same form
    std::int32_t m_nES3 = 0;             // extension filter: 0 all, 1 only m_sES2, 2 all but m_sES3
    std::int32_t m_nES2 = 0;             // what is replaced: 0 names and data, 1 names, 2 data
    std::int32_t m_nES1 = 0;             // which entries: 0 all, 1 files only, 2 folders only
    std::string m_sPath;                 // the definition file
};

}  // namespace kavex
