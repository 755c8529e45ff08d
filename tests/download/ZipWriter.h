// A small zip writer for tests and the bench: stored or deflated entries,
// traditional PKWARE encryption, raw names (any bytes), host and attributes,
// DOS times and local extra fields; or any declared sizes.
#pragma once

#include <zlib.h>

#include <cstdint>
#include <string>
#include <vector>

namespace testzip {

struct Entry {
    std::string name;               // stored bytes as they are
    std::string data;
    bool deflate = true;
    bool utf8 = false;              // flag bit 11
    std::string password;           // traditional encryption when not empty
    uint16_t madeBy = 0x0314;       // host 3 (Unix), version 20
    uint32_t external = 0100644u << 16;
    uint16_t dosTime = 0x6000;      // 12:00:00
    uint16_t dosDate = 0x5A21;      // 2025-01-01
    std::string localExtra;
    // Declared sizes when set (the data is written as given).
    int64_t declaredSize = -1;
};

inline void Put16(std::string& s, uint32_t v)
{
    s += (char)(v & 0xFF);
    s += (char)((v >> 8) & 0xFF);
}
inline void Put32(std::string& s, uint32_t v)
{
    Put16(s, v & 0xFFFF);
    Put16(s, v >> 16);
}

// A "UT" extended-time block: flags and the times present.
inline std::string TimeBlock(uint8_t flags, const std::vector<int32_t>& times)
{
    std::string body(1, (char)flags);
    for (int32_t t : times)
        Put32(body, (uint32_t)t);
    std::string b;
    Put16(b, 0x5455);
    Put16(b, (uint32_t)body.size());
    return b + body;
}

// Raw deflate; windowBits 15 + 16 gives a gzip stream.
inline std::string Deflate(const std::string& data, int level = 6, int windowBits = -15)
{
    z_stream z = {};
    deflateInit2(&z, level, Z_DEFLATED, windowBits, 8, Z_DEFAULT_STRATEGY);
    std::string out(deflateBound(&z, (uLong)data.size()) + 16, '\0');
    z.next_in = (Bytef*)data.data();
    z.avail_in = (uInt)data.size();
    z.next_out = (Bytef*)&out[0];
    z.avail_out = (uInt)out.size();
    deflate(&z, Z_FINISH);
    out.resize(z.total_out);
    deflateEnd(&z);
    return out;
}

class Cipher {
public:
    explicit Cipher(const std::string& password)
    {
        for (char c : password)
            Update((uint8_t)c);
    }
    uint8_t Encrypt(uint8_t plain)
    {
        uint32_t t = (k2 & 0xFFFF) | 2;
        uint8_t c = (uint8_t)(plain ^ ((t * (t ^ 1)) >> 8));
        Update(plain);
        return c;
    }

private:
    void Update(uint8_t c)
    {
        const z_crc_t* crc = get_crc_table();
        k0 = crc[(k0 ^ c) & 0xFF] ^ (k0 >> 8);
        k1 = (k1 + (k0 & 0xFF)) * 134775813u + 1;
        k2 = crc[(k2 ^ (k1 >> 24)) & 0xFF] ^ (k2 >> 8);
    }
    uint32_t k0 = 0x12345678, k1 = 0x23456789, k2 = 0x34567890;
};

inline std::string Build(const std::vector<Entry>& entries)
{
    std::string zip, central;
    for (const Entry& e : entries) {
        const uint32_t crc = (uint32_t)crc32(0, (const Bytef*)e.data.data(), (uInt)e.data.size());
        std::string payload = e.deflate ? Deflate(e.data) : e.data;
        uint16_t flags = e.utf8 ? 0x800 : 0;
        if (!e.password.empty()) {
            flags |= 1;
            Cipher c(e.password);
            std::string enc;
            for (int i = 0; i < 11; ++i)
                enc += (char)c.Encrypt((uint8_t)(0x5A + i * 7));
            enc += (char)c.Encrypt((uint8_t)(crc >> 24));
            for (char ch : payload)
                enc += (char)c.Encrypt((uint8_t)ch);
            payload = enc;
        }
        const uint32_t size = e.declaredSize >= 0 ? (uint32_t)e.declaredSize : (uint32_t)e.data.size();
        const uint32_t offset = (uint32_t)zip.size();
        std::string local;
        Put32(local, 0x04034B50);
        Put16(local, 20);
        Put16(local, flags);
        Put16(local, e.deflate ? 8 : 0);
        Put16(local, e.dosTime);
        Put16(local, e.dosDate);
        Put32(local, crc);
        Put32(local, (uint32_t)payload.size());
        Put32(local, size);
        Put16(local, (uint32_t)e.name.size());
        Put16(local, (uint32_t)e.localExtra.size());
        zip += local + e.name + e.localExtra + payload;

        Put32(central, 0x02014B50);
        Put16(central, e.madeBy);
        Put16(central, 20);
        Put16(central, flags);
        Put16(central, e.deflate ? 8 : 0);
        Put16(central, e.dosTime);
        Put16(central, e.dosDate);
        Put32(central, crc);
        Put32(central, (uint32_t)payload.size());
        Put32(central, size);
        Put16(central, (uint32_t)e.name.size());
        Put16(central, 0);
        Put16(central, 0);
        Put16(central, 0);
        Put16(central, 0);
        Put32(central, e.external);
        Put32(central, offset);
        central += e.name;
    }
    const uint32_t cdOffset = (uint32_t)zip.size();
    zip += central;
    Put32(zip, 0x06054B50);
    Put16(zip, 0);
    Put16(zip, 0);
    Put16(zip, (uint32_t)entries.size());
    Put16(zip, (uint32_t)entries.size());
    Put32(zip, (uint32_t)central.size());
    Put32(zip, cdOffset);
    Put16(zip, 0);
    return zip;
}

inline Entry File(const std::string& name, const std::string& data, bool deflate = true)
{
    Entry e;
    e.name = name;
    e.data = data;
    e.deflate = deflate;
    return e;
}

} // namespace testzip
