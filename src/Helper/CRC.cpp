#include "Helper/CRC.h"

uint16_t CRC::crc() const
{
    return m_crc;
}

CRC_SUM::CRC_SUM()
{
    reset();
}

void CRC_SUM::reset()
{
    m_crc = 0;
}

void CRC_SUM::add(uint8_t b)
{
    m_crc = static_cast<uint16_t>(m_crc + b);
}

void CRC_SUM::add(const uint8_t* p, int n)
{
    for (int i = 0; i < n; ++i)
        add(p[i]);
}

namespace {

constexpr uint16_t tableEntry(unsigned i)
{
    uint16_t r = static_cast<uint16_t>(i << 8);
    for (int bit = 0; bit < 8; ++bit)
        r = static_cast<uint16_t>((r & 0x8000) ? (r << 1) ^ 0x1021 : (r << 1));
    return r;
}

} // namespace

// Built by the compiler, so there is no start-up work and no ordering issue.
const uint16_t CRC_CCITT::table[256] = {
#define ROW(i) tableEntry(i), tableEntry(i + 1), tableEntry(i + 2), tableEntry(i + 3), \
               tableEntry(i + 4), tableEntry(i + 5), tableEntry(i + 6), tableEntry(i + 7)
    ROW(0),   ROW(8),   ROW(16),  ROW(24),  ROW(32),  ROW(40),  ROW(48),  ROW(56),
    ROW(64),  ROW(72),  ROW(80),  ROW(88),  ROW(96),  ROW(104), ROW(112), ROW(120),
    ROW(128), ROW(136), ROW(144), ROW(152), ROW(160), ROW(168), ROW(176), ROW(184),
    ROW(192), ROW(200), ROW(208), ROW(216), ROW(224), ROW(232), ROW(240), ROW(248),
#undef ROW
};

CRC_CCITT::CRC_CCITT()
{
    reset();
}

void CRC_CCITT::reset()
{
    m_crc = 0xFFFF;
}

void CRC_CCITT::add(uint8_t b)
{
    m_crc = static_cast<uint16_t>((m_crc << 8) ^ table[(m_crc >> 8) ^ b]);
}

void CRC_CCITT::add(const uint8_t* p, int n)
{
    for (int i = 0; i < n; ++i)
        add(p[i]);
}
