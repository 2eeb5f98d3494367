#ifndef CRC_H
#define CRC_H

#include <cstdint>

// A running 16-bit checksum: construct (or reset()), add() bytes, read crc().
class CRC
{
public:
    virtual ~CRC() = default;

    virtual void reset() = 0;
    virtual void add(uint8_t b) = 0;
    virtual void add(const uint8_t* p, int n) = 0;
    virtual uint16_t crc() const;

protected:
    uint16_t m_crc = 0;
};

// The byte sum modulo 65536.
class CRC_SUM : public CRC
{
public:
    CRC_SUM();

    void reset() override;
    void add(uint8_t b) override;
    void add(const uint8_t* p, int n) override;
};

// CRC-16/CCITT-FALSE: polynomial 0x1021, not reflected, start 0xFFFF, no final XOR.
class CRC_CCITT : public CRC
{
public:
    CRC_CCITT();

    void reset() override;
    void add(uint8_t b) override;
    void add(const uint8_t* p, int n) override;

    static const uint16_t table[256];
};

#endif // CRC_H
