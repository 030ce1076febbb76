// A fuzzer's input read front to back as the fields of one scenario. Past the end
// every read gives zeros, so any input, even an empty one, is a whole scenario.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

class FuzzInput {
public:
    FuzzInput(const uint8_t* data, std::size_t size) : m_data(data), m_size(size), m_next(0) {}

    uint8_t Byte() { return m_next < m_size ? m_data[m_next++] : 0; }

    // Four bytes, little-endian.
    uint32_t Number() {
        uint32_t value = 0;
        for (int shift = 0; shift < 32; shift += 8) value |= uint32_t(Byte()) << shift;
        return value;
    }

    // A run of bytes: its length, then a count byte and that many bytes, repeated to the
    // length. A count of 0 repeats a fixed pattern of all 256 byte values. The length is
    // a byte, or when that byte is 0xFF, the Number after it modulo maxLength + 1: short
    // runs stay the common case and keep the fuzzer fast, long ones cost six bytes.
    std::string Run(uint32_t maxLength) {
        uint32_t length = Byte();
        length = length == 0xFF ? Number() % (maxLength + 1) : length % (maxLength + 1);
        std::string unit;
        for (int count = Byte(); count > 0; --count) unit.push_back(char(Byte()));
        std::string run(length, '\0');
        for (uint32_t i = 0; i < length; ++i)
            run[i] = unit.empty() ? char(i * 167 + 13) : unit[i % unit.size()];
        return run;
    }

private:
    const uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_next;
};
